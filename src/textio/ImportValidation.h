#pragma once

// The checks every import text passes before anything is made from it. Each
// validator reads the whole text and answers valid, or the informative text of
// the first fault in reading order (see ImportMessages.h). They never change
// anything.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvella {

struct ValidationResult
{
    std::optional<std::string> fault; // the informative text of the first fault
    // Where the fault is, counted from 1: the row (blank lines are no rows)
    // and the field or number within it; 0 when the fault has no place.
    std::size_t row = 0;
    std::size_t field = 0;

    bool isValid() const { return !fault.has_value(); }
    static ValidationResult valid() { return {}; }
    static ValidationResult refused(std::string_view message, std::size_t row = 0,
                                    std::size_t field = 0)
    {
        ValidationResult result;
        result.fault = std::string(message);
        result.row = row;
        result.field = field;
        return result;
    }
};

enum class ImportFormat {
    AbundanceList,   // abundances of one collection, without names
    Collection,      // one collection: taxon name, comma, abundance per row
    CollectionGroup, // a header of species names, then one row per collection
};

// Numbers separated by runs of spaces, commas, tabs and line ends; each a
// whole number above zero. Only separators (or nothing) is valid.
ValidationResult validateAbundanceListFromString(std::string_view text);

// Rows of taxon name, comma, abundance; the abundance whole and above zero.
// A row that ends right after its comma passes.
ValidationResult validateCollectionFromString(std::string_view text);

// A header row (label, then species names), then rows of collection name and
// one whole abundance of zero or more per species.
ValidationResult validateCollectionGroupFromString(std::string_view text);

// What an import command checks: an empty text is refused with the empty-file
// text, any other text by the format's validator.
ValidationResult validateImportText(ImportFormat format, std::string_view text);

} // namespace quorvella
