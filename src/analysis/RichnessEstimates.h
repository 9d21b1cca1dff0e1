#pragma once

// The whole estimator table of a document in plain values: the estimators of
// each collection from its specimens and those of the group from the
// collections as sampling units. The command-line tool and the
// application's window both print this.

#include "analysis/AbundanceEstimators.h"
#include "analysis/IncidenceEstimators.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvella {

struct CollectionCounts
{
    std::string name; // empty for a collection without a name
    std::vector<std::int32_t> counts;
};

struct RichnessInput
{
    // Every collection; each is also one sampling unit of the group.
    std::vector<CollectionCounts> collections;
    // Per taxon name, the collections (indices into `collections`) it is
    // present in.
    std::vector<IncidenceSet> taxa;
};

struct CollectionEstimates
{
    std::string name;
    AbundanceEstimates estimates;
};

struct RichnessEstimates
{
    int confidenceLevel = 95; // 95 or 99: the level of both intervals
    std::vector<CollectionEstimates> collections;
    // None for fewer than two collections.
    std::optional<IncidenceEstimates> group;
};

// level: 99 for 99 % intervals, anything else gives 95 %. Once `cancel` is
// set it stops with ComputationCancelled (analysis/Cancellation.h).
RichnessEstimates estimateRichness(const RichnessInput &input, int level,
                                   const std::atomic<bool> *cancel = nullptr);

} // namespace quorvella
