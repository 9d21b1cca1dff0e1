#include "analysis/RichnessEstimates.h"

#include "analysis/Cancellation.h"

namespace quorvella {

RichnessEstimates estimateRichness(const RichnessInput &input, int level,
                                   const std::atomic<bool> *cancel)
{
    RichnessEstimates result;
    result.confidenceLevel = level == 99 ? 99 : 95;
    const double z = zForConfidenceLevel(result.confidenceLevel);
    result.collections.reserve(input.collections.size());
    for (const CollectionCounts &collection : input.collections) {
        stopIfCancelled(cancel);
        result.collections.push_back(
            {collection.name, estimateFromAbundances(collection.counts, z)});
    }
    result.group = estimateFromIncidence(input.collections.size(), input.taxa, z, cancel);
    return result;
}

} // namespace quorvella
