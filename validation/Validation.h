#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CavityValidation.h"
#include "SheddingValidation.h"

// The whole validation: the driven cavity at each Reynolds number of Ghia's tables on each grid
// size, and the cylinder's shedding at each Reynolds number.
struct ValidationSettings {
    std::vector<int> gridSizes{100, 200, 400};
    std::vector<int> cavityReynolds{100, 1000};
    CavitySettings cavity;
    std::vector<double> sheddingReynolds{60, 100, 150, 200, 500, 1000};
    SheddingSettings shedding;
};

struct ValidationReport {
    std::vector<CavityResult> cavity;      // by Reynolds number, then grid size
    std::vector<SheddingResult> shedding;  // by Reynolds number
};

// Runs every case; progress, if given, hears a line as each case begins.
ValidationReport runValidation(const ValidationSettings& settings = {},
                               const std::function<void(const std::string&)>& progress = {});

// Every table, then the cavity's RMS error per Reynolds number and grid size.
std::string validationText(const ValidationReport& report, const ValidationSettings& settings);
