#pragma once

// Richness estimators of a group of collections, the collections taken as
// sampling units and each taxon as present or absent in each: Chao-2
// bias-corrected with standard error and interval, ICE, the first- and
// second-order jackknife and the bootstrap. (The document's own Chao-2,
// EcoCollectionGroup::chao2, is a different, uncorrected formula and stays.)

#include "analysis/ChaoEstimators.h"
#include "analysis/Estimate.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quorvella {

struct IncidenceEstimates
{
    std::size_t units = 0; // T
    double observed = 0.0; // S_obs: taxa present in at least one unit
    ChaoEstimate chao2;
    Estimate ice;
    Estimate jackknife1;
    Estimate jackknife1Se;
    Estimate jackknife2;
    Estimate bootstrap;
    Estimate bootstrapSe;
};

// The units of one taxon: indices below the number of units, in any order;
// a repeated index counts once, an empty set is a taxon present nowhere.
using IncidenceSet = std::vector<std::uint32_t>;

// Nothing for fewer than two units, where no estimator of the group is
// defined. Throws std::invalid_argument for an index outside the units, and
// ComputationCancelled (analysis/Cancellation.h) once `cancel` is set.
std::optional<IncidenceEstimates> estimateFromIncidence(std::size_t units,
                                                        std::span<const IncidenceSet> taxa,
                                                        double z,
                                                        const std::atomic<bool> *cancel = nullptr);

} // namespace quorvella
