#pragma once

// Tab-separated text of table rows, as spreadsheets paste it into cells: one
// line per row ended by "\n", fields separated by tabs. A field holding a
// tab, a line end, a double quote, a comma or a semicolon is quoted (a double
// quote inside doubled), so that spreadsheets and this program's own import
// readers take it as one field whatever separator they settle on. Numbers
// are written without locale.

#include "textio/CsvExport.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvella {

// One species-table row: the taxon's name and abundance (absent: empty cell).
struct SpeciesRow
{
    std::string name;
    std::optional<std::int32_t> abundance;
};

// "name<TAB>abundance\n" per row.
std::string speciesRowsToTabText(std::span<const SpeciesRow> rows);

// A header line naming the columns of the metrics table, then per collection
// its name and stored measures (richness and census size as integers, the
// others fixed with six decimals as exported); a measure not computed yet is
// an empty cell.
std::string metricsRowsToTabText(std::span<const CollectionMetricsRow> rows);

// Appends one field, quoted when it needs it.
void appendTabField(std::string &text, std::string_view field);

} // namespace quorvella
