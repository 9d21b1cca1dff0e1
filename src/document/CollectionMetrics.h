#pragma once

// The steps the metrics commands share: writing one collection's measures
// into its record, and the metrics of every collection from a snapshot of
// the store (which may be computed on another thread).

#include "analysis/EcoCollection.h"
#include "store/Census.h"
#include "store/Store.h"
#include "store/Taxon.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace quorvella {

// Writes the nine measures of collection into census and, when the sample
// size can be rarefied, the rarefied richness (and, with storeSampleSize,
// the sample size). Otherwise the rarefied richness keeps its value and the
// reason is returned; empty when everything was written.
QString storeMeasures(Census &census, const EcoCollection &collection, int sampleSize,
                      bool storeSampleSize);

struct BackgroundProgress;

// What the metrics of every collection are computed from, read from the
// store in one pass, so the computation can run away from it.
struct MetricsSnapshot
{
    std::vector<Census> censuses; // store order
    std::vector<std::vector<std::int32_t>> abundances;
};
MetricsSnapshot takeMetricsSnapshot(const Store &store);

// The collections with their measures written, and each distinct problem
// once. progress (when given) counts collections and may cancel the run,
// which then returns early with partial results.
struct AllMetrics
{
    std::vector<Census> censuses;
    QStringList problems;
};
AllMetrics computeAllMetrics(MetricsSnapshot snapshot, int sampleSize,
                             BackgroundProgress *progress = nullptr);

} // namespace quorvella
