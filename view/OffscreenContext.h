#pragma once

#include <QString>
#include <memory>

// A desktop OpenGL context in the compatibility profile with no window system behind it: no
// display connection, no DISPLAY variable, no surface. It comes from EGL on Mesa's surfaceless
// platform (llvmpipe on a machine without a GPU) and draws into framebuffer objects only. While
// it is current, the ordinary OpenGL library's calls reach it.
class OffscreenContext {
public:
    // EGL's generic function pointer, which resolve returns.
    using Function = void (*)();

    // Check isValid: a machine without EGL or without its surfaceless platform has no context.
    OffscreenContext();
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool isValid() const { return context != nullptr; }
    // "No off-screen OpenGL: " and the EGL call that failed with its error; empty until one has.
    QString errorString() const { return error; }

    // Makes the context current on this thread, keeping note of what was current before: an EGL
    // context, or a GLX one (Qt's widgets on X11), which is released meanwhile, since a thread
    // has a current context of one window-system interface at a time. False, with errorString
    // saying why, when it cannot.
    bool makeCurrent();
    // Makes current again what was current before makeCurrent, or nothing.
    void doneCurrent();

    // The address of an OpenGL function beyond 1.x, which the OpenGL library need not export;
    // EGL's addresses serve every context that has the function. Null when there is none.
    static Function resolve(const char* name);

private:
    struct Previous;

    bool fail(const char* call);

    // EGLDisplay and EGLContext are pointers; EGL's header stays out of this one, for the
    // window-system macros that it can bring in.
    void* display = nullptr;
    void* context = nullptr;
    std::unique_ptr<Previous> previous;
    QString error;
};
