#pragma once

// Shared by the display library's tests and fuzz target.

#include "DisplayField.h"

namespace displaytest {

// A display that computes and never draws: the colour rule, the settings and the fills, with no
// OpenGL context.
class HeadlessDisplay final : public DisplayField {
public:
    using DisplayField::DisplayField;
    void drawVectors() override {}
    void drawVortex() override {}
    void drawVelocity() override {}
    void drawDye() override {}
};

}  // namespace displaytest
