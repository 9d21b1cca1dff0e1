#pragma once

// Plain values made from a validated import text. The store turns them into
// Census and Taxon records; nothing here knows of records.

#include <cstdint>
#include <string>
#include <vector>

namespace quorvella {

// One taxon row of an import. Every format gives each imported taxon a value.
struct ImportedTaxon
{
    std::string name;
    std::int32_t abundance = 0;

    bool operator==(const ImportedTaxon &) const = default;
};

// One collection of an import, its taxa in reading order.
struct ImportedCollection
{
    std::string name;
    std::vector<ImportedTaxon> taxa;

    bool operator==(const ImportedCollection &) const = default;
};

// The result of a collection-group import.
struct ImportedCollectionGroup
{
    // One collection per row after the header, in row order; the taxa of
    // each in header order, one per abundance above zero.
    std::vector<ImportedCollection> collections;
    // The species names of the header, in header order, for the name
    // completion list: without the header's first field (the label of the
    // name column, which names no species) and without empty fields.
    std::vector<std::string> completionNames;

    bool operator==(const ImportedCollectionGroup &) const = default;
};

} // namespace quorvella
