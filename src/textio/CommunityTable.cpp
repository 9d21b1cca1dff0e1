#include "textio/CommunityTable.h"

#include "textio/CharacterClasses.h"
#include "textio/FieldReader.h"
#include "textio/ImportMessages.h" // maxImportedTaxa
#include "textio/NumberReader.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <limits>
#include <thread>

namespace quorvella {
namespace {

constexpr std::string_view countRule = "counts are whole numbers of 0 or more.";
constexpr std::string_view tooManyCounts =
    "the table holds more than 10 000 000 counts above zero, the most Quorvella imports at once "
    "(each becomes a taxon, and more could need more memory than a computer has).";

struct Line
{
    std::string_view text;
    std::size_t number = 0;
};

// Lines of the text with their numbers; CR LF is one line end.
class LineSplitter
{
public:
    explicit LineSplitter(std::string_view text, std::size_t linesBefore = 0)
        : text_(text), number_(linesBefore)
    {}

    bool next(Line &line)
    {
        if (pos_ >= text_.size()) {
            return false;
        }
        const std::size_t start = pos_;
        std::size_t end = start;
        std::size_t endLength = 0;
        for (; end < text_.size(); ++end) {
            const auto byte = static_cast<unsigned char>(text_[end]);
            // Tabs, the usual separator, are not line ends: ask only of
            // the bytes that may begin one.
            if (((byte >= '\n' && byte <= '\r') || byte == 0xC2 || byte == 0xE2) &&
                (endLength = lineEndLengthAt(text_, end)) > 0) {
                break;
            }
        }
        if (endLength == 1 && text_[end] == '\r' && end + 1 < text_.size() &&
            text_[end + 1] == '\n') {
            endLength = 2;
        }
        line = {text_.substr(start, end - start), ++number_};
        pos_ = end + endLength;
        return true;
    }

    // Where the next line begins.
    std::size_t position() const { return pos_; }
    // The number of the last line split off.
    std::size_t number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

// Fields are mostly a few bytes (counts): a plain loop beats a library
// search per field.
void splitFields(std::string_view line, char separator, std::vector<std::string_view> &fields)
{
    fields.clear();
    std::size_t start = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == separator) {
            fields.push_back(line.substr(start, at - start));
            start = at + 1;
        }
    }
    fields.push_back(line.substr(start));
}

bool isBlank(std::string_view line)
{
    return skipWhitespace(line, 0) == line.size();
}

std::string_view trimmed(std::string_view text)
{
    text.remove_prefix(skipWhitespace(text, 0));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

struct Count
{
    std::int32_t value = 0;
    std::optional<std::string> fault;
};

Count readCount(std::string_view cell)
{
    if (const std::optional<std::int32_t> plain = plainCount(cell)) {
        return {*plain, std::nullopt};
    }
    const std::string_view number = trimmed(cell);
    if (number.empty()) {
        return {}; // an empty cell counts as zero, as in the matrix
    }
    const std::optional<NumberToken> token = readNumber(number, 0);
    const std::string quotedCell = "\xE2\x80\x9C" + std::string(number) + "\xE2\x80\x9D";
    if (!token || token->length != number.size()) {
        return {0, quotedCell + " is not a count; " + std::string(countRule)};
    }
    if (token->value < 0.0f) {
        return {0, quotedCell + " is negative; " + std::string(countRule)};
    }
    if (!isWholeIn32Bits(token->value)) {
        return {0, quotedCell + " is not a whole number; " + std::string(countRule)};
    }
    return {integerValue(*token), std::nullopt};
}

// The table's lines after the comments: the header, then the data lines.
class TableReader
{
public:
    explicit TableReader(std::string_view text) : lines_(text) {}
    // The data lines of a part of a table whose header is read already.
    TableReader(std::string_view part, char separator, std::size_t linesBefore)
        : lines_(part, linesBefore), separator_(separator)
    {}

    std::optional<CommunityFault> readHeader()
    {
        Line line;
        while (lines_.next(line)) {
            if (isBlank(line.text)) {
                continue;
            }
            separator_ = detectFieldSeparator(line.text);
            const bool comment = line.text.front() == '#';
            if (comment && line.text.find(separator_) == std::string_view::npos) {
                continue;
            }
            headerLine_ = line.number;
            splitFields(comment ? line.text.substr(1) : line.text, separator_, header_);
            return std::nullopt;
        }
        return CommunityFault{line.number + 1, 1, "the table has no header line."};
    }

    bool nextDataLine(Line &line, std::vector<std::string_view> &fields)
    {
        while (lines_.next(line)) {
            if (!isBlank(line.text)) {
                splitFields(line.text, separator_, fields);
                return true;
            }
        }
        return false;
    }

    const std::vector<std::string_view> &header() const { return header_; }
    std::size_t headerLine() const { return headerLine_; }
    char separator() const { return separator_; }
    std::size_t position() const { return lines_.position(); }
    std::size_t lineNumber() const { return lines_.number(); }

private:
    LineSplitter lines_;
    char separator_ = '\t';
    std::size_t headerLine_ = 0;
    std::vector<std::string_view> header_;
};

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
            for (std::size_t c = 0; c < read.cells.size(); ++c) {
                std::vector<CommunityCell> &cells = to.cells[c];
                const std::size_t old = cells.size();
                cells.insert(cells.end(), read.cells[c].begin(), read.cells[c].end());
                for (std::size_t i = old; i < cells.size(); ++i) {
                    cells[i].taxon += static_cast<std::uint32_t>(rows);
                }
            }
        } else { // samples as rows: more collections of the same taxa
            moveAppend(to.collectionNames, read.collectionNames);
            moveAppend(to.cells, read.cells);
        }
        moveAppend(to.taxonNames, read.taxonNames);
    }

    CommunityCounts read;
    CountCollector counts{read};

private:
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
    DataLineReader(const DataLayout &layout, Counts &counts) : layout_(layout), counts_(counts) {}

    std::optional<CommunityFault> read(TableReader &reader, Line &line,
                                       std::vector<std::string_view> &fields, bool haveLine)
    {
        for (bool have = haveLine; have; have = reader.nextDataLine(line, fields), ++row_) {
            if (auto fault = readLine(line, fields)) {
                return fault;
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
        const bool taxaAsRows = layout_.options.taxaAsRows;
        const std::string_view rowName =
            layout_.options.namesFromTextColumn && taxaAsRows ? fields.back() : fields.front();
        if (taxaAsRows) {
            counts_.taxon(rowName);
        } else {
            counts_.collection(rowName);
        }
        for (std::size_t c = 0; c < layout_.countColumns; ++c) {
            const Count count = readCount(fields[c + 1]);
            if (count.fault) {
                return CommunityFault{line.number, c + 2, *count.fault};
            }
            if (count.value > 0 && ++taxa_ > importmessages::maxImportedTaxa) {
                return CommunityFault{line.number, c + 2, std::string(tooManyCounts)};
            }
            if (count.value > 0) {
                counts_.count(taxaAsRows ? c : row_, taxaAsRows ? row_ : c, count.value);
            }
        }
        return std::nullopt;
    }

    const DataLayout &layout_;
    Counts &counts_;
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
                const bool have = part.nextDataLine(line, fields);
                laterFault = laterLines.read(part, line, fields, have);
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
