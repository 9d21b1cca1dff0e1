#include "textio/FieldReader.h"

#include "textio/CharacterClasses.h"

#include <array>

namespace quorvella {
namespace {

// Bytes that may begin a delimiter: comma, double quote, the ASCII line ends,
// and the lead bytes of U+0085 (C2) and U+2028/U+2029 (E2).
constexpr std::array<bool, 256> makeDelimiterLeads()
{
    std::array<bool, 256> leads{};
    for (const char byte : {',', '"', '\n', '\v', '\f', '\r'}) {
        leads[static_cast<unsigned char>(byte)] = true;
    }
    leads[0xC2] = true;
    leads[0xE2] = true;
    return leads;
}

constexpr std::array<bool, 256> delimiterLeads = makeDelimiterLeads();

} // namespace

FieldReader::FieldReader(std::string_view text) : text_(text)
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
        if (!delimiterLeads[byte]) {
            continue;
        }
        if (byte == ',' || byte == '"' || lineEndLengthAt(text_, pos) > 0) {
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
        } else { // a comma
            ++pos_;
            if (!quoted) {
                return finishCommaField(field);
            }
            appendToField(",");
        }
    }
}

bool FieldReader::finishCommaField(Field &field)
{
    field.text = currentField();
    field.end = FieldEnd::Comma;
    field.column = column_;
    field.row = row_;
    ++column_;
    pos_ = skipWhitespace(text_, pos_);
    return true;
}

} // namespace quorvella
