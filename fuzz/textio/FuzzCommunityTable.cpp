// The community-table reader on any text, in both orientations, and its
// preview: a fault names a line and column from 1; a table read without a
// fault has only counts above zero; the two orientations refuse a table with
// the same fault or read the same cells, transposed; a fault the preview
// shows is the one the import reports.

#include "FuzzSupport.h"
#include "textio/CommunityTable.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace quorvella;

namespace {

using Cell = std::tuple<std::string, std::string, std::int32_t>; // row, column, count

std::vector<Cell> cellsOf(const CommunityReadResult &read, bool transposed)
{
    std::vector<Cell> cells;
    for (const ImportedCollection &collection : read.group.collections) {
        for (const ImportedTaxon &taxon : collection.taxa) {
            fuzz::require(taxon.abundance > 0, "a zero count makes no taxon");
            cells.emplace_back(transposed ? collection.name : taxon.name,
                               transposed ? taxon.name : collection.name, taxon.abundance);
        }
    }
    std::sort(cells.begin(), cells.end());
    return cells;
}

bool sameFault(const std::optional<CommunityFault> &a, const std::optional<CommunityFault> &b)
{
    return a.has_value() == b.has_value() &&
           (!a || (a->line == b->line && a->column == b->column && a->reason == b->reason));
}

void requirePlace(const std::optional<CommunityFault> &fault)
{
    fuzz::require(!fault || (fault->line >= 1 && fault->column >= 1 && !fault->reason.empty()),
                  "a fault names its line and column");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const CommunityReadResult taxaAsRows = readCommunityTable(text, {});
    const CommunityReadResult samplesAsRows = readCommunityTable(text, {.taxaAsRows = false});
    requirePlace(taxaAsRows.fault);
    fuzz::require(sameFault(taxaAsRows.fault, samplesAsRows.fault),
                  "both orientations refuse a table with the same fault");
    if (!taxaAsRows.fault) {
        fuzz::require(cellsOf(taxaAsRows, false) == cellsOf(samplesAsRows, true),
                      "both orientations read the same cells");
    }
    const CommunityOptions byText{.taxaAsRows = true, .namesFromTextColumn = true};
    const CommunityReadResult named = readCommunityTable(text, byText);
    requirePlace(named.fault);
    const CommunityPreview preview = previewCommunityTable(text, byText, 5, 5);
    requirePlace(preview.fault);
    fuzz::require(!preview.fault || sameFault(preview.fault, named.fault),
                  "the fault the preview shows is the import's");
    fuzz::require(preview.rows.size() <= 5, "the preview keeps to its rows");
    return 0;
}
