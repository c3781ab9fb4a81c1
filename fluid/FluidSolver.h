#pragma once

#include "Flow.h"
#include "FoldedObstacles.h"
#include "ScalarField.h"
#include "SimdPath.h"
#include "SolverWorkspace.h"
#include "Vec2.h"
#include "VectorField.h"
#include "VorticityConfinement.h"

// An incompressible 2-D velocity field advanced by the stable-fluids method: implicit viscous
// diffusion (Gauss-Seidel), semi-Lagrangian self-advection with bilinear interpolation and a
// pressure projection, inside the walls of a flow (Flow: a closed box, a wind tunnel, a driven
// cavity) and around polygon obstacles, with optional vorticity confinement.
// All fields have the solver's size; the fields are public so that they can be inspected, and
// written, between operations.
//
// The loops run on a private copy of the fields: the Gauss-Seidel sweeps anti-diagonal by
// anti-diagonal in a diagonal-major layout, the other passes row by row, with vector instructions
// chosen at run time. The results are the straightforward cell-by-cell loops' to the bit. Each
// operation reads the public fields when it starts and writes them back before it returns.
class FluidSolver {
public:
    VectorField velocity;          // the current velocity
    FoldedObstacles obstacles;     // in the order added; imposed after the walls
    float timeStep;                // time advanced by one step
    float kinematicViscosity;      // viscosity of the diffusion
    int iterations;                // Gauss-Seidel sweeps per diffusion and per pressure solve
    bool viscosityEnabled = true;  // whether a step diffuses or only copies
    VectorField scratchVelocity;   // diffused velocity, source of the advection; kept between steps
    ScalarField pressure;          // recomputed from zero by every projection
    ScalarField divergence;        // recomputed by every projection
    // Epsilon of the vorticity confinement (VorticityConfinement); a step adds it only above 0.
    float vorticityConfinement = 0.0f;

    // Throws std::invalid_argument for grids smaller than 3 x 3.
    FluidSolver(int width, int height, float timeStep_, float viscosity, int iterations_);

    // One time step: diffuse (or copy), advect, confine vorticity (above 0 only), project.
    void step();

    const VectorField& velocityField() const { return velocity; }
    void setViscosity(float viscosity) { kinematicViscosity = viscosity; }
    void setIterations(int count) { iterations = count; }
    void setViscosityEnabled(bool enabled) { viscosityEnabled = enabled; }
    // Epsilon, per unit of time; one that is negative or not finite is taken as 0 (none).
    void setVorticityConfinement(float epsilon);

    // The walls' flow and the speed of its inflow or lid, in domain lengths per unit of time
    // (positive to the right); a speed that is not finite is taken as 0. The fields are kept.
    void setFlow(Flow flow, float speed);
    Flow flow() const { return currentFlow; }
    float flowSpeed() const { return currentSpeed; }

    // Replaces the velocity of cell (i, j), then projects the field. A cell outside the grid is
    // ignored.
    void setVelocity(int i, int j, const Vec2& value);

    // Builds an obstacle from the closed polygon of count vertices (grid positions) and appends
    // it, or refuses it and changes nothing, and says which. Refused: fewer than 3 vertices, a
    // null array, or a vertex that is not finite or lies more than a grid size outside the grid
    // (Unbuildable); or every boundary pass would then make more than copyLimit() outline
    // copies, as many as the grid has cells and at least 4096 (TooManyCopies).
    ObstacleRefusal tryAddObstacle(const Vec2* polygon, int count);
    void addObstacle(const Vec2* polygon, int count) { tryAddObstacle(polygon, count); }
    int copyLimit() const { return obstacles.copyLimit(); }
    void clearObstacles();

    // The flow's walls (see Flow; corners the mean of their two edge neighbours), then every
    // obstacle in order.
    void setVectorBoundary(VectorField& v) const;
    void setScalarBoundary(ScalarField& s) const;

    // The field arguments below have the solver's size (an assertion; otherwise they are left
    // unchanged). Where u and d are the same field, u is read as it was on entry.

    // Solves d - timeStep * viscosity * laplacian(d) = u by relaxation in place on d.
    void diffuse(const VectorField& u, VectorField& d) const;
    // d(x) = u(x - timeStep * u(x)), sampled bilinearly from u.
    void advect(const VectorField& u, VectorField& d) const;
    // q = central-difference divergence of v, in cell units.
    void computeDivergence(const VectorField& v, ScalarField& q) const;
    // Subtracts the gradient of the pressure that solves laplacian(p) = div(v).
    void project(VectorField& v);
    // Adds timeStep * vorticityConfinement * h * (N x omega) (VorticityConfinement), whatever
    // its sign, then runs the vector boundary pass.
    void confineVorticity(VectorField& v);

    // The instruction set that the loops use: at construction defaultSimdPath(), the fastest that
    // the processor supports unless FLUID_SIMD names another. Returns false, and keeps the current
    // one, for a path it cannot run.
    bool useSimdPath(SimdPath path);
    SimdPath simdPath() const { return work.path; }

private:
    bool fitsGrid(int width, int height) const;
    // The steps of the operations, on the workspace; see FluidSolver.cpp.
    void diffuseIntoWorkspace(const VectorField& u, VectorField& d) const;
    void advectWorkspace(const VectorField& u) const;
    void projectWorkspace();
    void confineWorkspace();
    void split(const VectorField& v) const;
    void join(VectorField& v) const;

    mutable SolverWorkspace work;
    Flow currentFlow = Flow::ClosedBox;
    float currentSpeed = 0.0f;
    VorticityConfinement confinement;
};
