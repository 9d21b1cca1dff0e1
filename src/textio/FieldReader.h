#pragma once

// The quote-aware reader that splits the two tabular import formats into rows
// and fields separated by commas (or, for tables written by spreadsheets in
// comma-decimal locales and by tools that write tab-separated text, by
// semicolons or tabs: see detectFieldSeparator). The validators and the parsers of both formats
// read through this one class, so a text is always split the same way.
//
// Rules: a run of line-end characters of any length and mix ends a row (blank
// lines are not rows); a double quote switches quoting on and off anywhere in
// a field and is not part of it; inside quoting, separators and line ends
// belong to the field and a doubled double quote stands for one; whitespace
// (other than the separator itself) is skipped only right after a separator;
// a quote left open at the end is no error.

#include "textio/NumberReader.h" // readPlainDigits

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvella {

// The separator a table is read with: a comma, unless the first row that holds
// text has no comma outside quotes (a comma between two digits is a decimal
// comma and does not count) but holds a tab (then tabs) or a semicolon (then
// semicolons). The whole text is read with the one separator found.
char detectFieldSeparator(std::string_view text);

enum class FieldEnd {
    Comma,     // a separator-ended field; more fields follow in the row
    LineEnd,   // the row-end field of a row ended by line-end characters
    EndOfText, // the row-end field of the last row
};

struct Field
{
    std::string_view text; // valid until the next call of next()
    FieldEnd end = FieldEnd::Comma;
    std::size_t column = 1; // 1 for the first field of a row
    std::size_t row = 1;    // 1 for the first row of the text

    bool isRowEnd() const { return end != FieldEnd::Comma; }
};

class FieldReader
{
public:
    explicit FieldReader(std::string_view text, char separator = ',');

    // Reads the next field into field; false when the text is exhausted.
    // Row-end fields are delivered also when empty: each format decides.
    bool next(Field &field);

    // The step of nearly every cell of a large table: when the next field is
    // one to nine plain digits ended by the separator, reads it exactly as
    // next() would and answers its value (its row and column were row() and
    // column() before the call); otherwise reads nothing and answers -1.
    std::int32_t nextPlainCount()
    {
        const char *const begin = text_.data() + pos_;
        const PlainDigits digits = readPlainDigits(begin, text_.data() + text_.size());
        if (digits.end == begin || digits.end == text_.data() + text_.size() ||
            *digits.end != separator_) {
            return -1;
        }
        pos_ += static_cast<std::size_t>(digits.end - begin) + 1;
        ++column_;
        skipWhitespaceAfterSeparator();
        return digits.value;
    }

    // Where the next field is: its row and column, counted from 1.
    std::size_t row() const { return row_; }
    std::size_t column() const { return column_; }

private:
    void appendToField(std::size_t from, std::size_t to);
    void appendToField(std::string_view piece);
    std::string_view currentField() const;
    std::size_t findDelimiter(std::size_t pos) const;
    void startField();
    bool finishRow(Field &field, FieldEnd end);
    bool finishCommaField(Field &field);
    bool readPlainField(Field &field);
    void skipWhitespaceAfterSeparator()
    {
        if (pos_ < text_.size() && whitespaceMayStartAt(pos_)) {
            skipWhitespaceRun();
        }
    }
    bool whitespaceMayStartAt(std::size_t pos) const
    {
        const auto byte = static_cast<unsigned char>(text_[pos]);
        return byte != static_cast<unsigned char>(separator_) &&
               (byte == ' ' || byte == '\t' || byte >= 0xC2);
    }
    void skipWhitespaceRun();

    std::string_view text_;
    char separator_;
    std::array<bool, 256> delimiterLeads_;
    std::size_t pos_ = 0;
    std::size_t row_ = 1;
    std::size_t column_ = 1;
    bool finished_ = false;
    // A field without quotes is a slice of the text; a field with quotes is
    // assembled in buffer_.
    std::size_t sliceBegin_ = 0;
    std::size_t sliceEnd_ = 0;
    bool buffered_ = false;
    std::string buffer_;
};

} // namespace quorvella
