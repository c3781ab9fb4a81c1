#include "SheddingValidation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Flow.h"
#include "FlowSampling.h"
#include "FluidSolver.h"

namespace {

double roshkoStrouhal(double reynolds) {
    return 0.212 * (1.0 - 21.2 / reynolds);
}

// The times at which the samples, taken one time step apart, cross their mean upward.
std::vector<double> upwardCrossings(const std::vector<double>& samples, double mean,
                                    double timeStep) {
    std::vector<double> times;
    for (std::size_t k = 1; k < samples.size(); ++k) {
        const double a = samples[k - 1] - mean;
        const double b = samples[k] - mean;
        if (a < 0.0 && b >= 0.0) {
            times.push_back((static_cast<double>(k - 1) + a / (a - b)) * timeStep);
        }
    }
    return times;
}

// Periods, spread and amplitude of the probe's record.
void measurePeriods(const std::vector<double>& samples, const SheddingSettings& s,
                    SheddingResult& r) {
    if (samples.empty()) {
        return;
    }
    double mean = 0.0;
    for (double v : samples) {
        mean += v;
    }
    mean /= static_cast<double>(samples.size());
    const auto range = std::minmax_element(samples.begin(), samples.end());
    r.amplitude = 0.5 * (*range.second - *range.first) / s.inflowSpeed;
    const std::vector<double> crossings = upwardCrossings(samples, mean, s.timeStep);
    r.periods = std::max(0, static_cast<int>(crossings.size()) - 1);
    if (r.periods == 0) {
        return;
    }
    r.period = (crossings.back() - crossings.front()) / r.periods;
    for (std::size_t k = 1; k < crossings.size(); ++k) {
        const double spread = std::fabs(crossings[k] - crossings[k - 1] - r.period) / r.period;
        r.periodSpread = std::max(r.periodSpread, spread);
    }
    r.periodic = r.periods >= s.minPeriods && r.periodSpread <= s.periodTolerance &&
                 r.amplitude >= s.minAmplitude;
    r.strouhal = r.periodic ? r.diameter / (r.period * s.inflowSpeed) : 0.0;
}

}  // namespace

SheddingResult runShedding(double reynolds, const SheddingSettings& s) {
    SheddingResult r;
    r.reynolds = reynolds;
    r.diameter = kCylinderDiameter;
    r.inflowSpeed = s.inflowSpeed;
    r.viscosity = s.inflowSpeed * r.diameter / reynolds;
    r.roshko = roshkoStrouhal(reynolds);
    const int N = s.gridSize;
    FluidSolver solver(N, N, s.timeStep, static_cast<float>(r.viscosity), s.iterations);
    const double h = solver.velocity.spacing;
    const double courant = s.inflowSpeed * s.timeStep / h;
    r.numericalViscosity = h * s.inflowSpeed / 2.0 * std::max(0.0, 1.0 - courant);
    r.effectiveReynolds = s.inflowSpeed * r.diameter / (r.viscosity + r.numericalViscosity);

    solver.setFlow(Flow::WindTunnel, s.inflowSpeed);
    const std::vector<Vec2> cylinder = cylinderPolygon(N);
    solver.addObstacle(cylinder.data(), static_cast<int>(cylinder.size()));
    // An impulsive start: the free stream everywhere, the cylinder set into it by the first pass.
    for (VectorField* field : {&solver.velocity, &solver.scratchVelocity}) {
        std::fill(field->data.begin(), field->data.end(), Vec2(s.inflowSpeed, 0.0f));
    }
    const int startSteps = static_cast<int>(s.startTime / s.timeStep);
    const int measureSteps = static_cast<int>(s.measureTime / s.timeStep);
    for (int k = 0; k < startSteps; ++k) {
        solver.step();
    }
    const double probeX = kCylinderCentreX + s.probeDiameters * r.diameter;
    const UnitSquare square(solver.velocity);
    std::vector<double> samples;
    for (int k = 0; k < measureSteps; ++k) {
        solver.step();
        samples.push_back(square.sample(probeX, kCylinderCentreY).y);
    }
    measurePeriods(samples, s, r);
    return r;
}

std::string sheddingTable(const std::vector<SheddingResult>& results, const SheddingSettings& s) {
    std::string text;
    char line[200];
    std::snprintf(line, sizeof line,
                  "Cylinder in the wind tunnel, %d x %d cells, %d sweeps, U = %g, D = %g, probe "
                  "%g D behind the centre\n",
                  s.gridSize, s.gridSize, s.iterations, s.inflowSpeed,
                  static_cast<double>(kCylinderDiameter), s.probeDiameters);
    text += line;
    text +=
        "    Re  viscosity  Re eff  periodic  periods  spread  amplitude     St  Roshko   diff\n";
    for (const SheddingResult& r : results) {
        std::snprintf(line, sizeof line,
                      "  %4.0f  %9.6f  %6.1f  %-8s  %7d  %5.1f%%  %9.3f  %5.3f   %5.3f  %5.3f\n",
                      r.reynolds, r.viscosity, r.effectiveReynolds, r.periodic ? "yes" : "no",
                      r.periods, 100.0 * r.periodSpread, r.amplitude, r.strouhal, r.roshko,
                      r.periodic ? r.strouhal - r.roshko : 0.0);
        text += line;
    }
    return text;
}
