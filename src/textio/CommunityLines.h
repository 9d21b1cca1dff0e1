#pragma once

// The line and field reading of community tables (CommunityTable.h): lines
// with their numbers, fields split by the table's separator, counts, and the
// one-scan reading of a data line as nearly every line of a large table is.

#include "textio/CommunityTable.h" // CommunityFault

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella::community {

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

    bool next(Line &line);

    // Steps over the line that begins at position(), read by other means;
    // `lineEnd` is where its line end (or the text) begins.
    void skipLine(std::size_t lineEnd)
    {
        pos_ = lineEnd + lineEndLength(lineEnd);
        ++number_;
    }

    std::string_view text() const { return text_; }
    // Where the next line begins.
    std::size_t position() const { return pos_; }
    // The number of the last line split off.
    std::size_t number() const { return number_; }

private:
    // The length of the line end at `at` (a line end or the end of the text).
    std::size_t lineEndLength(std::size_t at) const;

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

void splitFields(std::string_view line, char separator, std::vector<std::string_view> &fields);
bool isBlank(std::string_view line);
std::string_view trimmed(std::string_view text);

struct Count
{
    std::int32_t value = 0;
    std::optional<std::string> fault;
};

// A count cell: plain digits, or any number notation of a whole value of 0
// or more; an empty cell is zero.
Count readCount(std::string_view cell);

// The fault of a line of `fields` fields where the header has `expected`.
std::optional<CommunityFault> checkFieldCount(const Line &line, std::size_t fields,
                                              std::size_t expected);

// A data line's counts above zero, by column (0 for the first column of
// counts), and the fields that can name its row.
struct CountInColumn
{
    std::uint32_t column;
    std::int32_t count;
};

struct DataLine
{
    std::size_t number = 0;
    std::string_view first;
    std::string_view last; // the text column, when there is one
    std::vector<CountInColumn> counts;
};

// The columns of a data line after its first field.
struct LineShape
{
    std::size_t countColumns = 0;
    bool textColumn = false;
};

// The table's lines after the comments: the header, then the data lines.
class TableReader
{
public:
    explicit TableReader(std::string_view text) : lines_(text) {}
    // The data lines of a part of a table whose header is read already.
    TableReader(std::string_view part, char separator, std::size_t linesBefore);

    // Skips the comments and splits the header; a table without one is at
    // fault.
    std::optional<CommunityFault> readHeader();

    // The next line that is not blank, split into fields.
    bool nextDataLine(Line &line, std::vector<std::string_view> &fields);

    // Reads the next line in one scan when it is a data line as nearly all
    // are: not blank, as many fields as the header, every count readable,
    // at most maxCounts of them above zero. Otherwise (also at the end)
    // reads nothing and answers false: nextDataLine then reads the line by
    // the general steps, which find its fault or step over it.
    bool scanDataLine(const LineShape &shape, std::size_t maxCounts, DataLine &line);

    const std::vector<std::string_view> &header() const { return header_; }
    std::size_t headerLine() const { return headerLine_; }
    char separator() const { return separator_; }
    std::size_t position() const { return lines_.position(); }
    std::size_t lineNumber() const { return lines_.number(); }

private:
    void useSeparator(char separator);
    // Where the field at `at` ends: its separator, a line end or the end.
    const char *fieldEnd(const char *at) const;
    bool isSeparator(const char *at) const { return at != end_ && *at == separator_; }
    const char *countField(const char *at, bool endsLine, std::uint32_t column,
                           std::size_t maxCounts, DataLine &line) const;

    LineSplitter lines_;
    const char *begin_ = lines_.text().data();
    const char *end_ = begin_ + lines_.text().size();
    char separator_ = '\t';
    std::array<char, 8> zeroCells_{}; // four zeros, each with its separator
    // The bytes that may end a field: the separator, and the first bytes of
    // line ends.
    std::array<bool, 256> fieldEndLeads_{};
    std::size_t headerLine_ = 0;
    std::vector<std::string_view> header_;
};

} // namespace quorvella::community
