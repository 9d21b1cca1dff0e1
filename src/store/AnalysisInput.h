#pragma once

// Store records turned into the plain inputs of the analyses.

#include "analysis/EcoCollectionGroup.h"
#include "analysis/HillNumbers.h"
#include "analysis/RichnessEstimates.h"
#include "analysis/TaxonEntry.h"
#include "store/RecordId.h"
#include "store/Store.h"

#include <atomic>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvella {

// Taxa as they are given (e.g. the species table's rows in display order);
// every entry's collection is 0, the one collection they form.
std::vector<TaxonEntry> taxonEntriesFromTaxa(std::span<const Taxon> taxa);

// The taxa of one collection in display order (abundance descending, then
// name), as the single-collection commands take them.
std::vector<TaxonEntry> taxonEntriesOfCensus(const Store &store, RecordId census);

// Every taxon and every collection of the store, in store order, for
// EcoCollectionGroup(taxa, collectionNames): each entry's collection is the
// index of its Census in `censusIds`; orphans have none.
struct GroupInput
{
    std::vector<TaxonEntry> taxa;
    std::vector<std::optional<std::string>> collectionNames;
    std::vector<RecordId> censusIds;
};
GroupInput makeGroupInput(const Store &store);

// What the group of every collection is made of, read straight from the
// store's record views (no record copied): every collection in store order
// and its named taxa. A small, self-contained copy, so the group can be made
// and computed on another thread while the store changes. Both readings
// below throw ComputationCancelled (analysis/Cancellation.h) within a few
// thousand taxa once `cancel` is set.
GroupTaxa groupTaxaOfStore(const Store &store, const std::atomic<bool> *cancel = nullptr);
// That group, as EcoCollectionGroup(makeGroupInput's taxa, names) makes it;
// none when the store holds no taxon.
std::optional<EcoCollectionGroup> makeEcoCollectionGroup(const Store &store);

// The richness estimators' input: every collection in store order with the
// abundances of its counted taxa (included, with an abundance, as for the
// collection's measures), and for every taxon name the collections holding
// it with an abundance above 0 (the include flag plays no part in the
// group, as for Chao-2). Taxa without a name or collection stay out of the
// group.
RichnessInput makeRichnessInput(const Store &store, const std::atomic<bool> *cancel = nullptr);

// The name of the one assemblage made of all collections of a document.
inline constexpr char allCollectionsAssemblageName[] = "all collections";

// A collection as an abundance assemblage for the Hill numbers: the counts
// of its included taxa, under the collection's name.
DiversitySample abundanceSampleOfCensus(const Store &store, const Census &census);

// The name and counts abundanceSampleOfCensus takes, for each of these
// collections still in the store, gathered in one pass over the store's
// taxa (a copy that a thread of its own may turn into samples).
struct CensusCounts
{
    std::string name;
    std::vector<std::int32_t> counts; // included taxa, largest first
};
// Throws ComputationCancelled within a few thousand taxa once `cancel` is set.
std::vector<CensusCounts> countsOfCensuses(const Store &store, std::span<const RecordId> censuses,
                                           const std::atomic<bool> *cancel = nullptr);

// Every collection of the store as a sampling unit of one incidence
// assemblage: a taxon occurs in a unit where it has a positive count,
// included or not. None when the store holds no taxon.
std::optional<DiversitySample> incidenceSampleOfStore(const Store &store);
// The same from the group of all collections (groupTaxaOfStore's).
DiversitySample incidenceSampleOfGroup(EcoCollectionGroup &group);

} // namespace quorvella
