#include "textio/CommunityTable.h"

#include "textio/CommunityDataLines.h"
#include "textio/CommunityLines.h"
#include "textio/CommunityParts.h"
#include "textio/NumberReader.h"

#include <algorithm>

namespace quorvella {
namespace {

using namespace community;

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

bool isTextColumn(const std::vector<std::string_view> &header,
                  const std::vector<std::string_view> *firstData)
{
    if (header.size() < 3) {
        return false;
    }
    if (equalsIgnoringAsciiCase(trimmed(header.back()), "taxonomy")) {
        return true;
    }
    // Text there, not a number (a faulty count such as "-2" is not text).
    const std::string_view cell = firstData && firstData->size() == header.size()
                                      ? trimmed(firstData->back())
                                      : std::string_view();
    return !cell.empty() && !readNumber(cell, 0);
}

// What every reading shares: the header, the text column and the first line.
struct TableStart
{
    std::optional<CommunityFault> fault;
    std::optional<std::string> textColumn;
    std::size_t countColumns = 0;
    bool haveLine = false;
    Line line;
    std::vector<std::string_view> fields;
};

TableStart startTable(TableReader &reader, const CommunityOptions &options)
{
    TableStart start;
    if ((start.fault = reader.readHeader())) {
        return start;
    }
    const std::vector<std::string_view> &header = reader.header();
    start.haveLine = reader.nextDataLine(start.line, start.fields);
    const bool textColumn = isTextColumn(header, start.haveLine ? &start.fields : nullptr);
    if (textColumn) {
        start.textColumn = std::string(header.back());
    }
    start.countColumns = header.size() - 1 - (textColumn ? 1 : 0);
    if (start.countColumns == 0) {
        start.fault = CommunityFault{reader.headerLine(), 2,
                                     "the header names no columns of counts. Quorvella reads "
                                     "fields separated by tabs, commas or semicolons."};
    } else if (options.namesFromTextColumn && !textColumn) {
        start.fault = CommunityFault{reader.headerLine(), header.size(),
                                     "the table has no text column to name the taxa by."};
    }
    return start;
}

} // namespace

std::string CommunityFault::message() const
{
    return "Line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + reason;
}

namespace {

// The one reading of a table: the header, then its data lines, as one or
// in two parts (CommunityParts.h).
template <typename Counts>
std::optional<CommunityFault> readCounts(std::string_view text, const CommunityOptions &options,
                                         std::optional<std::string> &textColumn, Counts &counts,
                                         std::size_t partBytes)
{
    TableReader reader(text);
    TableStart start = startTable(reader, options);
    if (start.fault) {
        return std::move(start.fault);
    }
    textColumn = std::move(start.textColumn);
    const std::vector<std::string_view> &header = reader.header();
    for (std::size_t c = 0; c < start.countColumns; ++c) {
        if (options.taxaAsRows) {
            counts.collection(header[c + 1]);
        } else {
            counts.taxon(header[c + 1]);
        }
    }
    const DataLayout layout{header.size(), start.countColumns, options};
    DataLineReader<Counts> lines(layout, counts);
    const std::size_t split = laterPartStart(text, reader.position(), partBytes);
    if (split == 0) {
        return lines.read(reader, start.line, start.fields, start.haveLine);
    }
    return readInTwoParts(text, split, reader, lines, start.line, start.fields, start.haveLine);
}

} // namespace

CommunityCounts readCommunityCounts(std::string_view text, const CommunityOptions &options,
                                    std::size_t partBytes)
{
    CommunityCounts counts;
    CountCollector collector(counts);
    if (std::optional<CommunityFault> fault =
            readCounts(text, options, counts.textColumn, collector, partBytes)) {
        return {std::move(fault), {}, {}, {}, std::nullopt};
    }
    return counts;
}

std::optional<CommunityFault>
checkCommunityTable(std::string_view text, const CommunityOptions &options, std::size_t partBytes)
{
    std::optional<std::string> textColumn;
    NoCounts none;
    return readCounts(text, options, textColumn, none, partBytes);
}

CommunityReadResult readCommunityTable(std::string_view text, const CommunityOptions &options)
{
    CommunityCounts counts = readCommunityCounts(text, options);
    CommunityReadResult result{std::move(counts.fault), {}, std::move(counts.textColumn)};
    std::vector<ImportedCollection> &collections = result.group.collections;
    collections.reserve(counts.collectionNames.size());
    for (std::size_t c = 0; c < counts.collectionNames.size(); ++c) {
        ImportedCollection &collection =
            collections.emplace_back(ImportedCollection{std::move(counts.collectionNames[c]), {}});
        for (const CommunityCell &cell : counts.cells[c]) {
            collection.taxa.push_back({counts.taxonNames[cell.taxon], cell.count});
        }
    }
    result.group.completionNames = std::move(counts.taxonNames);
    return result;
}

CommunityPreview previewCommunityTable(std::string_view text, const CommunityOptions &options,
                                       std::size_t maxRows, std::size_t maxColumns)
{
    CommunityPreview preview;
    TableReader reader(text);
    TableStart start = startTable(reader, options);
    preview.fault = std::move(start.fault);
    preview.textColumn = start.textColumn;
    if (reader.header().empty() || maxRows == 0) {
        return preview;
    }
    const auto addRow = [&](const std::vector<std::string_view> &fields, bool isHeader) {
        std::vector<std::string> row;
        const bool nameFromText = options.namesFromTextColumn && start.textColumn && !isHeader;
        row.emplace_back(nameFromText && !fields.empty() ? fields.back() : fields.front());
        for (std::size_t c = 1;
             c <= start.countColumns && c < fields.size() && row.size() < maxColumns; ++c) {
            row.emplace_back(fields[c]);
        }
        preview.rows.push_back(std::move(row));
    };
    addRow(reader.header(), true);
    // The first fault ends the preview: it is the one the import reports.
    for (bool have = start.haveLine; have && !preview.fault && preview.rows.size() < maxRows;
         have = reader.nextDataLine(start.line, start.fields)) {
        addRow(start.fields, false);
        if (auto fault = checkFieldCount(start.line, start.fields.size(), reader.header().size())) {
            preview.fault = std::move(fault);
            break;
        }
        for (std::size_t c = 0; c < start.countColumns; ++c) {
            if (const Count count = readCount(start.fields[c + 1]); count.fault) {
                preview.fault = CommunityFault{start.line.number, c + 2, *count.fault};
                break;
            }
        }
    }
    return preview;
}

} // namespace quorvella
