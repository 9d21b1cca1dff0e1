#pragma once

// The three imports that turn a validated text into new records. Each one
// only inserts (no existing record is changed, merged or removed), inserts
// everything or nothing, and sends one change notification. New collections
// have the name the format gives and no metrics; new taxa are included.

#include "store/RecordId.h"
#include "store/Store.h"
#include "textio/CommunityTable.h"
#include "textio/ImportValidation.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella {

struct StoreImportResult
{
    // The collections created, in the order they were created.
    std::vector<RecordId> censuses;
    // Set by the group import only: the new name-completion list (the
    // header's species names in header order, without the label of the name
    // column). Empty optional: leave the completion list as it is.
    std::optional<std::vector<std::string>> completionList;
};

// Called while a large import runs, each time a collection or a run of taxa
// is in the store, e.g. to write the records to a file as they come.
using RecordsAdded = std::function<void()>;

// One collection "imported census" with one taxon per number, named
// "unnamed species 1", "unnamed species 2", ... in list order.
StoreImportResult addAbundanceListToMOCFromString(Store &store, std::string_view text,
                                                  const RecordsAdded &added = {});

// One collection "imported census" with one taxon per row that has an
// abundance.
StoreImportResult addCollectionToMOCFromString(Store &store, std::string_view text);

// One collection per row after the header, one taxon per abundance above zero.
StoreImportResult addCollectionGroupToMOCFromString(Store &store, std::string_view text,
                                                    const RecordsAdded &added = {});

// The same for a text not checked before: checked in the same scan as it is
// read. A text with a fault imports nothing and answers the fault as
// validateImportText does.
struct CheckedImportResult
{
    StoreImportResult imported;
    ValidationResult check;
};
CheckedImportResult checkAndAddCollectionGroupToMOC(Store &store, std::string_view text,
                                                    const RecordsAdded &added = {});

// The taxa of a checked abundance list (format AbundanceList) or
// one-collection table (any other format) added to the existing collection
// census, as a paste into its species table; the new taxa, in text order.
std::vector<RecordId> addTaxaToCensusFromString(Store &store, RecordId census, ImportFormat format,
                                                std::string_view text);

// A community table (textio/CommunityTable.h): one collection per sample,
// one taxon per count above zero; the completion list gets the taxon names.
// A table with a fault imports nothing and returns the fault.
struct CommunityImportResult
{
    StoreImportResult imported;
    std::optional<CommunityFault> fault;
};
CommunityImportResult addCommunityTableToMOCFromString(Store &store, std::string_view text,
                                                       const CommunityOptions &options = {},
                                                       const RecordsAdded &added = {});
// The same for a table read already without a fault (readCommunityTable), so
// that a reading away from the window need not be repeated.
StoreImportResult addCommunityGroupToMOC(Store &store, const ImportedCollectionGroup &group);
// The same from the reading without a string per cell (readCommunityCounts).
StoreImportResult addCommunityCountsToMOC(Store &store, CommunityCounts counts,
                                          const RecordsAdded &added = {});

} // namespace quorvella
