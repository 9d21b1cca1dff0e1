#include "store/AnalysisInput.h"

#include "analysis/EcoCollectionGroup.h"

#include <algorithm>
#include <unordered_map>

namespace quorvella {
namespace {

TaxonEntry entryOf(const Taxon &taxon, std::optional<std::size_t> collection)
{
    return TaxonEntry{taxon.taxonName, taxon.abundance, taxon.includeTaxon, collection};
}

} // namespace

std::vector<TaxonEntry> taxonEntriesFromTaxa(std::span<const Taxon> taxa)
{
    std::vector<TaxonEntry> entries;
    entries.reserve(taxa.size());
    for (const Taxon &taxon : taxa) {
        entries.push_back(entryOf(taxon, 0));
    }
    return entries;
}

std::vector<TaxonEntry> taxonEntriesOfCensus(const Store &store, RecordId census)
{
    std::vector<Taxon> taxa = store.taxaOfCensus(census);
    std::sort(taxa.begin(), taxa.end(), taxonDisplayLess);
    return taxonEntriesFromTaxa(taxa);
}

GroupInput makeGroupInput(const Store &store)
{
    GroupInput input;
    std::unordered_map<RecordId, std::size_t> indexOfCensus;
    for (const Census &census : store.createArrayOfAllCensuses()) {
        indexOfCensus.emplace(census.id, input.censusIds.size());
        input.censusIds.push_back(census.id);
        input.collectionNames.push_back(census.censusName);
    }
    input.taxa.reserve(store.taxonCount());
    store.forEachTaxon([&](const Taxon &taxon) {
        std::optional<std::size_t> collection;
        if (taxon.census) {
            collection = indexOfCensus.at(*taxon.census);
        }
        input.taxa.push_back(entryOf(taxon, collection));
    });
    return input;
}

RichnessInput makeRichnessInput(const Store &store)
{
    RichnessInput input;
    std::unordered_map<RecordId, std::uint32_t> indexOfCensus;
    for (const Census &census : store.createArrayOfAllCensuses()) {
        indexOfCensus.emplace(census.id, static_cast<std::uint32_t>(input.collections.size()));
        input.collections.push_back({census.censusName.value_or(""), {}});
    }
    std::unordered_map<std::string, std::size_t> taxonOfName;
    for (const Taxon &taxon : store.createArrayOfAllTaxa()) {
        const auto found = taxon.census ? indexOfCensus.find(*taxon.census) : indexOfCensus.end();
        if (found == indexOfCensus.end() || !taxon.abundance) {
            continue;
        }
        if (taxon.includeTaxon) {
            input.collections[found->second].counts.push_back(*taxon.abundance);
        }
        if (taxon.taxonName && *taxon.abundance > 0) {
            const auto [entry, added] =
                taxonOfName.try_emplace(*taxon.taxonName, input.taxa.size());
            if (added) {
                input.taxa.emplace_back();
            }
            input.taxa[entry->second].push_back(found->second);
        }
    }
    return input;
}

DiversitySample abundanceSampleOfCensus(const Store &store, const Census &census)
{
    std::vector<std::int32_t> counts;
    for (const TaxonEntry &taxon : taxonEntriesOfCensus(store, census.id)) {
        if (taxon.include && taxon.abundance) {
            counts.push_back(*taxon.abundance);
        }
    }
    return abundanceSample(census.censusName.value_or(""), counts);
}

std::optional<DiversitySample> incidenceSampleOfStore(const Store &store)
{
    GroupInput input = makeGroupInput(store);
    if (input.taxa.empty()) {
        return std::nullopt;
    }
    EcoCollectionGroup group(std::move(input.taxa), std::move(input.collectionNames));
    group.countCensusOccurrences();
    return incidenceSample(allCollectionsAssemblageName, group.censusOccurrences(),
                           static_cast<std::int64_t>(group.numCollections()));
}

} // namespace quorvella
