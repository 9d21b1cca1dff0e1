#include "textio/NumberReader.h"

#include "textio/CharacterClasses.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quorvella {
namespace {

bool isDigitAt(std::string_view text, std::size_t pos)
{
    return pos < text.size() && text[pos] >= '0' && text[pos] <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos)
{
    while (isDigitAt(text, pos)) {
        ++pos;
    }
    return pos;
}

// Where each part of a number's notation starts and ends.
struct Notation
{
    std::size_t begin = 0;       // the sign, or the first digit
    std::size_t mantissaEnd = 0; // end of digits and fraction
    std::size_t end = 0;         // end of the whole notation
    bool negative = false;
    bool plainDigits = false; // no fraction and no exponent
};

std::optional<Notation> scanNotation(std::string_view text, std::size_t pos)
{
    Notation notation;
    notation.begin = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        notation.negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t digitsBegin = pos;
    pos = skipDigits(text, pos);
    std::size_t digitCount = pos - digitsBegin;
    notation.plainDigits = true;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionEnd = skipDigits(text, pos + 1);
        digitCount += fractionEnd - (pos + 1);
        if (digitCount > 0) {
            pos = fractionEnd;
            notation.plainDigits = false;
        }
    }
    if (digitCount == 0) {
        return std::nullopt;
    }
    notation.mantissaEnd = pos;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        if (isDigitAt(text, exponent)) {
            pos = skipDigits(text, exponent);
            notation.plainDigits = false;
        }
    }
    notation.end = pos;
    return notation;
}

// Decimal order of magnitude of a mantissa and exponent too large or too small
// for from_chars: positive means overflow, negative means underflow.
long long magnitudeOrder(std::string_view unsignedNumber)
{
    long long order = 0;
    bool seenNonZero = false;
    bool inFraction = false;
    std::size_t pos = 0;
    for (; pos < unsignedNumber.size(); ++pos) {
        const char c = unsignedNumber[pos];
        if (c == '.') {
            inFraction = true;
        } else if (c == 'e' || c == 'E') {
            break;
        } else if (c != '0') {
            seenNonZero = true;
        } else if (!seenNonZero && inFraction) {
            --order;
        }
        if (seenNonZero && !inFraction && c >= '0' && c <= '9') {
            ++order;
        }
    }
    if (!seenNonZero) {
        return std::numeric_limits<long long>::min();
    }
    long long exponent = 0;
    bool exponentNegative = false;
    for (++pos; pos < unsignedNumber.size(); ++pos) {
        const char c = unsignedNumber[pos];
        if (c == '-' || c == '+') {
            exponentNegative = c == '-';
        } else if (exponent < 1'000'000'000) {
            exponent = exponent * 10 + (c - '0');
        }
    }
    return order + (exponentNegative ? -exponent : exponent);
}

template <typename Real> Real convert(std::string_view unsignedNumber)
{
    Real value{};
    const char *first = unsignedNumber.data();
    const auto [end, error] = std::from_chars(first, first + unsignedNumber.size(), value);
    if (error == std::errc::result_out_of_range) {
        return magnitudeOrder(unsignedNumber) > 0 ? std::numeric_limits<Real>::infinity() : Real{0};
    }
    return value;
}

std::int32_t clampTo32Bits(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

std::optional<NumberToken> readNumber(std::string_view text, std::size_t pos)
{
    const std::optional<Notation> notation = scanNotation(text, pos);
    if (!notation) {
        return std::nullopt;
    }
    NumberToken token;
    token.length = notation->end - notation->begin;
    const std::size_t unsignedBegin = notation->negative || text[pos] == '+' ? pos + 1 : pos;
    const std::string_view unsignedNumber =
        text.substr(unsignedBegin, notation->end - unsignedBegin);
    // Short runs of plain digits, nearly every abundance, need no general conversion.
    if (notation->plainDigits && unsignedNumber.size() <= 9) {
        std::int32_t digits = 0;
        for (const char c : unsignedNumber) {
            digits = digits * 10 + (c - '0');
        }
        token.exactValue = notation->negative ? -double(digits) : double(digits);
        token.value = static_cast<float>(token.exactValue);
        return token;
    }
    const float value = convert<float>(unsignedNumber);
    const double exactValue = convert<double>(unsignedNumber);
    token.value = notation->negative ? -value : value;
    token.exactValue = notation->negative ? -exactValue : exactValue;
    return token;
}

bool isWhole(float value)
{
    return value - std::floor(value) == 0.0f;
}

bool isWholeIn32Bits(float value)
{
    const float floor = std::floor(value);
    // The conversion of a float outside the 32-bit range is undefined; such a
    // value counts as not whole, as the matrix format describes.
    if (!(floor >= -2147483648.0f && floor < 2147483648.0f)) {
        return false;
    }
    const auto asInteger = static_cast<std::int32_t>(floor);
    return value - static_cast<float>(asInteger) == 0.0f;
}

float fieldValue(std::string_view field)
{
    if (const std::optional<std::int32_t> count = plainCount(field)) {
        return static_cast<float>(*count);
    }
    const std::optional<NumberToken> number = readNumber(field, skipWhitespace(field, 0));
    return number ? number->value : 0.0f;
}

bool hasDecimalCommaFraction(std::string_view field)
{
    const std::size_t start = skipWhitespace(field, 0);
    const std::optional<NumberToken> number = readNumber(field, start);
    std::size_t pos = start + (number ? number->length : 0);
    if (!number || pos >= field.size() || field[pos] != ',') {
        return false;
    }
    for (++pos; pos < field.size() && field[pos] >= '0' && field[pos] <= '9'; ++pos) {
        if (field[pos] != '0') {
            return true;
        }
    }
    return false;
}

std::int32_t integerValue(const NumberToken &number)
{
    if (number.exactValue == std::trunc(number.exactValue)) {
        return clampTo32Bits(number.exactValue);
    }
    if (isWhole(number.value)) {
        return clampTo32Bits(number.value);
    }
    return clampTo32Bits(std::trunc(number.exactValue));
}

std::int32_t integerValue(std::string_view field)
{
    if (const std::optional<std::int32_t> count = plainCount(field)) {
        return *count;
    }
    const std::optional<NumberToken> number = readNumber(field, skipWhitespace(field, 0));
    return number ? integerValue(*number) : 0;
}

} // namespace quorvella
