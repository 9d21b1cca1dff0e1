#include "cli/StoreAnalysis.h"

#include "analysis/EcoCollection.h"
#include "store/Taxon.h"

#include <stdexcept>
#include <unordered_map>

namespace quorvella::cli {
namespace {

// Writes the measures into the record; answers why it could not be
// rarefied, or nothing.
std::optional<std::string> writeMetrics(Census &census, const EcoCollection &collection,
                                        std::int32_t sampleSize)
{
    census.abundance = collection.censusSize();
    census.richness = collection.richness();
    census.buzasGibson = collection.buzasGibsonE();
    census.chao = collection.chao1();
    census.shannon = collection.shannonH();
    census.simpson = collection.simpsonD();
    census.peters = collection.petersEss();
    census.pielou = collection.pielouJ();
    census.pie = collection.hurlbertPIE();
    try {
        const Rarefaction point = collection.individualBasedRarefactionToSampleSize(sampleSize);
        census.rarefactionRichness = point.theE;
        census.rarefactionSampleSize = point.theSampleSize;
    } catch (const std::invalid_argument &error) {
        return "The collection \"" + census.censusName.value_or("") +
               "\" cannot be rarefied: " + error.what();
    }
    return std::nullopt;
}

// Each collection's row: its place in store order.
std::unordered_map<RecordId, std::size_t> rowsOf(const std::vector<Census> &censuses)
{
    std::unordered_map<RecordId, std::size_t> rows;
    for (std::size_t i = 0; i < censuses.size(); ++i) {
        rows.emplace(censuses[i].id, i);
    }
    return rows;
}

} // namespace

std::optional<Census> findCensusNamed(const Store &store, std::string_view name)
{
    for (const Census &census : store.createArrayOfAllCensuses()) {
        if (census.censusName && *census.censusName == name) {
            return census;
        }
    }
    return std::nullopt;
}

CollectionMetrics metricsForAllCollections(const Store &store, std::int32_t sampleSize)
{
    std::vector<Census> censuses = store.createArrayOfAllCensuses();
    const std::unordered_map<RecordId, std::size_t> indexOfCensus = rowsOf(censuses);
    // One pass over all taxa, as the application's command makes it.
    std::vector<std::vector<std::int32_t>> abundanceLists(censuses.size());
    store.forEachTaxonView([&](const TaxonView &taxon) {
        if (!taxon.census || !taxon.includeTaxon || !taxon.abundance) {
            return;
        }
        if (const auto found = indexOfCensus.find(*taxon.census); found != indexOfCensus.end()) {
            abundanceLists[found->second].push_back(*taxon.abundance);
        }
    });
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < censuses.size(); ++i) {
        const EcoCollection collection =
            EcoCollection::initFromAbundanceArray(std::move(abundanceLists[i]));
        if (std::optional<std::string> problem =
                writeMetrics(censuses[i], collection, sampleSize)) {
            problems.push_back(std::move(*problem));
        }
    }
    return {std::move(censuses), std::move(problems)};
}

} // namespace quorvella::cli
