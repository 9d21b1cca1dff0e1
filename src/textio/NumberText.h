#pragma once

// Numbers as the product's texts write them (exports, tables, JSON, command
// line output, messages), the same under every locale: the C library's
// printf family follows the locale the application sets, so a comma-decimal
// locale would turn 1.500 into 1,500 and split a comma-separated cell in two.
// Everything here is built on std::to_chars, which never reads the locale.

#include <cstdint>
#include <string>

namespace quorvella {

// "-12", "2147483647".
std::string integerText(std::int64_t value);

// Fixed notation with the given number of decimals ("%.3f" in the C locale):
// "1.500", "0", "inf", "-inf"; every not-a-number is "nan", whatever its sign
// bit (0/0 sets it), so no text holds "-nan".
std::string fixedText(double value, int decimals);

// The shortest text that reads back as the same double ("0.1", "1e+300");
// not-a-number and the infinities as in fixedText.
std::string shortestText(double value);

// Upper-case hexadecimal with at least the given number of digits: "0A", "00E9".
std::string hexText(std::uint64_t value, int minimumDigits);

// The text right-aligned in a field of at least the given width (a wider text
// keeps all of it), like "%8d" and "%8.3f".
std::string padLeft(std::string text, std::size_t width);

} // namespace quorvella
