#include "textio/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quorvella {

namespace {

// The widest fixed double: 309 digits, sign, point and the decimals asked for.
constexpr std::size_t maxFixedDecimals = 60;
constexpr std::size_t fixedBufferSize = 320 + maxFixedDecimals;

const char *nonFiniteText(double value)
{
    if (std::isnan(value)) {
        return "nan";
    }
    return value > 0 ? "inf" : "-inf";
}

} // namespace

std::string integerText(std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string fixedText(double value, int decimals)
{
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    const int precision = decimals < 0 ? 0 : std::min(decimals, static_cast<int>(maxFixedDecimals));
    char digits[fixedBufferSize];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision);
    return std::string(digits, result.ptr);
}

std::string shortestText(double value)
{
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string hexText(std::uint64_t value, int minimumDigits)
{
    char digits[20];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, 16);
    std::string text(digits, result.ptr);
    for (char &c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (minimumDigits > 0 && text.size() < static_cast<std::size_t>(minimumDigits)) {
        text.insert(0, static_cast<std::size_t>(minimumDigits) - text.size(), '0');
    }
    return text;
}

std::string padLeft(std::string text, std::size_t width)
{
    if (text.size() < width) {
        text.insert(0, width - text.size(), ' ');
    }
    return text;
}

} // namespace quorvella
