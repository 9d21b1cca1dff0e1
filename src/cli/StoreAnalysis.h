#pragma once

// The analysis inputs the application's commands take from a store, and the
// all-collections metrics command, for a store that lives only for one run.

#include "analysis/EcoCollectionGroup.h"
#include "analysis/TaxonEntry.h"
#include "store/AnalysisInput.h"
#include "store/Census.h"
#include "store/Store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella::cli {

// The group of every taxon and every collection is the store's
// makeEcoCollectionGroup (store/AnalysisInput.h), as the application makes it.
using quorvella::makeEcoCollectionGroup;

// The first collection, in store order, whose name is exactly `name`.
std::optional<Census> findCensusNamed(const Store &store, std::string_view name);

struct CollectionMetrics
{
    // Every collection in store order with its measures written as the
    // all-collections metrics command writes them: computed from the included
    // taxa that have an abundance, in store order, and rarefied to sampleSize.
    std::vector<Census> censuses;
    // One sentence per collection too large to rarefy; its rarefied richness
    // and sample size stay absent, its other measures are there.
    std::vector<std::string> problems;
};

CollectionMetrics metricsForAllCollections(const Store &store, std::int32_t sampleSize);

} // namespace quorvella::cli
