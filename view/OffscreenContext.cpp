#include "OffscreenContext.h"

// After Qt's headers, which X11's macros would break.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glx.h>

#include <mutex>
#include <type_traits>

static_assert(std::is_same<EGLDisplay, void*>::value && std::is_same<EGLContext, void*>::value &&
                  std::is_same<EGLSurface, void*>::value,
              "EGL's handles are pointers");
static_assert(std::is_same<__eglMustCastToProperFunctionPointerType, void (*)()>::value,
              "EGL's function pointers are void (*)()");

namespace {

// Every context here shares the one surfaceless display, and eglTerminate is not counted: the
// last context to go terminates it.
std::mutex displayMutex;
int displayUsers = 0;

bool initializeDisplay(EGLDisplay display) {
    const std::lock_guard<std::mutex> lock(displayMutex);
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
        return false;
    }
    ++displayUsers;
    return true;
}

void releaseDisplay(EGLDisplay display) {
    const std::lock_guard<std::mutex> lock(displayMutex);
    if (--displayUsers == 0) {
        eglTerminate(display);
    }
}

// EGL's error codes run from EGL_SUCCESS (0x3000) to EGL_CONTEXT_LOST (0x300E).
QString errorName(EGLint code) {
    static const char* const kNames[] = {
        "EGL_SUCCESS",       "EGL_NOT_INITIALIZED",     "EGL_BAD_ACCESS",
        "EGL_BAD_ALLOC",     "EGL_BAD_ATTRIBUTE",       "EGL_BAD_CONFIG",
        "EGL_BAD_CONTEXT",   "EGL_BAD_CURRENT_SURFACE", "EGL_BAD_DISPLAY",
        "EGL_BAD_MATCH",     "EGL_BAD_NATIVE_PIXMAP",   "EGL_BAD_NATIVE_WINDOW",
        "EGL_BAD_PARAMETER", "EGL_BAD_SURFACE",         "EGL_CONTEXT_LOST"};
    const QString hex = QStringLiteral("0x%1").arg(code, 4, 16, QLatin1Char('0'));
    const EGLint index = code - EGL_SUCCESS;
    if (index < 0 || index >= static_cast<EGLint>(std::extent<decltype(kNames)>::value)) {
        return hex;
    }
    return QStringLiteral("%1 (%2)").arg(QLatin1String(kNames[index]), hex);
}

}  // namespace

// The contexts current on the thread when makeCurrent ran.
struct OffscreenContext::Previous {
    EGLenum api = EGL_OPENGL_ES_API;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface draw = EGL_NO_SURFACE;
    EGLSurface read = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    Display* glxDisplay = nullptr;
    GLXDrawable glxDraw = 0;
    GLXDrawable glxRead = 0;
    GLXContext glxContext = nullptr;
};

OffscreenContext::OffscreenContext() : previous(std::make_unique<Previous>()) {
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        fail("eglGetProcAddress(eglGetPlatformDisplayEXT)");
        return;
    }
    EGLDisplay made =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (made == EGL_NO_DISPLAY) {
        fail("eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA)");
        return;
    }
    if (!initializeDisplay(made)) {
        fail("eglInitialize");
        return;
    }
    display = made;
    // The client API is the thread's: bound for eglCreateContext, then put back.
    const EGLenum api = eglQueryAPI();
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        fail("eglBindAPI(EGL_OPENGL_API)");
        return;
    }
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        context = nullptr;
        fail("eglCreateContext");
    }
    eglBindAPI(api);
}

OffscreenContext::~OffscreenContext() {
    if (context != nullptr) {
        eglDestroyContext(display, context);
    }
    if (display != nullptr) {
        releaseDisplay(display);
    }
}

bool OffscreenContext::makeCurrent() {
    if (context == nullptr) {
        return false;
    }
    Previous& p = *previous;
    p.glxContext = glXGetCurrentContext();
    if (p.glxContext != nullptr) {
        p.glxDisplay = glXGetCurrentDisplay();
        p.glxDraw = glXGetCurrentDrawable();
        p.glxRead = glXGetCurrentReadDrawable();
        glXMakeContextCurrent(p.glxDisplay, None, None, nullptr);
    }
    p.api = eglQueryAPI();
    eglBindAPI(EGL_OPENGL_API);
    p.display = eglGetCurrentDisplay();
    p.draw = eglGetCurrentSurface(EGL_DRAW);
    p.read = eglGetCurrentSurface(EGL_READ);
    p.context = eglGetCurrentContext();
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) {
        fail("eglMakeCurrent");
        doneCurrent();
        return false;
    }
    return true;
}

void OffscreenContext::doneCurrent() {
    Previous& p = *previous;
    if (p.context != EGL_NO_CONTEXT) {
        eglMakeCurrent(p.display, p.draw, p.read, p.context);
    } else {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglBindAPI(p.api);
    if (p.glxContext != nullptr) {
        glXMakeContextCurrent(p.glxDisplay, p.glxDraw, p.glxRead, p.glxContext);
    }
    p = Previous();
}

OffscreenContext::Function OffscreenContext::resolve(const char* name) {
    return eglGetProcAddress(name);
}

bool OffscreenContext::fail(const char* call) {
    const EGLint code = eglGetError();
    error = QStringLiteral("No off-screen OpenGL: %1 failed").arg(QLatin1String(call));
    if (code != EGL_SUCCESS) {
        error += QStringLiteral(" with ") + errorName(code);
    }
    return false;
}
