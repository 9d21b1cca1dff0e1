#pragma once

// Richness estimators of one collection from its counts of specimens:
// Chao1 with standard error and interval, ACE and the sample coverage.

#include "analysis/ChaoEstimators.h"
#include "analysis/Estimate.h"
#include "analysis/FrequencyCounts.h"

#include <cstdint>
#include <span>

namespace quorvella {

struct AbundanceEstimates
{
    double observed = 0.0;    // S_obs
    double individuals = 0.0; // n
    ChaoEstimate chao1;
    Estimate ace;
    Estimate coverage;
};

// counts: the abundance of each counted taxon; entries of 0 or less are not
// observed. z: the normal quantile of the Chao1 interval.
AbundanceEstimates estimateFromAbundances(std::span<const std::int32_t> counts, double z);

// Chao & Jost (2012): 1 - f1 / n * A' (undetectedSpecies). None for a
// collection without specimens.
Estimate sampleCoverage(const FrequencyCounts &f);

} // namespace quorvella
