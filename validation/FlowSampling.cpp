#include "FlowSampling.h"

#include <algorithm>
#include <cmath>

Velocity UnitSquare::sample(double x, double y) const {
    // Cell coordinates of the point, clamped so that its four neighbours lie in the grid.
    const double px = std::min(std::max(x / v.spacing + 0.5, 0.0), v.width - 1.0);
    const double py = std::min(std::max(y / v.spacing + 0.5, 0.0), v.height - 1.0);
    const int i0 = std::min(static_cast<int>(px), v.width - 2);
    const int j0 = std::min(static_cast<int>(py), v.height - 2);
    const double a = px - i0;
    const double b = py - j0;
    const auto mix = [&](float c00, float c10, float c01, float c11) {
        return (1 - a) * (1 - b) * c00 + a * (1 - b) * c10 + (1 - a) * b * c01 + a * b * c11;
    };
    const Vec2 c00 = v.at(i0, j0);
    const Vec2 c10 = v.at(i0 + 1, j0);
    const Vec2 c01 = v.at(i0, j0 + 1);
    const Vec2 c11 = v.at(i0 + 1, j0 + 1);
    return Velocity{mix(c00.x, c10.x, c01.x, c11.x), mix(c00.y, c10.y, c01.y, c11.y)};
}

double largestChange(const std::vector<Vec2>& before, const VectorField& after) {
    double largest = 0.0;
    for (std::size_t k = 0; k < before.size() && k < after.data.size(); ++k) {
        largest = std::max({largest, std::fabs(static_cast<double>(after.data[k].x) - before[k].x),
                            std::fabs(static_cast<double>(after.data[k].y) - before[k].y)});
    }
    return largest;
}
