#pragma once

#include <cstdint>

#include "Flow.h"
#include "Vec2.h"

// One thing done to the fluid, in the order the solver saw it: what the mouse, the menus, the
// panel and a replay hand to Simulation::apply, and what a recording keeps. Which members a kind
// uses is given with it; the others stay 0.
enum class OperationKind : std::uint8_t {
    Step,              // count steps, one after another
    Stir,              // the block of cell (i, j) takes velocity a; the field is projected
    BeginDrag,         // a drag begins: its dye takes the next colour
    PourDye,           // dye along the segment from a to b, in grid positions
    AddCorner,         // corner at cell (i, j)
    RemoveLastCorner,  //
    DiscardCorners,    //
    BuildObstacle,     // from the corners placed
    ClearObstacles,    //
    Rest,              // every velocity to zero, the dye cleared
    GridSize,          // count cells a side
    Viscosity,         // value, in hundredths
    Iterations,        // count
    ViscosityEnabled,  // count 0 or 1
    Fade,              // value, thousandths a step
    Pause,             // count 1 pauses, 0 resumes
    Wait,              // count milliseconds in which nothing happened (recordings only)
    Checkpoint,  // digest: the velocity's fieldDigest after the steps so far (recordings only)
    Flow,        // count: the flow of the walls, 0 closed box, 1 wind tunnel, 2 driven cavity
    FlowSpeed,   // value: the inflow's or the lid's speed
    Swirl,       // value: the vorticity confinement's epsilon
    Push,        // the block of cell (i, j) takes velocity a, unprojected
    Project,     // the velocity is projected (after pushes, before the step)
    Count,       // not a kind: the number of kinds above, which new kinds go before
};

struct Operation {
    OperationKind kind = OperationKind::Step;
    int i = 0;
    int j = 0;
    int count = 0;
    float value = 0.0f;
    Vec2 a;
    Vec2 b;
    std::uint64_t digest = 0;

    // An operation of the kind with the count and value given, the rest 0.
    static Operation of(OperationKind kind, int count = 0, float value = 0.0f) {
        Operation made;
        made.kind = kind;
        made.count = count;
        made.value = value;
        return made;
    }
    // An operation on cell (i, j), with positions a and b for the kinds that take them.
    static Operation atCell(OperationKind kind, int i, int j, Vec2 a = Vec2(), Vec2 b = Vec2()) {
        Operation made = of(kind);
        made.i = i;
        made.j = j;
        made.a = a;
        made.b = b;
        return made;
    }

    static Operation step(int count = 1) { return of(OperationKind::Step, count); }
    static Operation stir(int i, int j, Vec2 velocity) {
        return atCell(OperationKind::Stir, i, j, velocity);
    }
    static Operation push(int i, int j, Vec2 velocity) {
        return atCell(OperationKind::Push, i, j, velocity);
    }
    static Operation project() { return of(OperationKind::Project); }
    static Operation beginDrag() { return of(OperationKind::BeginDrag); }
    static Operation pourDye(Vec2 from, Vec2 to) {
        return atCell(OperationKind::PourDye, 0, 0, from, to);
    }
    static Operation corner(int i, int j) { return atCell(OperationKind::AddCorner, i, j); }
    static Operation removeLastCorner() { return of(OperationKind::RemoveLastCorner); }
    static Operation discardCorners() { return of(OperationKind::DiscardCorners); }
    static Operation buildObstacle() { return of(OperationKind::BuildObstacle); }
    static Operation clearObstacles() { return of(OperationKind::ClearObstacles); }
    static Operation rest() { return of(OperationKind::Rest); }
    static Operation gridSize(int cells) { return of(OperationKind::GridSize, cells); }
    static Operation viscosity(float hundredths) {
        return of(OperationKind::Viscosity, 0, hundredths);
    }
    static Operation iterations(int count) { return of(OperationKind::Iterations, count); }
    static Operation viscosityEnabled(bool on) {
        return of(OperationKind::ViscosityEnabled, on ? 1 : 0);
    }
    static Operation fade(float perMille) { return of(OperationKind::Fade, 0, perMille); }
    static Operation pause(bool paused) { return of(OperationKind::Pause, paused ? 1 : 0); }
    static Operation flow(::Flow walls) { return of(OperationKind::Flow, static_cast<int>(walls)); }
    static Operation flowSpeed(float speed) { return of(OperationKind::FlowSpeed, 0, speed); }
    static Operation swirl(float epsilon) { return of(OperationKind::Swirl, 0, epsilon); }
};
