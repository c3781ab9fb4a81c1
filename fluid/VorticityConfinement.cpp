#include "VorticityConfinement.h"

#include <cmath>
#include <cstddef>

VorticityConfinement::VorticityConfinement(int width_, int height_)
    : width(width_), height(height_), curl(static_cast<std::size_t>(width_) * height_, 0.0f) {}

void VorticityConfinement::apply(float epsilon, float timeStep, float* x, float* y) {
    const int W = width;
    const int H = height;
    float* w = curl.data();
    // w = 0.5 * ((vE - vW) - (uS - uN))
    for (int j = 1; j <= H - 2; ++j) {
        for (int k = 1 + j * W; k <= W - 2 + j * W; ++k) {
            w[k] = 0.5f * ((y[k + 1] - y[k - 1]) - (x[k + W] - x[k - W]));
        }
    }
    const float rate = timeStep * epsilon;
    // v = v + dt * epsilon * (N.y * w, -N.x * w), N = g / |g|, g = 0.5 * (|w|E - |w|W, |w|S - |w|N)
    for (int j = 2; j <= H - 3; ++j) {
        for (int k = 2 + j * W; k <= W - 3 + j * W; ++k) {
            const float gx = 0.5f * (std::fabs(w[k + 1]) - std::fabs(w[k - 1]));
            const float gy = 0.5f * (std::fabs(w[k + W]) - std::fabs(w[k - W]));
            const float length = std::sqrt(gx * gx + gy * gy);
            if (!(length > 0.0f)) {
                continue;
            }
            x[k] = x[k] + rate * (gy / length * w[k]);
            y[k] = y[k] - rate * (gx / length * w[k]);
        }
    }
}
