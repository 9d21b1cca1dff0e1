#pragma once

// One taxon row as the analyses see it: plain values, no store records.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quorvella {

struct TaxonEntry
{
    // Absent when the row was never given a name (an empty text is a name).
    std::optional<std::string> name;
    // Absent when no count was entered; 0 is a count.
    std::optional<std::int32_t> abundance;
    // Only included taxa enter a single collection's measures.
    bool include = true;
    // Index into the group's collection list; absent for an orphaned taxon.
    std::optional<std::size_t> collection;
};

} // namespace quorvella
