#pragma once

// Numbers of the import formats: an optional sign, digits with an optional
// fraction after ".", and an optional exponent ("e" or "E", optional sign,
// digits). Read without any locale: "." is always the decimal mark.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvella {

struct NumberToken
{
    std::size_t length = 0; // bytes the notation covers
    float value = 0.0f;     // the value in single precision, as the validators judge it
    double exactValue = 0;  // the value in double precision, closer to what was written
};

// Reads the number that starts exactly at pos, as far as its notation extends,
// or nullopt when no number starts there. "12abc" reads as 12; "1e" as 1.
std::optional<NumberToken> readNumber(std::string_view text, std::size_t pos);

// Whether a single-precision value is whole: the value minus its floor is zero
// (so infinity is not whole).
bool isWhole(float value);

// Whether a value is whole once its floor is taken as a 32-bit signed integer
// and back: values of 2147483648 and more (or below -2147483648) are not.
bool isWholeIn32Bits(float value);

// The run of up to nine plain digits at the start of [begin, end), as nearly
// every cell of a table is: where it ends (begin when there is none) and its
// value. A tenth digit ends the run on a digit.
struct PlainDigits
{
    const char *end;
    std::int32_t value;
};

inline PlainDigits readPlainDigits(const char *begin, const char *end)
{
    const char *digit = begin;
    std::int32_t value = 0;
    while (digit != end && digit - begin < 9 && *digit >= '0' && *digit <= '9') {
        value = value * 10 + (*digit - '0');
        ++digit;
    }
    return {digit, value};
}

// A field of one to nine plain digits, as nearly every cell of a table is: its
// value, read without the general notation (which gives the same value).
inline std::optional<std::int32_t> plainCount(std::string_view field)
{
    const char *const end = field.data() + field.size();
    const PlainDigits digits = readPlainDigits(field.data(), end);
    if (digits.end == field.data() || digits.end != end) {
        return std::nullopt;
    }
    return digits.value;
}

// The value of a field: the number at its start after leading whitespace;
// 0 when the field does not begin with a number.
float fieldValue(std::string_view field);

// In a table read with semicolons or tabs, "1,5" is a number with a decimal
// comma, as a comma-decimal spreadsheet writes it: not whole ("1,0" is).
bool hasDecimalCommaFraction(std::string_view field);

// The abundance stored for a field or token, limited to 32 bits: the number as
// written when it is whole (so "1e2" is 100 and "5.0" is 5); otherwise the
// whole single-precision value the validators accepted; otherwise its integer
// part. Text that does not begin with a number gives 0.
std::int32_t integerValue(std::string_view field);

// The same for a number already read.
std::int32_t integerValue(const NumberToken &number);

} // namespace quorvella
