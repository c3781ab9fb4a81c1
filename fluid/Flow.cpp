#include "Flow.h"

#include <cmath>

namespace {

constexpr int kCylinderCorners = 100;

}  // namespace

const char* flowName(Flow flow) {
    switch (flow) {
        case Flow::ClosedBox:
            return "closed box";
        case Flow::WindTunnel:
            return "wind tunnel";
        case Flow::DrivenCavity:
            return "driven cavity";
    }
    return "unknown";
}

std::vector<Vec2> cylinderPolygon(int gridSize) {
    // Cell i's centre lies at x = (i - 0.5) * h of the unit square: i = x / h + 0.5.
    const double h = 1.0 / (gridSize - 2);
    const double cx = kCylinderCentreX / h + 0.5;
    const double cy = kCylinderCentreY / h + 0.5;
    const double r = 0.5 * kCylinderDiameter / h;
    const double pi = std::acos(-1.0);
    std::vector<Vec2> polygon;
    // With rows growing downward, the angle turns from +x towards -y: counter-clockwise on screen.
    for (int k = 0; k < kCylinderCorners; ++k) {
        const double angle = 2.0 * pi * k / kCylinderCorners;
        const Vec2 corner(static_cast<float>(std::floor(cx + r * std::cos(angle) + 0.5)),
                          static_cast<float>(std::floor(cy - r * std::sin(angle) + 0.5)));
        if (polygon.empty() || corner.x != polygon.back().x || corner.y != polygon.back().y) {
            polygon.push_back(corner);
        }
    }
    while (polygon.size() > 1 && polygon.back().x == polygon.front().x &&
           polygon.back().y == polygon.front().y) {
        polygon.pop_back();
    }
    return polygon;
}
