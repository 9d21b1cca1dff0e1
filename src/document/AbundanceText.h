#pragma once

// The text a user types into an abundance cell.

#include <QString>
#include <cstdint>
#include <optional>

namespace quorvella {

struct ParsedAbundance
{
    bool valid = false;
    std::optional<std::int32_t> value; // absent: the cell was left empty
};

// Accepts a whole number 0..2147483647 written with the digits 0-9 (spaces
// around it are ignored), or empty text for "no abundance". Signs, fractions,
// exponents and other digits are refused.
ParsedAbundance parseAbundance(const QString &text);

} // namespace quorvella
