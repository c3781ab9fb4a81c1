#include "FrameRenderer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "DisplayFieldOGL.h"
#include "Simulation.h"
#include "ViewPainter.h"

namespace {

// The framebuffer-object functions of OpenGL 3.0, resolved once: their addresses serve every
// context.
struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;

    bool complete() const {
        return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers &&
               deleteRenderbuffers && bindRenderbuffer && renderbufferStorage &&
               framebufferRenderbuffer && checkFramebufferStatus;
    }
};

template <typename F>
F resolved(const char* name) {
    return reinterpret_cast<F>(OffscreenContext::resolve(name));
}

const FramebufferFunctions& fbo() {
    static const FramebufferFunctions functions{
        resolved<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers"),
        resolved<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers"),
        resolved<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer"),
        resolved<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers"),
        resolved<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers"),
        resolved<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer"),
        resolved<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage"),
        resolved<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer"),
        resolved<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus")};
    return functions;
}

}  // namespace

FrameRenderer::FrameRenderer(int side) : frameSide(side) {
    if (!context.isValid()) {
        fail(context.errorString());
        return;
    }
    if (!context.makeCurrent()) {
        fail(context.errorString());
        return;
    }
    valid = createFramebuffer();
    context.doneCurrent();
}

FrameRenderer::~FrameRenderer() {
    if (context.makeCurrent()) {
        display.reset();
        deleteFramebuffer();
        context.doneCurrent();
    } else if (display != nullptr) {
        // The texture name is the context's, and goes with it; another context may be current.
        display->texture = 0;
    }
}

bool FrameRenderer::createFramebuffer() {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (frameSide < 1 || frameSide > largest) {
        return fail(QStringLiteral("A frame of %1 pixels a side: the off-screen framebuffer "
                                   "takes 1 to %2")
                        .arg(frameSide)
                        .arg(largest));
    }
    if (!fbo().complete()) {
        return fail(QStringLiteral("No off-screen OpenGL: the context has no framebuffer objects"));
    }
    fbo().genRenderbuffers(1, &colourBuffer);
    fbo().bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
    fbo().renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, frameSide, frameSide);
    fbo().genFramebuffers(1, &framebuffer);
    fbo().bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    fbo().framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colourBuffer);
    const GLenum status = fbo().checkFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        deleteFramebuffer();
        return fail(QStringLiteral("No off-screen OpenGL: the framebuffer is incomplete (0x%1)")
                        .arg(status, 4, 16, QLatin1Char('0')));
    }
    ViewPainter::setProjection();
    return true;
}

void FrameRenderer::deleteFramebuffer() {
    if (framebuffer != 0) {
        fbo().bindFramebuffer(GL_FRAMEBUFFER, 0);
        fbo().deleteFramebuffers(1, &framebuffer);
        framebuffer = 0;
    }
    if (colourBuffer != 0) {
        fbo().deleteRenderbuffers(1, &colourBuffer);
        colourBuffer = 0;
    }
}

QImage FrameRenderer::render(const Simulation& sim, const DisplaySettings& settings,
                             bool overlayVisible) {
    if (!valid) {
        return QImage();
    }
    if (!context.makeCurrent()) {
        fail(context.errorString());
        return QImage();
    }
    matchDisplay(sim);
    display->settings = settings;
    ViewPainter::fill(*display, sim);
    ViewPainter::paint(*display, sim, frameSide, frameSide, 1.0f, overlayVisible);
    QImage frame = readFrame();
    context.doneCurrent();
    return frame;
}

void FrameRenderer::matchDisplay(const Simulation& sim) {
    if (display != nullptr && display->width == sim.gridSize() &&
        display->dyeSize == sim.dye().size()) {
        return;
    }
    std::unique_ptr<DisplayFieldOGL> made = ViewPainter::makeDisplay(sim, display.get());
    display = std::move(made);  // the old one deletes its texture in this context
    ViewPainter::initialize(*display);
}

QImage FrameRenderer::readFrame() {
    QImage frame(frameSide, frameSide, QImage::Format_RGB32);
    if (frame.isNull()) {
        fail(QStringLiteral("No memory for a frame of %1 x %1 pixels").arg(frameSide));
        return frame;
    }
    // Words 0xAARRGGBB, which Format_RGB32 holds, in rows of 4 * side bytes from the bottom.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, frameSide, frameSide, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, frame.bits());
    const int rowBytes = frame.bytesPerLine();
    for (int top = 0, bottom = frameSide - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(frame.scanLine(top), frame.scanLine(top) + rowBytes,
                         frame.scanLine(bottom));
    }
    error.clear();
    return frame;
}

bool FrameRenderer::fail(const QString& why) {
    error = why;
    return false;
}
