#include "analysis/RichnessEstimates.h"

namespace quorvella {

RichnessEstimates estimateRichness(const RichnessInput &input, int level)
{
    RichnessEstimates result;
    result.confidenceLevel = level == 99 ? 99 : 95;
    const double z = zForConfidenceLevel(result.confidenceLevel);
    result.collections.reserve(input.collections.size());
    for (const CollectionCounts &collection : input.collections) {
        result.collections.push_back(
            {collection.name, estimateFromAbundances(collection.counts, z)});
    }
    result.group = estimateFromIncidence(input.collections.size(), input.taxa, z);
    return result;
}

} // namespace quorvella
