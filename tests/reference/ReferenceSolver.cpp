#include "ReferenceSolver.h"

#include <cmath>
#include <limits>

namespace {

// The largest velocity per axis that a drag gives a cell: 50 times the 640 pixels of the view.
constexpr float kLargestStir = 50.0f * 640.0f;
// Above this alpha, alpha * u could overflow for a drag-sized velocity u; the factor 16 leaves
// room for the four neighbours in the same sum and for velocities somewhat above a drag's.
constexpr float kLargestAlpha = std::numeric_limits<float>::max() / (16.0f * kLargestStir);

// Clamps a back-traced coordinate to [0.5, last + 0.5]; a NaN coordinate goes to the low end.
float clampTrace(float p, int last) {
    const float high = static_cast<float>(last) + 0.5f;
    if (!(p >= 0.5f)) {
        return 0.5f;
    }
    return p > high ? high : p;
}

}  // namespace

ReferenceSolver::ReferenceSolver(int width, int height, float timeStep_, float viscosity,
                                 int iterations_)
    : velocity(width, height),
      timeStep(timeStep_),
      kinematicViscosity(viscosity),
      iterations(iterations_),
      scratchVelocity(width, height),
      pressure(width, height),
      divergence(width, height),
      curl(width, height) {}

void ReferenceSolver::step() {
    if (viscosityEnabled) {
        diffuse(velocity, scratchVelocity);
    } else {
        scratchVelocity.copyFrom(velocity);
    }
    advect(scratchVelocity, velocity);
    if (vorticityConfinement > 0.0f) {
        confineVorticity(velocity);
    }
    project(velocity);
}

void ReferenceSolver::setVorticityConfinement(float epsilon) {
    vorticityConfinement = std::isfinite(epsilon) && epsilon > 0.0f ? epsilon : 0.0f;
}

void ReferenceSolver::setFlow(Flow flow, float speed) {
    currentFlow = flow;
    currentSpeed = std::isfinite(speed) ? speed : 0.0f;
}

void ReferenceSolver::setVelocity(int i, int j, const Vec2& value) {
    if (!velocity.contains(i, j)) {
        return;
    }
    velocity.set(i, j, value);
    project(velocity);
}

void ReferenceSolver::addObstacle(const Vec2* polygon, int count) {
    if (!Obstacle::isBuildable(polygon, count, velocity.width, velocity.height)) {
        return;
    }
    obstacles.append(Obstacle(polygon, count, velocity.width, velocity.height));
}

void ReferenceSolver::setVectorBoundary(VectorField& v) const {
    const int W = v.width;
    const int H = v.height;
    const float U = currentSpeed;
    // A no-slip wall moving at w by its ghost cell: boundary = 2 * w - interior.
    const auto ghost = [](const Vec2& wall, const Vec2& interior) {
        return Vec2(2.0f * wall.x - interior.x, 2.0f * wall.y - interior.y);
    };
    for (int j = 1; j <= H - 2; ++j) {
        const Vec2 west = v.at(1, j);
        const Vec2 east = v.at(W - 2, j);
        switch (currentFlow) {
            case Flow::ClosedBox:
                v.set(0, j, Vec2(0.0f, west.y));
                v.set(W - 1, j, Vec2(0.0f, east.y));
                break;
            case Flow::WindTunnel:
                v.set(0, j, Vec2(U, 0.0f));  // the inflow
                v.set(W - 1, j, east);       // zero-gradient outflow
                break;
            case Flow::DrivenCavity:
                v.set(0, j, ghost(Vec2(), west));
                v.set(W - 1, j, ghost(Vec2(), east));
                break;
        }
    }
    for (int i = 1; i <= W - 2; ++i) {
        const Vec2 north = v.at(i, 1);
        const Vec2 south = v.at(i, H - 2);
        if (currentFlow == Flow::DrivenCavity) {
            v.set(i, 0, ghost(Vec2(U, 0.0f), north));  // the lid
            v.set(i, H - 1, ghost(Vec2(), south));
        } else {
            v.set(i, 0, Vec2(north.x, 0.0f));
            v.set(i, H - 1, Vec2(south.x, 0.0f));
        }
    }
    v.set(0, 0, (v.at(1, 0) + v.at(0, 1)) * 0.5f);
    v.set(W - 1, H - 1, (v.at(W - 2, H - 1) + v.at(W - 1, H - 2)) * 0.5f);
    v.set(W - 1, 0, (v.at(W - 1, 1) + v.at(W - 2, 0)) * 0.5f);
    v.set(0, H - 1, (v.at(1, H - 1) + v.at(0, H - 2)) * 0.5f);
    for (const Obstacle& obstacle : obstacles) {
        obstacle.applyToVectorField(v);
    }
}

void ReferenceSolver::setScalarBoundary(ScalarField& s) const {
    const int W = s.width;
    const int H = s.height;
    for (int i = 1; i <= W - 2; ++i) {
        s.set(i, 0, s.at(i, 1));
        s.set(i, H - 1, s.at(i, H - 2));
    }
    for (int j = 1; j <= H - 2; ++j) {
        s.set(0, j, s.at(1, j));
        // The wind tunnel's outflow holds the pressure at 0.
        s.set(W - 1, j, currentFlow == Flow::WindTunnel ? 0.0f : s.at(W - 2, j));
    }
    s.set(0, 0, 0.5f * (s.at(0, 1) + s.at(1, 0)));
    s.set(W - 1, 0, 0.5f * (s.at(W - 1, 1) + s.at(W - 2, 0)));
    s.set(0, H - 1, 0.5f * (s.at(0, H - 2) + s.at(1, H - 1)));
    s.set(W - 1, H - 1, 0.5f * (s.at(W - 1, H - 2) + s.at(W - 2, H - 1)));
    for (const Obstacle& obstacle : obstacles) {
        obstacle.applyToScalarField(s);
    }
}

void ReferenceSolver::diffuse(const VectorField& u, VectorField& d) const {
    const float h = u.spacing;
    const float alpha = (h * h) / (kinematicViscosity * timeStep);
    // As the viscosity vanishes, alpha grows without bound and the relaxation tends to d = u.
    // Where alpha is infinite, or alpha * u could overflow, that limit is taken: a copy. A
    // viscosity * timeStep that is not positive has no diffusion either.
    if (!(kinematicViscosity * timeStep > 0.0f) || !(alpha <= kLargestAlpha)) {
        d.copyFrom(u);
        return;
    }
    const float beta = 1.0f / (alpha + 4.0f);
    const int W = d.width;
    const int H = d.height;
    for (int sweep = 0; sweep < iterations; ++sweep) {
        // Gauss-Seidel in place: d = (dW + dE + dN + dS + alpha * u) * beta
        for (int i = 1; i <= W - 2; ++i) {
            for (int j = 1; j <= H - 2; ++j) {
                const Vec2 sum = d.at(i - 1, j) + d.at(i + 1, j) + d.at(i, j - 1) + d.at(i, j + 1) +
                                 u.at(i, j) * alpha;
                d.set(i, j, sum * beta);
            }
        }
        setVectorBoundary(d);
    }
}

void ReferenceSolver::advect(const VectorField& u, VectorField& d) const {
    const float f = timeStep / u.spacing;  // cells travelled per unit of velocity
    const int W = d.width;
    const int H = d.height;
    for (int i = 1; i <= W - 2; ++i) {
        for (int j = 1; j <= H - 2; ++j) {
            // Trace back along the cell's own velocity, staying within half a cell of the walls.
            const Vec2 p = Vec2(static_cast<float>(i), static_cast<float>(j)) - u.at(i, j) * f;
            const float px = clampTrace(p.x, W - 2);
            const float py = clampTrace(p.y, H - 2);
            const int i0 = static_cast<int>(px);
            const int j0 = static_cast<int>(py);
            // Bilinear weights of the four cells around p.
            const float w00 = (i0 + 1 - px) * (j0 + 1 - py);
            const float w10 = (px - i0) * (j0 + 1 - py);
            const float w01 = (i0 + 1 - px) * (py - j0);
            const float w11 = (px - i0) * (py - j0);
            d.set(i, j,
                  u.at(i0, j0) * w00 + u.at(i0 + 1, j0) * w10 + u.at(i0, j0 + 1) * w01 +
                      u.at(i0 + 1, j0 + 1) * w11);
        }
    }
    setVectorBoundary(d);
}

void ReferenceSolver::computeDivergence(const VectorField& v, ScalarField& q) const {
    const int W = v.width;
    const int H = v.height;
    for (int i = 1; i <= W - 2; ++i) {
        for (int j = 1; j <= H - 2; ++j) {
            // div = 0.5 * (uE - uW + vS - vN), in cell units
            q.set(
                i, j,
                0.5f * (v.at(i + 1, j).x - v.at(i - 1, j).x + v.at(i, j + 1).y - v.at(i, j - 1).y));
        }
    }
    setScalarBoundary(q);
}

void ReferenceSolver::project(VectorField& v) {
    pressure.clear();
    divergence.clear();
    computeDivergence(v, divergence);
    const int W = v.width;
    const int H = v.height;
    ScalarField& p = pressure;
    const ScalarField& D = divergence;
    for (int sweep = 0; sweep < iterations; ++sweep) {
        // Gauss-Seidel for laplacian(p) = D: p = 0.25 * (pW - D + pE + pN + pS)
        for (int i = 1; i <= W - 2; ++i) {
            for (int j = 1; j <= H - 2; ++j) {
                p.set(i, j,
                      0.25f * (p.at(i - 1, j) - D.at(i, j) + p.at(i + 1, j) + p.at(i, j - 1) +
                               p.at(i, j + 1)));
            }
        }
        setScalarBoundary(p);
    }
    // v = v - grad(p), central differences
    for (int i = 1; i <= W - 2; ++i) {
        for (int j = 1; j <= H - 2; ++j) {
            const Vec2 gradient(-0.5f * (p.at(i + 1, j) - p.at(i - 1, j)),
                                -0.5f * (p.at(i, j + 1) - p.at(i, j - 1)));
            v.set(i, j, v.at(i, j) + gradient);
        }
    }
    setVectorBoundary(v);
}

void ReferenceSolver::confineVorticity(VectorField& v) {
    const int W = v.width;
    const int H = v.height;
    for (int i = 1; i <= W - 2; ++i) {
        for (int j = 1; j <= H - 2; ++j) {
            // h * omega = 0.5 * ((vE - vW) - (uS - uN))
            curl.set(i, j,
                     0.5f * ((v.at(i + 1, j).y - v.at(i - 1, j).y) -
                             (v.at(i, j + 1).x - v.at(i, j - 1).x)));
        }
    }
    const float rate = timeStep * vorticityConfinement;
    for (int i = 2; i <= W - 3; ++i) {
        for (int j = 2; j <= H - 3; ++j) {
            // N = g / |g|, g = 0.5 * (|w|E - |w|W, |w|S - |w|N); none where g vanishes
            const Vec2 g(0.5f * (std::fabs(curl.at(i + 1, j)) - std::fabs(curl.at(i - 1, j))),
                         0.5f * (std::fabs(curl.at(i, j + 1)) - std::fabs(curl.at(i, j - 1))));
            const float length = g.length();
            if (!(length > 0.0f)) {
                continue;
            }
            // v = v + timeStep * epsilon * (N.y * w, -N.x * w)
            const Vec2 n = g / length;
            const float w = curl.at(i, j);
            v.set(i, j, v.at(i, j) + Vec2(n.y * w, -(n.x * w)) * rate);
        }
    }
    setVectorBoundary(v);
}
