#pragma once

// The record-making half of the imports: plain values from a text that its
// validator has accepted, read with the same rules (ImportValidation.h).
//
// Abundances are the whole numbers the validator accepted ("1e2" is 100,
// "5.0" is 5), limited to the 32-bit range. The parsers trust their caller's
// check and never fail; on a text that was not validated they still answer
// sensible values and read nothing outside the text.

#include "textio/ImportedCollection.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quorvella {

// The collection name every abundance-list and one-collection import gets.
inline constexpr std::string_view importedCollectionName = "imported census";
// The abundance-list entries are named "unnamed species 1", "unnamed species
// 2", ... in list order: distinct names, so that the group analyses count them
// as distinct species.
inline constexpr std::string_view unnamedSpeciesName = "unnamed species";
std::string unnamedSpeciesNameFor(std::size_t serial);

// One collection "imported census" with one taxon per number, named by
// unnamedSpeciesNameFor(1, 2, ...).
ImportedCollection parseAbundanceList(std::string_view text);

// The same reading, handing each abundance to `take` in list order without
// holding the list.
void readAbundanceList(std::string_view text, const std::function<void(std::int32_t)> &take);

// One collection "imported census" with one taxon per row that has an
// abundance. A field out of place (a row that is not name, comma, abundance;
// never in a validated text) writes the log line "error in
// addCollectionToMOCFromString in MyDocument" and the reading goes on.
ImportedCollection parseCollection(std::string_view text);

// One collection per row after the header, each with a taxon per abundance
// above zero, named by the header; and the header's species names.
ImportedCollectionGroup parseCollectionGroup(std::string_view text);

// The same reading, handing each collection to `take` as soon as its row has
// been read (the value is reused for the next row), so that a large matrix is
// never held whole beside its records. Returns the completion names.
std::vector<std::string>
parseCollectionGroup(std::string_view text,
                     const std::function<void(const ImportedCollection &)> &take);

} // namespace quorvella
