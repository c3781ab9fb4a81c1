#pragma once

#include "Flow.h"
#include "ObstacleList.h"
#include "ScalarField.h"
#include "Vec2.h"
#include "VectorField.h"

// The straightforward solver, cell by cell in the natural storage order, kept as the reference
// that the fast FluidSolver must match bit for bit. It shares the fields and the obstacles with
// the fast solver and has the same members and operations; change it only together with the
// fast path, and keep it plain.
class ReferenceSolver {
public:
    VectorField velocity;          // the current velocity
    ObstacleList obstacles;        // in the order added; imposed after the walls
    float timeStep;                // time advanced by one step
    float kinematicViscosity;      // viscosity of the diffusion
    int iterations;                // Gauss-Seidel sweeps per diffusion and per pressure solve
    bool viscosityEnabled = true;  // whether a step diffuses or only copies
    VectorField scratchVelocity;   // diffused velocity, source of the advection; kept between steps
    ScalarField pressure;          // recomputed from zero by every projection
    ScalarField divergence;        // recomputed by every projection
    // Epsilon of the vorticity confinement; a step adds it only above 0.
    float vorticityConfinement = 0.0f;

    // Throws std::invalid_argument for grids smaller than 3 x 3.
    ReferenceSolver(int width, int height, float timeStep_, float viscosity, int iterations_);

    // One time step: diffuse (or copy), advect, confine vorticity (above 0 only), project.
    void step();

    const VectorField& velocityField() const { return velocity; }
    void setViscosity(float viscosity) { kinematicViscosity = viscosity; }
    void setIterations(int count) { iterations = count; }
    void setViscosityEnabled(bool enabled) { viscosityEnabled = enabled; }
    // Epsilon, per unit of time; one that is negative or not finite is taken as 0 (none).
    void setVorticityConfinement(float epsilon);

    // The walls' flow and the speed of its inflow or lid; a speed that is not finite is taken
    // as 0.
    void setFlow(Flow flow, float speed);
    Flow flow() const { return currentFlow; }
    float flowSpeed() const { return currentSpeed; }

    // Replaces the velocity of cell (i, j), then projects the field. A cell outside the grid is
    // ignored.
    void setVelocity(int i, int j, const Vec2& value);

    // Builds an obstacle from the closed polygon of count vertices (grid positions) and appends it.
    // Fewer than 3 vertices, a null array, or a vertex that is not finite or lies more than a grid
    // size outside the grid creates nothing.
    void addObstacle(const Vec2* polygon, int count);
    void clearObstacles() { obstacles.clear(); }

    // The flow's walls (see Flow; corners the mean of their two edge neighbours), then every
    // obstacle in order.
    void setVectorBoundary(VectorField& v) const;
    void setScalarBoundary(ScalarField& s) const;

    // Solves d - timeStep * viscosity * laplacian(d) = u by relaxation in place on d.
    void diffuse(const VectorField& u, VectorField& d) const;
    // d(x) = u(x - timeStep * u(x)), sampled bilinearly from u.
    void advect(const VectorField& u, VectorField& d) const;
    // q = central-difference divergence of v, in cell units.
    void computeDivergence(const VectorField& v, ScalarField& q) const;
    // Subtracts the gradient of the pressure that solves laplacian(p) = div(v).
    void project(VectorField& v);
    // v = v + timeStep * epsilon * h * (N x omega), then the vector boundary pass.
    void confineVorticity(VectorField& v);

private:
    Flow currentFlow = Flow::ClosedBox;
    float currentSpeed = 0.0f;
    ScalarField curl;  // h * omega of each interior cell
};
