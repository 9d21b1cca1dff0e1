#pragma once

// The two steps the metrics commands share: gathering the counted
// abundances of every collection, and writing one collection's measures
// into its record.

#include "analysis/EcoCollection.h"
#include "store/Census.h"
#include "store/Taxon.h"

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvella {

// One list per collection, parallel to censuses: the abundances of its taxa
// that are included and have an abundance, in the order of taxa. Taxa of no
// listed collection (orphans included) are skipped. One pass over the taxa.
std::vector<std::vector<std::int32_t>>
countedAbundancesByCollection(std::span<const Census> censuses, std::span<const Taxon> taxa);

// Writes the nine measures of collection into census and, when the sample
// size can be rarefied, the rarefied richness (and, with storeSampleSize,
// the sample size). Otherwise the rarefied richness keeps its value and the
// reason is returned; empty when everything was written.
QString storeMeasures(Census &census, const EcoCollection &collection, int sampleSize,
                      bool storeSampleSize);

} // namespace quorvella
