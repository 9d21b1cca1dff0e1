#pragma once

#include "store/Census.h"
#include "store/Taxon.h"

#include <vector>

namespace quorvella {

// What one notification of a Store reports. Changes made inside one batch are
// folded: a record inserted and then updated is reported once as inserted with
// its final values, a record inserted and deleted in the same batch is not
// reported. Every list is in store order. Deleted records carry the values they
// had when they were deleted.
struct StoreChanges
{
    std::vector<Census> insertedCensuses;
    std::vector<Census> updatedCensuses;
    std::vector<Census> deletedCensuses;
    std::vector<Taxon> insertedTaxa;
    std::vector<Taxon> updatedTaxa;
    std::vector<Taxon> deletedTaxa;
    // Every record was replaced (Store::replaceAllRecords): observers re-read
    // the whole store; the lists above are empty.
    bool reset = false;

    bool empty() const
    {
        return !reset && insertedCensuses.empty() && updatedCensuses.empty() &&
               deletedCensuses.empty() && insertedTaxa.empty() && updatedTaxa.empty() &&
               deletedTaxa.empty();
    }
};

// Records taken out of a store by one delete, enough to put them back exactly
// (same ids, same order, same attributes) with Store::restore, e.g. for undo.
struct DeletedRecords
{
    std::vector<Census> censuses;
    std::vector<Taxon> taxa;
};

} // namespace quorvella
