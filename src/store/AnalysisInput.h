#pragma once

// Store records turned into the plain inputs of the analyses.

#include "analysis/RichnessEstimates.h"
#include "analysis/TaxonEntry.h"
#include "store/RecordId.h"
#include "store/Store.h"

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

// The richness estimators' input: every collection in store order with the
// abundances of its counted taxa (included, with an abundance, as for the
// collection's measures), and for every taxon name the collections holding
// it with an abundance above 0 (the include flag plays no part in the
// group, as for Chao-2). Taxa without a name or collection stay out of the
// group.
RichnessInput makeRichnessInput(const Store &store);

} // namespace quorvella
