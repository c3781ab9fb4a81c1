#pragma once

#include <string>
#include <vector>

// The vortex street behind the cylinder (cylinderPolygon) in the wind tunnel, its Strouhal
// number St = f * D / U set against Roshko's fit St = 0.212 * (1 - 21.2 / Re) (NACA Report 1191,
// 1954, for 50 < Re < 150; about 0.2 from Re 300 on).
//
// The frequency comes from the cross-stream velocity at a probe on the centre line behind the
// cylinder, which the shed vortices swing from side to side once per period: after a start-up
// time, each upward crossing of its mean (between two samples, interpolated linearly) starts a
// period.

struct SheddingSettings {
    int gridSize = 200;
    float timeStep = 0.001f;
    int iterations = 50;
    float inflowSpeed = 1.0f;     // U, domain lengths per unit of time
    double startTime = 5.0;       // the street forms and settles before this
    double measureTime = 5.0;     // the probe is read for this long after it
    double probeDiameters = 2.0;  // the probe's distance behind the cylinder's centre
    // Periodic when at least minPeriods periods were measured, each within this fraction of
    // their mean, and the probe swings by more than minAmplitude times U.
    int minPeriods = 5;
    double periodTolerance = 0.05;
    double minAmplitude = 0.01;
};

struct SheddingResult {
    double reynolds = 0.0;   // nominal: U * D / viscosity
    double viscosity = 0.0;  // kinematic, in the solver's units
    double diameter = 0.0;   // D, in domain lengths
    double inflowSpeed = 0.0;
    // Semi-Lagrangian advection smooths like a viscosity of about h * U / 2 * (1 - c), with
    // c = U * timeStep / h: the effective Reynolds number U * D / (viscosity + that) is lower.
    double numericalViscosity = 0.0;
    double effectiveReynolds = 0.0;
    int periods = 0;            // measured
    double period = 0.0;        // their mean, in units of time
    double periodSpread = 0.0;  // the largest distance of a period from the mean, over the mean
    double amplitude = 0.0;     // half the range of the probe's cross-stream velocity, over U
    bool periodic = false;
    double strouhal = 0.0;  // D / (period * U); 0 when not periodic
    double roshko = 0.0;    // 0.212 * (1 - 21.2 / Re) at the nominal Re
};

// Runs the tunnel at a nominal Reynolds number (the viscosity is U * D / Re).
SheddingResult runShedding(double reynolds, const SheddingSettings& settings = {});

// One line per result: Re, viscosity, effective Re, periods, St, Roshko's St.
std::string sheddingTable(const std::vector<SheddingResult>& results,
                          const SheddingSettings& settings);
