#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

#include "OffscreenContext.h"
#include "ViewPainter.h"

class DisplayFieldOGL;
class Simulation;
struct DisplaySettings;

// Frames of a simulation as the view shows them, rendered with no window system: an off-screen
// context, a framebuffer object with an RGBA8 colour buffer of side x side pixels, and a display
// made for the simulation's grid, painted by ViewPainter as the widget paints. A frame equals
// GLWidget::picture() of a side x side view of the same state and settings, pixel for pixel.
class FrameRenderer {
public:
    // Check isValid: without an off-screen context, or for a side that the framebuffer cannot
    // take, nothing renders.
    explicit FrameRenderer(int side = ViewPainter::kViewPixels);
    ~FrameRenderer();
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    bool isValid() const { return valid; }
    // Why construction or the last render failed; empty after a render that succeeded.
    QString errorString() const { return error; }
    int side() const { return frameSide; }

    // The frame of the simulation's present state with these settings, the obstacle outlines
    // and collected corners over it when overlayVisible: Format_RGB32, rows from the top. The
    // display is filled afresh, so the frame depends on nothing rendered before it. A null
    // image, with errorString saying why, when it cannot render.
    QImage render(const Simulation& sim, const DisplaySettings& settings, bool overlayVisible);

private:
    bool fail(const QString& why);
    bool createFramebuffer();
    void deleteFramebuffer();
    // The display for the simulation's grid, made again when the grid changes.
    void matchDisplay(const Simulation& sim);
    QImage readFrame();

    // Destroyed last: the display's texture and the framebuffer go with it current.
    OffscreenContext context;
    int frameSide;
    bool valid = false;
    std::uint32_t framebuffer = 0;
    std::uint32_t colourBuffer = 0;
    std::unique_ptr<DisplayFieldOGL> display;
    QString error;
};
