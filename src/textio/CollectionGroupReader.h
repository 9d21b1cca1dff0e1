#pragma once

// The one scan of a matrix text (ImportFormat::CollectionGroup): a header of
// species names, then a row per collection with its abundances. The
// validator, the parsers and the checked reading all run it, so a text is
// checked and read by the same steps. The cells of a table go through
// FieldReader's plain-count step, and a row's cells are held in one reused
// buffer: nothing is allocated per cell.

#include "textio/ImportValidation.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella {

// An abundance above zero and the header species it belongs to.
struct GroupCell
{
    std::uint32_t species; // index into GroupRow::speciesNames
    std::int32_t abundance;

    bool operator==(const GroupCell &) const = default;
};

// One collection as the scan hands it over; the views last for the call.
struct GroupRow
{
    std::string_view name;
    std::span<const GroupCell> cells; // the abundances above zero, in header order
    // The header's fields after the label, empty ones included (views into
    // the text: a header of millions of names is not copied).
    std::span<const std::string_view> speciesNames;
};

using GroupRowTaker = std::function<void(const GroupRow &)>;

// Checks and reads a matrix in one scan. Each row is handed to `take` as soon
// as it has been read and checked; the scan stops at the first fault, which
// it answers exactly as validateCollectionGroupFromString does (same text,
// row and field). The faulty row and the rows after it are not handed over.
ValidationResult readCollectionGroup(std::string_view text, const GroupRowTaker &take);

// The same, and for a text without a fault the header's species names that
// are not empty, in header order (as readCheckedCollectionGroup answers them).
ValidationResult readCollectionGroup(std::string_view text, const GroupRowTaker &take,
                                     std::vector<std::string> &completionNames);

// Reads without checking, for a text that was checked before (on any other
// text the rows are still sensible and nothing outside the text is read).
// Answers the header's species names that are not empty, in header order.
std::vector<std::string> readCheckedCollectionGroup(std::string_view text,
                                                    const GroupRowTaker &take);

} // namespace quorvella
