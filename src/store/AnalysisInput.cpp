#include "store/AnalysisInput.h"

#include "analysis/Cancellation.h"
#include "analysis/EcoCollectionGroup.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace quorvella {
namespace {

// Looks at the flag every few thousand visits: about a millisecond of reading.
class StopCheck
{
public:
    explicit StopCheck(const std::atomic<bool> *cancel) : cancel_(cancel) {}
    void operator()()
    {
        if ((++visits_ & 4095U) == 0) {
            stopIfCancelled(cancel_);
        }
    }

private:
    const std::atomic<bool> *cancel_;
    std::uint32_t visits_ = 0;
};

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

GroupTaxa groupTaxaOfStore(const Store &store, const std::atomic<bool> *cancel)
{
    StopCheck checkStop(cancel);
    std::vector<Census> censuses = store.createArrayOfAllCensuses();
    std::unordered_map<RecordId, std::size_t> rowOfCensus;
    rowOfCensus.reserve(censuses.size());
    std::vector<std::optional<std::string>> names;
    names.reserve(censuses.size());
    for (Census &census : censuses) {
        rowOfCensus.emplace(census.id, names.size());
        names.push_back(std::move(census.censusName));
    }
    GroupTaxa taxa(std::move(names));
    taxa.reserve(store.taxonCount());
    store.forEachTaxonView([&](const TaxonView &taxon) {
        checkStop();
        const auto found = taxon.census ? rowOfCensus.find(*taxon.census) : rowOfCensus.end();
        if (found != rowOfCensus.end()) {
            taxa.add(found->second, taxon.taxonName, taxon.abundance);
        }
    });
    return taxa;
}

std::optional<EcoCollectionGroup> makeEcoCollectionGroup(const Store &store)
{
    if (store.taxonCount() == 0) {
        return std::nullopt;
    }
    return EcoCollectionGroup(groupTaxaOfStore(store));
}

RichnessInput makeRichnessInput(const Store &store, const std::atomic<bool> *cancel)
{
    StopCheck checkStop(cancel);
    RichnessInput input;
    std::unordered_map<RecordId, std::uint32_t> indexOfCensus;
    for (const Census &census : store.createArrayOfAllCensuses()) {
        indexOfCensus.emplace(census.id, static_cast<std::uint32_t>(input.collections.size()));
        input.collections.push_back({census.censusName.value_or(""), {}});
    }
    // The names are views into the store, valid for this pass.
    std::unordered_map<std::string_view, std::size_t> taxonOfName;
    store.forEachTaxonView([&](const TaxonView &taxon) {
        checkStop();
        const auto found = taxon.census ? indexOfCensus.find(*taxon.census) : indexOfCensus.end();
        if (found == indexOfCensus.end() || !taxon.abundance) {
            return;
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
    });
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
    std::optional<EcoCollectionGroup> made = makeEcoCollectionGroup(store);
    if (!made) {
        return std::nullopt;
    }
    return incidenceSampleOfGroup(*made);
}

DiversitySample incidenceSampleOfGroup(EcoCollectionGroup &group)
{
    group.countCensusOccurrences();
    return incidenceSample(allCollectionsAssemblageName, group.censusOccurrences(),
                           static_cast<std::int64_t>(group.numCollections()));
}

std::vector<CensusCounts> countsOfCensuses(const Store &store, std::span<const RecordId> censuses,
                                           const std::atomic<bool> *cancel)
{
    StopCheck checkStop(cancel);
    std::vector<CensusCounts> gathered;
    std::unordered_map<RecordId, std::size_t> indexOfCensus;
    for (const RecordId id : censuses) {
        if (const Census *census = store.findCensus(id)) {
            indexOfCensus.emplace(id, gathered.size());
            gathered.push_back({census->censusName.value_or(""), {}});
        }
    }
    store.forEachTaxonView([&](const TaxonView &taxon) {
        checkStop();
        if (!taxon.census || !taxon.includeTaxon || !taxon.abundance) {
            return;
        }
        if (const auto found = indexOfCensus.find(*taxon.census); found != indexOfCensus.end()) {
            gathered[found->second].counts.push_back(*taxon.abundance);
        }
    });
    // The display order's counts: equal counts are equal, whatever their names.
    for (CensusCounts &census : gathered) {
        std::sort(census.counts.begin(), census.counts.end(), std::greater<>());
    }
    return gathered;
}

} // namespace quorvella
