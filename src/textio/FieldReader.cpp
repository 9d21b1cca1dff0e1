#include "textio/FieldReader.h"

#include "textio/CharacterClasses.h"

#include <array>

namespace quorvella {
namespace {

// Bytes that may begin a delimiter: the separator, double quote, the ASCII
// line ends, and the lead bytes of U+0085 (C2) and U+2028/U+2029 (E2).
std::array<bool, 256> makeDelimiterLeads(char separator)
{
    std::array<bool, 256> leads{};
    for (const char byte : {separator, '"', '\n', '\v', '\f', '\r'}) {
        leads[static_cast<unsigned char>(byte)] = true;
    }
    leads[0xC2] = true;
    leads[0xE2] = true;
    return leads;
}

// Bytes that may begin whitespace: tab, space and the lead bytes of the
// Unicode space separators (U+00A0, U+1680, U+2000..U+205F, U+3000).
constexpr std::array<bool, 256> makeWhitespaceLeads()
{
    std::array<bool, 256> leads{};
    for (const std::size_t byte : {0x09u, 0x20u, 0xC2u, 0xE1u, 0xE2u, 0xE3u}) {
        leads[byte] = true;
    }
    return leads;
}

constexpr std::array<bool, 256> whitespaceLeads = makeWhitespaceLeads();

} // namespace

namespace {

bool isDigit(char byte)
{
    return byte >= '0' && byte <= '9';
}

// A comma between two digits, as in "6,2": a decimal comma, not a separator.
bool isDecimalCommaAt(std::string_view text, std::size_t pos)
{
    return pos > 0 && pos + 1 < text.size() && isDigit(text[pos - 1]) && isDigit(text[pos + 1]);
}

} // namespace

char detectFieldSeparator(std::string_view text)
{
    std::size_t pos = skipLineEnds(text, 0);
    bool quoted = false;
    bool tab = false;
    bool semicolon = false;
    for (; pos < text.size(); ++pos) {
        const char byte = text[pos];
        if (byte == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (byte == ',' && !isDecimalCommaAt(text, pos)) {
            return ',';
        } else if (lineEndLengthAt(text, pos) > 0) {
            break;
        } else {
            tab = tab || byte == '\t';
            semicolon = semicolon || byte == ';';
        }
    }
    return tab ? '\t' : semicolon ? ';' : ',';
}

FieldReader::FieldReader(std::string_view text, char separator)
    : text_(text), separator_(separator), delimiterLeads_(makeDelimiterLeads(separator))
{
    startField();
}

void FieldReader::startField()
{
    sliceBegin_ = sliceEnd_ = pos_;
    buffered_ = false;
    buffer_.clear();
}

void FieldReader::appendToField(std::size_t from, std::size_t to)
{
    if (!buffered_ && from == sliceEnd_) {
        sliceEnd_ = to;
        return;
    }
    appendToField(text_.substr(from, to - from));
}

void FieldReader::appendToField(std::string_view piece)
{
    if (!buffered_) {
        buffer_.assign(text_.substr(sliceBegin_, sliceEnd_ - sliceBegin_));
        buffered_ = true;
    }
    buffer_.append(piece);
}

std::string_view FieldReader::currentField() const
{
    return buffered_ ? std::string_view(buffer_)
                     : text_.substr(sliceBegin_, sliceEnd_ - sliceBegin_);
}

std::size_t FieldReader::findDelimiter(std::size_t pos) const
{
    for (; pos < text_.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(text_[pos]);
        if (!delimiterLeads_[byte]) {
            continue;
        }
        if (byte == separator_ || byte == '"' || lineEndLengthAt(text_, pos) > 0) {
            return pos;
        }
    }
    return text_.size();
}

bool FieldReader::finishRow(Field &field, FieldEnd end)
{
    field.text = currentField();
    field.end = end;
    field.column = column_;
    field.row = row_;
    ++row_;
    column_ = 1;
    if (pos_ >= text_.size()) {
        finished_ = true;
    }
    return true;
}

bool FieldReader::next(Field &field)
{
    if (finished_ || (column_ == 1 && pos_ >= text_.size())) {
        finished_ = true;
        return false;
    }
    if (readPlainField(field)) {
        return true;
    }
    startField();
    bool quoted = false;
    while (true) {
        const std::size_t delimiter = findDelimiter(pos_);
        appendToField(pos_, delimiter);
        pos_ = delimiter;
        if (pos_ >= text_.size()) {
            return finishRow(field, FieldEnd::EndOfText);
        }
        if (const std::size_t runEnd = skipLineEnds(text_, pos_); runEnd > pos_) {
            const std::size_t runBegin = pos_;
            pos_ = runEnd;
            if (!quoted) {
                return finishRow(field, FieldEnd::LineEnd);
            }
            appendToField(runBegin, runEnd);
        } else if (text_[pos_] == '"') {
            ++pos_;
            if (quoted && pos_ < text_.size() && text_[pos_] == '"') {
                ++pos_;
                appendToField("\"");
            } else {
                quoted = !quoted;
            }
        } else { // the separator
            ++pos_;
            if (!quoted) {
                return finishCommaField(field);
            }
            appendToField(text_.substr(pos_ - 1, 1));
        }
    }
}

// Nearly every field of a table is plain text ended by the separator: read
// it in one scan, without the general steps.
bool FieldReader::readPlainField(Field &field)
{
    const char *data = text_.data();
    std::size_t end = pos_;
    while (end < text_.size() && !delimiterLeads_[static_cast<unsigned char>(data[end])]) {
        ++end;
    }
    if (end >= text_.size() || data[end] != separator_) {
        return false;
    }
    sliceBegin_ = pos_;
    sliceEnd_ = end;
    buffered_ = false;
    pos_ = end + 1;
    return finishCommaField(field);
}

bool FieldReader::finishCommaField(Field &field)
{
    field.text = currentField();
    field.end = FieldEnd::Comma;
    field.column = column_;
    field.row = row_;
    ++column_;
    skipWhitespaceAfterSeparator();
    return true;
}

// Whitespace after a separator is skipped, but never a further separator:
// two tabs in a row enclose an empty field.
void FieldReader::skipWhitespaceRun()
{
    while (pos_ < text_.size() && text_[pos_] != separator_ &&
           whitespaceLeads[static_cast<unsigned char>(text_[pos_])]) {
        const std::size_t next = whitespaceLengthAt(text_, pos_);
        if (next == 0) {
            break;
        }
        pos_ += next;
    }
}

} // namespace quorvella
