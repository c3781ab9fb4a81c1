#include "Validation.h"

#include <cstdio>

ValidationReport runValidation(const ValidationSettings& settings,
                               const std::function<void(const std::string&)>& progress) {
    ValidationReport report;
    const auto tell = [&progress](const std::string& line) {
        if (progress) {
            progress(line);
        }
    };
    for (int reynolds : settings.cavityReynolds) {
        for (int size : settings.gridSizes) {
            tell("driven cavity, Re = " + std::to_string(reynolds) + ", " + std::to_string(size) +
                 " cells");
            report.cavity.push_back(runCavity(size, reynolds, settings.cavity));
        }
    }
    for (double reynolds : settings.sheddingReynolds) {
        tell("cylinder, Re = " + std::to_string(static_cast<int>(reynolds)));
        report.shedding.push_back(runShedding(reynolds, settings.shedding));
    }
    return report;
}

std::string validationText(const ValidationReport& report, const ValidationSettings& settings) {
    std::string text;
    for (const CavityResult& r : report.cavity) {
        text += cavityTable(r) + "\n";
    }
    if (!report.cavity.empty()) {
        text += "Driven cavity, RMS error against Ghia et al. (u and v, 34 points)\n";
        text += "    Re  cells  sweeps  steady at t    RMS u   RMS v    RMS\n";
        char line[120];
        for (const CavityResult& r : report.cavity) {
            char time[32];
            if (r.steady) {
                std::snprintf(time, sizeof time, "%.1f", r.time);
            } else {
                std::snprintf(time, sizeof time, "not steady");
            }
            std::snprintf(line, sizeof line, "  %4d  %5d  %6d  %-11s  %7.4f %7.4f %7.4f\n",
                          r.reynolds, r.gridSize, r.iterations, time, r.rmsU, r.rmsV, r.rms);
            text += line;
        }
        text += "\n";
    }
    if (!report.shedding.empty()) {
        text += sheddingTable(report.shedding, settings.shedding);
    }
    return text;
}
