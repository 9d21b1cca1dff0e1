#pragma once

#include "store/RecordId.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvella {

// One collection (a sample). Every attribute may be absent, and absent is not
// zero: a new collection has no name and no metrics. The metrics are a cache
// written by the analysis commands only.
struct Census
{
    RecordId id = 0; // assigned by the Store on insertion
    std::optional<std::string> censusName{};
    std::optional<std::int32_t> abundance{}; // census size, as last computed
    std::optional<std::int32_t> richness{};
    std::optional<double> buzasGibson{};
    std::optional<double> chao{};
    std::optional<double> shannon{};
    std::optional<double> simpson{};
    std::optional<double> peters{};
    std::optional<double> pielou{};
    std::optional<double> pie{};
    std::optional<double> rarefactionRichness{};
    std::optional<std::int32_t> rarefactionSampleSize{};

    // Attribute-wise equality that also holds for NaN values with equal bits,
    // so that a record read back from a file compares equal to the one saved.
    bool sameAttributes(const Census &other) const;
};

// Display order of the collection table: by censusName ascending with regard
// to case, so "B" sorts before "a"; accented Latin letters sort with their
// base letter ("Étang" among the E's, compareNames). A collection without a
// name sorts before every named one; ties keep store order.
bool censusDisplayLess(const Census &a, const Census &b);

} // namespace quorvella
