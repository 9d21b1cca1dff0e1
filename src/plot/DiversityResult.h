#pragma once

// What one diversity request computed: the settings and assemblages it was
// for, the curves of every assemblage, and the table at a common size or
// coverage.

#include "analysis/HillNumbers.h"
#include "plot/DiversitySettings.h"

#include <vector>

namespace quorvella {

struct DiversityResult
{
    DiversitySettings settings;
    std::vector<DiversitySample> samples;
    // One per sample, in order: its profile, or why it has none.
    std::vector<DiversityOutcome> curves;
    // The common size (individuals or units) or coverage compared at, and
    // each sample's estimates there (size-based or coverage-based rows).
    double commonValue = 0.0;
    std::vector<DiversityOutcome> common;
};

} // namespace quorvella
