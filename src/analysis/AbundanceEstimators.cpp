#include "analysis/AbundanceEstimators.h"

namespace quorvella {

Estimate sampleCoverage(const FrequencyCounts &f)
{
    const double n = f.total();
    if (n == 0.0) {
        return Estimate::missing("the collection holds no specimens");
    }
    const double f1 = f.species(1);
    return Estimate::of(1.0 - f1 / n * undetectedSpecies(n, f1, f.species(2)).coverageFactor);
}

AbundanceEstimates estimateFromAbundances(std::span<const std::int32_t> counts, double z)
{
    const FrequencyCounts f(counts);
    AbundanceEstimates result;
    result.observed = f.observed();
    result.individuals = f.total();
    if (f.total() == 0.0) {
        const Estimate none = Estimate::missing("the collection holds no specimens");
        result.chao1 = {none, none, none, none};
        result.ace = none;
        result.coverage = none;
        return result;
    }
    result.chao1 = chaoEstimate(f, f.total(), z);
    const RareSpecies rare = rareSpecies(f);
    result.ace = coverageEstimate(f, rare, 1.0 / (rare.individuals * (rare.individuals - 1.0)),
                                  "every rare taxon is a singleton (sample coverage 0)");
    result.coverage = sampleCoverage(f);
    return result;
}

} // namespace quorvella
