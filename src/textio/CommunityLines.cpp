#include "textio/CommunityLines.h"

#include "textio/CharacterClasses.h"
#include "textio/FieldReader.h" // detectFieldSeparator
#include "textio/NumberReader.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace quorvella::community {
namespace {

constexpr std::string_view countRule = "counts are whole numbers of 0 or more.";

// Bytes that may begin a line end (U+000A..U+000D, U+0085, U+2028, U+2029):
// tabs, the usual separator, and digits are none of them.
bool mayBeginLineEnd(unsigned char byte)
{
    return (byte >= '\n' && byte <= '\r') || byte == 0xC2 || byte == 0xE2;
}

} // namespace

bool LineSplitter::next(Line &line)
{
    if (pos_ >= text_.size()) {
        return false;
    }
    std::size_t end = pos_;
    while (end < text_.size() && !(mayBeginLineEnd(static_cast<unsigned char>(text_[end])) &&
                                   lineEndLengthAt(text_, end) > 0)) {
        ++end;
    }
    line = {text_.substr(pos_, end - pos_), number_ + 1};
    skipLine(end);
    return true;
}

std::size_t LineSplitter::lineEndLength(std::size_t at) const
{
    const std::size_t length = lineEndLengthAt(text_, at);
    const bool crlf =
        length == 1 && text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n';
    return crlf ? 2 : length;
}

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

TableReader::TableReader(std::string_view part, char separator, std::size_t linesBefore)
    : lines_(part, linesBefore)
{
    useSeparator(separator);
}

void TableReader::useSeparator(char separator)
{
    separator_ = separator;
    zeroCells_ = {'0', separator, '0', separator, '0', separator, '0', separator};
    for (int byte = 0; byte < 256; ++byte) {
        fieldEndLeads_[static_cast<std::size_t>(byte)] =
            byte == static_cast<unsigned char>(separator) ||
            mayBeginLineEnd(static_cast<unsigned char>(byte));
    }
}

std::optional<CommunityFault> TableReader::readHeader()
{
    Line line;
    while (lines_.next(line)) {
        if (isBlank(line.text)) {
            continue;
        }
        useSeparator(detectFieldSeparator(line.text));
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

bool TableReader::nextDataLine(Line &line, std::vector<std::string_view> &fields)
{
    while (lines_.next(line)) {
        if (!isBlank(line.text)) {
            splitFields(line.text, separator_, fields);
            return true;
        }
    }
    return false;
}

const char *TableReader::fieldEnd(const char *at) const
{
    for (; at != end_; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        if (fieldEndLeads_[byte] &&
            (*at == separator_ || lineEndLengthAt(lines_.text(), std::size_t(at - begin_)) > 0)) {
            break;
        }
    }
    return at;
}

// The counts' usual form, plain digits ended by the separator, is read in
// the step that finds the field's end; any other field is found first and
// read as readCount reads it. Where the next field begins, or null when the
// line has fewer or more fields than the header, the count cannot be read or
// it is one more above zero than maxCounts allows.
const char *TableReader::countField(const char *at, bool endsLine, std::uint32_t column,
                                    std::size_t maxCounts, DataLine &line) const
{
    const PlainDigits digits = readPlainDigits(at, end_);
    std::int32_t count = digits.value;
    if (digits.end != at && isSeparator(digits.end) && !endsLine) {
        at = digits.end + 1;
    } else {
        const char *end = fieldEnd(at);
        if (isSeparator(end) == endsLine) {
            return nullptr;
        }
        if (digits.end == at || digits.end != end) {
            Count read = readCount({at, end});
            if (read.fault) {
                return nullptr;
            }
            count = read.value;
        }
        at = endsLine ? end : end + 1;
    }
    if (count > 0) {
        if (line.counts.size() == maxCounts) {
            return nullptr;
        }
        line.counts.push_back({column, count});
    }
    return at;
}

bool TableReader::scanDataLine(const LineShape &shape, std::size_t maxCounts, DataLine &line)
{
    const std::size_t start = lines_.position();
    const char *at = begin_ + start;
    if (at == end_ || skipWhitespace(lines_.text(), start) != start) {
        return false; // the end, or a line that may be blank
    }
    const char *firstEnd = fieldEnd(at);
    if (!isSeparator(firstEnd)) {
        return false; // one field only
    }
    line.first = {at, firstEnd};
    at = firstEnd + 1;
    line.counts.clear();
    // Every count but the last of a line without a text column ends with
    // the separator.
    const std::size_t separated = shape.countColumns - (shape.textColumn ? 0 : 1);
    std::uint32_t column = 0;
    // Most cells of a large table are zeros, which make no taxa: they are
    // stepped over four at a time, or one at a time.
    for (; column < separated; ++column) {
        if (column + 4 <= separated && end_ - at >= 8 &&
            std::memcmp(at, zeroCells_.data(), 8) == 0) {
            at += 8;
            column += 3;
        } else if (end_ - at >= 2 && std::memcmp(at, zeroCells_.data(), 2) == 0) {
            at += 2;
        } else if (!(at = countField(at, false, column, maxCounts, line))) {
            return false;
        }
    }
    if (column < shape.countColumns && !(at = countField(at, true, column, maxCounts, line))) {
        return false;
    }
    if (shape.textColumn) {
        const char *end = fieldEnd(at);
        if (isSeparator(end)) {
            return false;
        }
        line.last = {at, end};
        at = end;
    }
    lines_.skipLine(std::size_t(at - begin_));
    line.number = lines_.number();
    return true;
}

} // namespace quorvella::community
