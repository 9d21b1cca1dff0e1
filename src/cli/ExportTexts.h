#pragma once

// The texts of the application's exports, built from a document's store as
// its document builds them, and the metrics table the metrics command prints.
// A document with nothing to export throws Failure with the product's
// nothing-to-export texts.

#include "store/Census.h"
#include "store/Store.h"

#include <span>
#include <string>
#include <string_view>

namespace quorvella::cli {

// The table of stored measures, "\r" line ends (the metrics export).
std::string exportMetrics(const Store &store);

// The taxa-by-collections matrix, "\r" line ends (the group export).
std::string exportGroupOfCollections(const Store &store);

// The counted taxa of the first collection named `name`, in the species
// table's order, "\r" line ends (the one-collection export).
std::string exportOneCollection(const Store &store, std::string_view name);

// Every distinct taxon name, sorted without regard to case, each followed by
// "\n" (the species list).
std::string exportSpeciesList(const Store &store);

// The metrics table of these collections with "\n" line ends, for the
// metrics command's plain output.
std::string metricsTable(std::span<const Census> censuses);

} // namespace quorvella::cli
