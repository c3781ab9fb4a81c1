#include "CavityValidation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "FlowSampling.h"
#include "FluidSolver.h"
#include "GhiaData.h"

namespace {

std::vector<ProfilePoint> compare(const double* positions, const double* published,
                                  const std::vector<double>& ours) {
    std::vector<ProfilePoint> points;
    for (int k = 0; k < ghia::kPoints; ++k) {
        points.push_back(ProfilePoint{positions[k], published[k], ours[k], ours[k] - published[k]});
    }
    return points;
}

double sumOfSquares(const std::vector<ProfilePoint>& points) {
    double sum = 0.0;
    for (const ProfilePoint& p : points) {
        sum += p.difference * p.difference;
    }
    return sum;
}

}  // namespace

CavityResult runCavity(int gridSize, int reynolds, const CavitySettings& settings) {
    if (reynolds != 100 && reynolds != 1000) {
        throw std::invalid_argument("Ghia's tables are for Re = 100 and Re = 1000");
    }
    if (gridSize < 8) {
        throw std::invalid_argument("the cavity needs a grid of 8 cells or more");
    }
    CavityResult r;
    r.gridSize = gridSize;
    r.reynolds = reynolds;
    r.iterations = settings.iterations;
    // Re = U * L / viscosity with U = L = 1.
    r.viscosity = 1.0 / reynolds;
    FluidSolver solver(gridSize, gridSize, settings.timeStep, static_cast<float>(r.viscosity),
                       settings.iterations);
    solver.setFlow(Flow::DrivenCavity, 1.0f);

    const double interval = settings.checkEvery * static_cast<double>(settings.timeStep);
    const int maxSteps = static_cast<int>(settings.maxTime / settings.timeStep);
    std::vector<Vec2> before = solver.velocity.data;
    while (r.steps < maxSteps) {
        for (int k = 0; k < settings.checkEvery; ++k) {
            solver.step();
        }
        r.steps += settings.checkEvery;
        r.change = largestChange(before, solver.velocity) / interval;
        before = solver.velocity.data;
        if (r.change < settings.tolerance) {
            r.steady = true;
            break;
        }
    }
    r.time = r.steps * static_cast<double>(settings.timeStep);

    const UnitSquare square(solver.velocity);
    std::vector<double> u;
    std::vector<double> v;
    for (int k = 0; k < ghia::kPoints; ++k) {
        // Ghia's (x, y) is our (x, 1 - y); their upward v is our -v.
        u.push_back(square.sample(0.5, 1.0 - ghia::kY[k]).x);
        v.push_back(-square.sample(ghia::kX[k], 0.5).y);
    }
    r.u = compare(ghia::kY, reynolds == 100 ? ghia::kU100 : ghia::kU1000, u);
    r.v = compare(ghia::kX, reynolds == 100 ? ghia::kV100 : ghia::kV1000, v);
    r.rmsU = std::sqrt(sumOfSquares(r.u) / ghia::kPoints);
    r.rmsV = std::sqrt(sumOfSquares(r.v) / ghia::kPoints);
    r.rms = std::sqrt((sumOfSquares(r.u) + sumOfSquares(r.v)) / (2 * ghia::kPoints));
    // The walls (0 and 1) and every cell centre between them.
    for (int k = 0; k <= gridSize - 1; ++k) {
        const double s = std::min(1.0, std::max(0.0, (k - 0.5) * square.spacing()));
        r.uLine.push_back(ProfileSample{1.0 - s, square.sample(0.5, s).x});
        r.vLine.push_back(ProfileSample{s, -square.sample(s, 0.5).y});
    }
    return r;
}

std::string cavityTable(const CavityResult& r) {
    std::string text;
    char line[160];
    std::snprintf(line, sizeof line,
                  "Driven cavity, Re = %d, %d x %d cells, %d sweeps: %s at t = %.1f (%d steps), "
                  "change %.2g per unit time\n",
                  r.reynolds, r.gridSize, r.gridSize, r.iterations,
                  r.steady ? "steady" : "NOT steady", r.time, r.steps, r.change);
    text += line;
    text += "       y   u Ghia    u ours     diff  |        x   v Ghia    v ours     diff\n";
    for (std::size_t k = 0; k < r.u.size() && k < r.v.size(); ++k) {
        std::snprintf(line, sizeof line,
                      "  %6.4f %8.5f  %8.5f  %7.4f  |   %6.4f %8.5f  %8.5f  %7.4f\n",
                      r.u[k].position, r.u[k].published, r.u[k].ours, r.u[k].difference,
                      r.v[k].position, r.v[k].published, r.v[k].ours, r.v[k].difference);
        text += line;
    }
    std::snprintf(line, sizeof line, "  RMS error: u %.4f, v %.4f, both %.4f\n", r.rmsU, r.rmsV,
                  r.rms);
    text += line;
    return text;
}
