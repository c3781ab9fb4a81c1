#include "FluidSolver.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace {

// The largest velocity per axis that a drag gives a cell: 50 times the 640 pixels of the view.
constexpr float kLargestStir = 50.0f * 640.0f;
// Above this alpha, alpha * u could overflow for a drag-sized velocity u; the factor 16 leaves
// room for the four neighbours in the same sum and for velocities somewhat above a drag's.
constexpr float kLargestAlpha = std::numeric_limits<float>::max() / (16.0f * kLargestStir);

// A field's cells as interleaved floats x, y, x, y, ...
const float* components(const VectorField& v) {
    return &v.data.data()->x;
}
float* components(VectorField& v) {
    return &v.data.data()->x;
}

static_assert(sizeof(Vec2) == 2 * sizeof(float), "Vec2 is two floats, x then y");

}  // namespace

FluidSolver::FluidSolver(int width, int height, float timeStep_, float viscosity, int iterations_)
    : velocity(width, height),
      obstacles(width, height),
      timeStep(timeStep_),
      kinematicViscosity(viscosity),
      iterations(iterations_),
      scratchVelocity(width, height),
      pressure(width, height),
      divergence(width, height),
      work(width, height, obstacles.copyLimit()),
      confinement(width, height) {}

bool FluidSolver::useSimdPath(SimdPath path) {
    if (!isSimdPathSupported(path)) {
        return false;
    }
    work.usePath(path);
    return true;
}

bool FluidSolver::fitsGrid(int width, int height) const {
    const bool fits = width == velocity.width && height == velocity.height;
    assert(fits && "field of another size than the solver's");
    return fits;
}

void FluidSolver::step() {
    work.followObstacles(obstacles);
    if (viscosityEnabled) {
        diffuseIntoWorkspace(velocity, scratchVelocity);
    } else {
        scratchVelocity.copyFrom(velocity);
    }
    // The advection's result goes straight on to the projection, in the workspace.
    advectWorkspace(scratchVelocity);
    // At 0 the term is skipped, not added as zero: the same bits as a solver without it.
    if (vorticityConfinement > 0.0f) {
        confineWorkspace();
    }
    projectWorkspace();
    join(velocity);
}

void FluidSolver::setVelocity(int i, int j, const Vec2& value) {
    if (!velocity.contains(i, j)) {
        return;
    }
    velocity.set(i, j, value);
    project(velocity);
}

// The passes take the new obstacles over at the next operation, once for all those added since.
ObstacleRefusal FluidSolver::tryAddObstacle(const Vec2* polygon, int count) {
    return obstacles.add(polygon, count);
}

void FluidSolver::setVorticityConfinement(float epsilon) {
    vorticityConfinement = std::isfinite(epsilon) && epsilon > 0.0f ? epsilon : 0.0f;
}

void FluidSolver::setFlow(Flow flow, float speed) {
    currentFlow = flow;
    currentSpeed = std::isfinite(speed) ? speed : 0.0f;
    work.naturalPass.setFlow(currentFlow, currentSpeed);
    work.diagonalPass.setFlow(currentFlow, currentSpeed);
}

void FluidSolver::clearObstacles() {
    obstacles.clear();
}

void FluidSolver::setVectorBoundary(VectorField& v) const {
    if (!fitsGrid(v.width, v.height)) {
        return;
    }
    work.followObstacles(obstacles);
    work.naturalPass.applyVector(v.data.data());
}

void FluidSolver::setScalarBoundary(ScalarField& s) const {
    if (!fitsGrid(s.width, s.height)) {
        return;
    }
    work.followObstacles(obstacles);
    work.naturalPass.applyScalar(s.data.data());
}

void FluidSolver::diffuse(const VectorField& u, VectorField& d) const {
    if (!fitsGrid(u.width, u.height) || !fitsGrid(d.width, d.height)) {
        return;
    }
    work.followObstacles(obstacles);
    diffuseIntoWorkspace(u, d);
}

// Diffuses u into d, through the workspace.
void FluidSolver::diffuseIntoWorkspace(const VectorField& u, VectorField& d) const {
    const float h = u.spacing;
    const float alpha = (h * h) / (kinematicViscosity * timeStep);
    // As the viscosity vanishes, alpha grows without bound and the relaxation tends to d = u.
    // Where alpha is infinite, or alpha * u could overflow, that limit is taken: a copy. A
    // viscosity * timeStep that is not positive has no diffusion either.
    if (!(kinematicViscosity * timeStep > 0.0f) || !(alpha <= kLargestAlpha)) {
        d.copyFrom(u);
        return;
    }
    if (iterations <= 0) {
        return;
    }
    const float beta = 1.0f / (alpha + 4.0f);
    SolverWorkspace& w = work;
    const int chunks = static_cast<int>(w.chunks.size());
    // alpha * u is the same product in every sweep: formed once.
    w.diagonal.gatherScaled(u.data.data(), alpha, w.ax.data(), w.ay.data());
    w.diagonal.gather(d.data.data(), w.dx.data(), w.dy.data());
    for (int sweep = 0; sweep < iterations; ++sweep) {
        w.kernels->diffusionSweep(w.chunks.data(), chunks, w.dx.data(), w.dy.data(), w.ax.data(),
                                  w.ay.data(), beta);
        w.diagonalPass.applyVector(w.dx.data(), w.dy.data());
    }
    w.diagonal.scatter(w.dx.data(), w.dy.data(), d.data.data());
}

void FluidSolver::advect(const VectorField& u, VectorField& d) const {
    if (!fitsGrid(u.width, u.height) || !fitsGrid(d.width, d.height)) {
        return;
    }
    work.followObstacles(obstacles);
    advectWorkspace(u);
    join(d);
}

// Advects u into work.vx, work.vy, boundary pass included. The kernel writes the interior; the
// pass then writes every wall cell from the interior.
void FluidSolver::advectWorkspace(const VectorField& u) const {
    const float f = timeStep / u.spacing;  // cells travelled per unit of velocity
    SolverWorkspace& w = work;
    w.kernels->advect(u.width, u.height, f, components(u), w.vx.data(), w.vy.data());
    w.naturalPass.applyVector(w.vx.data(), w.vy.data());
}

// The field's cells to work.vx, work.vy, and back.
void FluidSolver::split(const VectorField& v) const {
    work.kernels->split(components(v), static_cast<int>(v.data.size()), work.vx.data(),
                        work.vy.data());
}

void FluidSolver::join(VectorField& v) const {
    work.kernels->join(work.vx.data(), work.vy.data(), static_cast<int>(v.data.size()),
                       components(v));
}

void FluidSolver::computeDivergence(const VectorField& v, ScalarField& q) const {
    if (!fitsGrid(v.width, v.height) || !fitsGrid(q.width, q.height)) {
        return;
    }
    work.followObstacles(obstacles);
    split(v);
    work.kernels->divergence(v.width, v.height, work.vx.data(), work.vy.data(), q.data.data());
    work.naturalPass.applyScalar(q.data.data());
}

void FluidSolver::project(VectorField& v) {
    if (!fitsGrid(v.width, v.height)) {
        return;
    }
    work.followObstacles(obstacles);
    split(v);
    projectWorkspace();
    join(v);
}

void FluidSolver::confineVorticity(VectorField& v) {
    if (!fitsGrid(v.width, v.height)) {
        return;
    }
    work.followObstacles(obstacles);
    split(v);
    confineWorkspace();
    join(v);
}

// Confines the vorticity of the velocity in work.vx, work.vy, boundary pass included: the force
// reaches obstacle cells too, which the pass then sets again.
void FluidSolver::confineWorkspace() {
    confinement.apply(vorticityConfinement, timeStep, work.vx.data(), work.vy.data());
    work.naturalPass.applyVector(work.vx.data(), work.vy.data());
}

// Projects the velocity in work.vx, work.vy in place; writes pressure and divergence.
void FluidSolver::projectWorkspace() {
    SolverWorkspace& w = work;
    const int W = velocity.width;
    const int H = velocity.height;
    // Every cell of the divergence is written: the interior here, the rest by the boundary pass.
    w.kernels->divergence(W, H, w.vx.data(), w.vy.data(), divergence.data.data());
    w.naturalPass.applyScalar(divergence.data.data());
    if (iterations > 0) {
        // The pressure starts from zero, the boundary layer included.
        const int chunks = static_cast<int>(w.chunks.size());
        w.diagonal.gather(divergence.data.data(), w.divergence.data());
        std::fill(w.pressure.begin(), w.pressure.end(), 0.0f);
        for (int sweep = 0; sweep < iterations; ++sweep) {
            w.kernels->pressureSweep(w.chunks.data(), chunks, w.pressure.data(),
                                     w.divergence.data());
            w.diagonalPass.applyScalar(w.pressure.data());
        }
        w.diagonal.scatter(w.pressure.data(), pressure.data.data());
    } else {
        pressure.clear();
    }
    // v = v - grad(p); the kernel also passes over the side walls, which the pass rewrites.
    w.kernels->subtractGradient(W, H, pressure.data.data(), w.vx.data(), w.vy.data());
    w.naturalPass.applyVector(w.vx.data(), w.vy.data());
}
