// The community-table reader on any text, in both orientations, and its
// preview: a fault names a line and column from 1; a table read without a
// fault has only counts above zero; the two orientations refuse a table with
// the same fault or read the same cells, transposed; a fault the preview
// shows is the one the import reports; the data lines read in two parts on
// two threads give exactly what one reading gives; and the one-scan reading
// of the data lines gives what splitting every line into fields and reading
// each count gives.

#include "FuzzSupport.h"
#include "textio/CommunityLines.h"
#include "textio/CommunityTable.h"

#include <algorithm>
#include <limits>
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

bool sameCounts(const CommunityCounts &a, const CommunityCounts &b)
{
    const auto sameCells = [](const std::vector<CommunityCell> &x,
                              const std::vector<CommunityCell> &y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                          [](auto p, auto q) { return p.taxon == q.taxon && p.count == q.count; });
    };
    return sameFault(a.fault, b.fault) && a.collectionNames == b.collectionNames &&
           a.taxonNames == b.taxonNames && a.textColumn == b.textColumn &&
           std::equal(a.cells.begin(), a.cells.end(), b.cells.begin(), b.cells.end(), sameCells);
}

void requirePartsReadAsOne(std::string_view text, const CommunityOptions &options)
{
    constexpr std::size_t oneReading = std::numeric_limits<std::size_t>::max();
    fuzz::require(sameCounts(readCommunityCounts(text, options, 1),
                             readCommunityCounts(text, options, oneReading)),
                  "two parts read as one reading");
}

// The table split line by line as the preview shows it, every cell read on
// its own.
CommunityCounts readFieldByField(std::string_view text, const CommunityOptions &options)
{
    constexpr std::size_t all = std::numeric_limits<std::size_t>::max();
    CommunityPreview preview = previewCommunityTable(text, options, all, all);
    CommunityCounts counts;
    counts.fault = std::move(preview.fault);
    counts.textColumn = std::move(preview.textColumn);
    if (counts.fault || preview.rows.empty()) {
        return counts;
    }
    const std::vector<std::string> &header = preview.rows.front();
    auto &columnNames = options.taxaAsRows ? counts.collectionNames : counts.taxonNames;
    auto &rowNames = options.taxaAsRows ? counts.taxonNames : counts.collectionNames;
    columnNames.assign(header.begin() + 1, header.end());
    if (options.taxaAsRows) {
        counts.cells.resize(columnNames.size());
    }
    for (std::uint32_t r = 0; r + 1 < preview.rows.size(); ++r) {
        const std::vector<std::string> &row = preview.rows[r + 1];
        rowNames.push_back(row.front());
        if (!options.taxaAsRows) {
            counts.cells.emplace_back();
        }
        for (std::uint32_t c = 0; c + 1 < row.size(); ++c) {
            const community::Count count = community::readCount(row[c + 1]);
            fuzz::require(!count.fault, "a table read without a fault has no faulty count");
            if (count.value > 0) {
                counts.cells[options.taxaAsRows ? c : r].push_back(
                    {options.taxaAsRows ? r : c, count.value});
            }
        }
    }
    return counts;
}

void requireScanReadsAsFields(std::string_view text, const CommunityOptions &options)
{
    const CommunityCounts scanned = readCommunityCounts(text, options);
    if (!scanned.fault) {
        fuzz::require(sameCounts(scanned, readFieldByField(text, options)),
                      "the one-scan reading gives what the field-by-field reading gives");
    }
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
    requirePartsReadAsOne(text, {});
    requirePartsReadAsOne(text, {.taxaAsRows = false});
    requireScanReadsAsFields(text, {});
    requireScanReadsAsFields(text, {.taxaAsRows = false});
    requireScanReadsAsFields(text, byText);
    return 0;
}
