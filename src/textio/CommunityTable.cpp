#include "textio/CommunityTable.h"

#include "textio/CommunityLines.h"
#include "textio/ImportMessages.h" // maxImportedTaxa
#include "textio/NumberReader.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <limits>
#include <thread>

namespace quorvella {
namespace {

using namespace community;

constexpr std::string_view tooManyCounts =
    "the table holds more than 10 000 000 counts above zero, the most Quorvella imports at once "
    "(each becomes a taxon, and more could need more memory than a computer has).";

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

std::optional<CommunityFault> checkFieldCount(const Line &line, std::size_t fields,
                                              std::size_t expected)
{
    if (fields == expected) {
        return std::nullopt;
    }
    return CommunityFault{line.number, std::min(fields, expected) + 1,
                          "the line has " + std::to_string(fields) +
                              " fields, but the header has " + std::to_string(expected) + "."};
}

} // namespace

std::string CommunityFault::message() const
{
    return "Line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + reason;
}

namespace {

// What both readings of the data lines agree on: the header's field count
// and columns.
struct DataLayout
{
    std::size_t headerFields = 0;
    std::size_t countColumns = 0;
    CommunityOptions options;
};

// Keeps every name and count of a table.
class CountCollector
{
public:
    explicit CountCollector(CommunityCounts &counts) : counts_(counts) {}

    void collection(std::string_view name)
    {
        counts_.collectionNames.emplace_back(name);
        counts_.cells.emplace_back();
    }
    void taxon(std::string_view name) { counts_.taxonNames.emplace_back(name); }
    // A count above zero of the given collection and taxon (by number).
    void count(std::size_t collection, std::size_t taxon, std::int32_t value)
    {
        counts_.cells[collection].push_back({static_cast<std::uint32_t>(taxon), value});
    }

    CommunityCounts &read() { return counts_; }

private:
    CommunityCounts &counts_;
};

// Keeps nothing: the check alone.
struct NoCounts
{
    void collection(std::string_view) {}
    void taxon(std::string_view) {}
    void count(std::size_t, std::size_t, std::int32_t) {}
};

// The later part of a table's data lines, read on its own: rows numbered
// from 0 and appended after the earlier part's.
template <typename Counts> struct LaterPart;

template <> struct LaterPart<NoCounts>
{
    explicit LaterPart(const DataLayout &) {}
    void appendTo(NoCounts &, std::size_t) {}
    NoCounts counts;
};

template <> struct LaterPart<CountCollector>
{
    // With taxa as rows, every collection is there from the start.
    explicit LaterPart(const DataLayout &layout)
    {
        if (layout.options.taxaAsRows) {
            read.cells.resize(layout.countColumns);
        }
    }

    // After the `rows` data lines of the earlier part.
    void appendTo(CountCollector &earlier, std::size_t rows)
    {
        CommunityCounts &to = earlier.read();
        if (read.collectionNames.empty()) { // taxa as rows: each collection grows
            growInTwoHalves(to.cells, static_cast<std::uint32_t>(rows));
        } else { // samples as rows: more collections of the same taxa
            moveAppend(to.collectionNames, read.collectionNames);
            moveAppend(to.cells, read.cells);
        }
        moveAppend(to.taxonNames, read.taxonNames);
    }

    CommunityCounts read;
    CountCollector counts{read};

private:
    // The import waits for this step: the new cells' memory is most of its
    // cost, so each thread grows half of the collections.
    void growInTwoHalves(std::vector<std::vector<CommunityCell>> &cells, std::uint32_t rows)
    {
        const std::size_t count = read.cells.size(); // none when the part had no data line
        const std::size_t half = count / 2;
        std::exception_ptr failure;
        {
            std::jthread upper([&] {
                try {
                    grow(cells, rows, half, count);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
            grow(cells, rows, 0, half);
        } // joined
        if (failure) {
            std::rethrow_exception(failure);
        }
    }

    // The collections [from, to) get this part's cells, numbered on.
    void grow(std::vector<std::vector<CommunityCell>> &cells, std::uint32_t rows, std::size_t from,
              std::size_t to)
    {
        for (std::size_t c = from; c < to; ++c) {
            std::vector<CommunityCell> &grown = cells[c];
            const std::size_t old = grown.size();
            grown.insert(grown.end(), read.cells[c].begin(), read.cells[c].end());
            for (std::size_t i = old; i < grown.size(); ++i) {
                grown[i].taxon += rows;
            }
            std::vector<CommunityCell>().swap(read.cells[c]); // freed on this thread too
        }
    }

    template <typename T> static void moveAppend(std::vector<T> &to, std::vector<T> &from)
    {
        to.insert(to.end(), std::make_move_iterator(from.begin()),
                  std::make_move_iterator(from.end()));
    }
};

// The data lines of a table or of a part of one, counted from the first one
// the part holds; the first fault ends the reading.
template <typename Counts> class DataLineReader
{
public:
    DataLineReader(const DataLayout &layout, Counts &counts)
        : layout_(layout), counts_(counts), shape_{layout.countColumns,
                                                   layout.headerFields > layout.countColumns + 1}
    {
        line_.counts.reserve(layout.countColumns);
    }

    // From the data line split already, if there is one, to the end. Nearly
    // every line is read in one scan; the others, and the first fault, take
    // the general steps.
    std::optional<CommunityFault> read(TableReader &reader, Line &line,
                                       std::vector<std::string_view> &fields, bool haveLine)
    {
        for (bool have = haveLine; have; have = reader.nextDataLine(line, fields)) {
            if (auto fault = readLine(line, fields)) {
                return fault;
            }
            while (reader.scanDataLine(shape_, importmessages::maxImportedTaxa - taxa_, line_)) {
                take(line_);
            }
        }
        return std::nullopt;
    }

    std::size_t rows() const { return row_; }
    std::size_t taxa() const { return taxa_; }

private:
    std::optional<CommunityFault> readLine(const Line &line,
                                           const std::vector<std::string_view> &fields)
    {
        if (auto fault = checkFieldCount(line, fields.size(), layout_.headerFields)) {
            return fault;
        }
        line_.counts.clear();
        for (std::uint32_t c = 0; c < layout_.countColumns; ++c) {
            const Count count = readCount(fields[c + 1]);
            if (count.fault) {
                return CommunityFault{line.number, c + 2, *count.fault};
            }
            if (count.value > 0 && taxa_ + line_.counts.size() == importmessages::maxImportedTaxa) {
                return CommunityFault{line.number, c + 2, std::string(tooManyCounts)};
            }
            if (count.value > 0) {
                line_.counts.push_back({c, count.value});
            }
        }
        line_.first = fields.front();
        line_.last = fields.back();
        take(line_);
        return std::nullopt;
    }

    void take(const DataLine &line)
    {
        const bool taxaAsRows = layout_.options.taxaAsRows;
        if (taxaAsRows) {
            counts_.taxon(layout_.options.namesFromTextColumn ? line.last : line.first);
            for (const CountInColumn &count : line.counts) {
                counts_.count(count.column, row_, count.count);
            }
        } else {
            counts_.collection(line.first);
            for (const CountInColumn &count : line.counts) {
                counts_.count(row_, count.column, count.count);
            }
        }
        taxa_ += line.counts.size();
        ++row_;
    }

    const DataLayout &layout_;
    Counts &counts_;
    const LineShape shape_;
    DataLine line_; // reused: its counts are allocated once
    std::size_t row_ = 0;
    std::size_t taxa_ = 0; // counts above zero
};

// The first '\n' at or after the middle of text[from, end), plus one: a
// line always ends there, so the two sides split into the same lines as the
// whole. 0 when there is none.
std::size_t middleLineStart(std::string_view text, std::size_t from)
{
    const std::size_t end = text.find('\n', from + (text.size() - from) / 2);
    return end == std::string_view::npos || end + 1 >= text.size() ? 0 : end + 1;
}

// The one reading of a table: the header, then its data lines. Data lines
// of partBytes or more are read in two parts on two threads, the later part
// into counts of its own that are appended to the earlier ones; a part read
// alone cannot know where its lines are or how many counts came before, so
// a fault in the later part is found again by reading the table as one.
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
    const std::size_t rest = reader.position();
    const std::size_t split = text.size() - rest >= partBytes ? middleLineStart(text, rest) : 0;
    if (split == 0) {
        return lines.read(reader, start.line, start.fields, start.haveLine);
    }
    LaterPart<Counts> later(layout);
    std::optional<CommunityFault> laterFault;
    std::size_t laterTaxa = 0;
    std::exception_ptr laterFailure;
    std::optional<CommunityFault> fault;
    {
        std::jthread laterReading([&] {
            try {
                TableReader part(text.substr(split), reader.separator(), 0);
                DataLineReader<Counts> laterLines(layout, later.counts);
                Line line;
                std::vector<std::string_view> fields;
                laterFault = laterLines.read(part, line, fields, part.nextDataLine(line, fields));
                laterTaxa = laterLines.taxa();
            } catch (...) {
                laterFailure = std::current_exception();
            }
        });
        TableReader part(text.substr(rest, split - rest), reader.separator(), reader.lineNumber());
        fault = lines.read(part, start.line, start.fields, start.haveLine);
    } // joined
    if (fault) {
        return fault;
    }
    if (laterFailure) {
        std::rethrow_exception(laterFailure);
    }
    if (laterFault || lines.taxa() + laterTaxa > importmessages::maxImportedTaxa) {
        NoCounts none;
        std::optional<std::string> ignored;
        return readCounts(text, options, ignored, none, std::numeric_limits<std::size_t>::max());
    }
    later.appendTo(counts, lines.rows());
    return std::nullopt;
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
