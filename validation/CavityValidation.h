#pragma once

#include <string>
#include <vector>

// The lid-driven cavity run to a steady state and set against Ghia, Ghia & Shin (1982).
//
// The solver's cavity (Flow::DrivenCavity) is the unit square of the interior cells with the
// lid, row 0, moving right at speed 1; the viscosity is 1 / Re. Ghia's frame has y upward with
// the lid at y = 1; ours has rows growing downward, so a height y is the depth 1 - y below the
// lid and an upward v is our -v.

// A point of a profile: where, what Ghia give, what we have there and ours minus theirs.
struct ProfilePoint {
    double position;  // y for u, x for v, in Ghia's frame
    double published;
    double ours;
    double difference;
};

// Our velocity along a centre line, for plots: positions in Ghia's frame.
struct ProfileSample {
    double position;
    double value;
};

// How the cavity runs and when it counts as steady.
struct CavitySettings {
    float timeStep = 0.001f;  // the program's
    int iterations = 50;      // the most the settings panel allows: the pressure needs them all
    // Steady once the largest change of any velocity component, over checkEvery steps, divided
    // by the time they take, is below this (lid speeds per unit of time).
    double tolerance = 1e-3;
    int checkEvery = 100;
    double maxTime = 100.0;  // gives up, not steady, after this simulated time
};

struct CavityResult {
    int gridSize = 0;
    int reynolds = 0;
    int iterations = 0;
    double viscosity = 0.0;  // kinematic, in the solver's units: 1 / Re
    int steps = 0;
    double time = 0.0;            // simulated when the run stopped
    bool steady = false;          // stopped because the change fell below the tolerance
    double change = 0.0;          // the last change per unit of time measured
    std::vector<ProfilePoint> u;  // at Ghia's 17 heights
    std::vector<ProfilePoint> v;  // at Ghia's 17 abscissae
    double rmsU = 0.0;            // root mean square of the differences, per profile
    double rmsV = 0.0;
    double rms = 0.0;                  // over all 34 points
    std::vector<ProfileSample> uLine;  // u on the vertical centre line, one sample per row
    std::vector<ProfileSample> vLine;  // v (upward) on the horizontal one, one per column
};

// Runs the cavity at a Reynolds number Ghia tabulate (100 or 1000) on a gridSize x gridSize
// grid. Throws std::invalid_argument for another Reynolds number or a grid below 8 cells.
CavityResult runCavity(int gridSize, int reynolds, const CavitySettings& settings = {});

// The 17 points of both profiles and the RMS errors, as a plain-text table.
std::string cavityTable(const CavityResult& result);
