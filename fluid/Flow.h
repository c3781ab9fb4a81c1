#pragma once

#include <vector>

#include "Vec2.h"

// What the walls of the grid do: the flow that the solver studies. Rows grow downward on screen,
// so row 0 is the top wall.
//
// Units: the interior spans the unit square (spacing h = 1 / (N - 2)); velocities are in domain
// lengths per unit of time; the viscosity is the kinematic one in the same units, so that a
// flow of speed U past a body of size L has Reynolds number Re = U * L / viscosity.
enum class Flow {
    // Impermeable free-slip walls all round: normal component 0, tangential copied from the
    // interior; the pressure has zero normal derivative.
    ClosedBox,
    // The left wall blows at the speed (a fixed (U, 0)), the right wall lets the fluid out (zero
    // gradient), the top and bottom are the closed box's free-slip walls. The pressure is 0 at
    // the outflow and has zero normal derivative elsewhere.
    WindTunnel,
    // No-slip walls on the faces between the boundary layer and the interior, by ghost cells
    // (boundary cell = 2 * wall velocity - interior neighbour); the top wall moves right at the
    // speed, the others are still. The pressure has zero normal derivative.
    DrivenCavity,
};

const char* flowName(Flow flow);

// Settings that make the wind tunnel shed a periodic vortex street behind cylinderPolygon at
// 200 x 200 without stirring, found by running it (docs/validation.md): the inflow speed, in
// domain lengths per unit of time, and the range in which the street was seen (at 3 and more it
// was not: the 50 pressure sweeps fall behind); the viscosity as the settings panel gives it, in
// hundredths of the solver's unit (0.0002, nominal Re = U * D / viscosity = 500 at U = 1).
constexpr float kTunnelInflowSpeed = 1.0f;
constexpr float kTunnelSlowestSpeed = 0.5f;
constexpr float kTunnelFastestSpeed = 2.0f;
constexpr float kTunnelViscosityHundredths = 0.02f;
// The cavity's lid speed, in the same units.
constexpr float kCavityLidSpeed = 1.0f;

// The cylinder's diameter and the position of its centre, as fractions of the unit square.
constexpr float kCylinderDiameter = 0.1f;
constexpr float kCylinderCentreX = 0.25f;
constexpr float kCylinderCentreY = 0.5f;

// A round obstacle for a gridSize x gridSize wind tunnel (3 cells or more): a polygon of at most
// 100 whole-cell corners on the circle of diameter kCylinderDiameter about (kCylinderCentreX,
// kCylinderCentreY) of the unit square, counter-clockwise on screen, so that its outline cells
// take their values from the fluid outside: a free-slip surface whose pressure has zero normal
// derivative. (Clockwise, they would copy the body's zeros, and a surface pressure held at 0
// lets the fluid sink into the body.) Repeated corners are left out.
std::vector<Vec2> cylinderPolygon(int gridSize);
