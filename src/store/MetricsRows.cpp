#include "store/MetricsRows.h"

namespace quorvella {
namespace {

std::optional<double> widened(const std::optional<std::int32_t> &value)
{
    return value ? std::optional<double>(*value) : std::nullopt;
}

} // namespace

CollectionMetricsRow metricsRowOf(const Census &census)
{
    return CollectionMetricsRow{census.censusName,
                                widened(census.richness),
                                widened(census.abundance),
                                census.buzasGibson,
                                census.chao,
                                census.pie,
                                census.shannon,
                                census.simpson,
                                census.peters,
                                census.pielou,
                                census.rarefactionRichness};
}

std::vector<CollectionMetricsRow> metricsRowsOf(std::span<const Census> censuses)
{
    std::vector<CollectionMetricsRow> rows;
    rows.reserve(censuses.size());
    for (const Census &census : censuses) {
        rows.push_back(metricsRowOf(census));
    }
    return rows;
}

} // namespace quorvella
