#pragma once

#include <bit>
#include <cstdint>
#include <optional>

namespace quorvella {

// Identity of stored numbers: the same bits, so NaN equals the same NaN and
// -0.0 differs from 0.0. Used wherever "did this value change" is asked.
inline bool sameValue(const std::optional<double> &a, const std::optional<double> &b)
{
    if (a.has_value() != b.has_value()) {
        return false;
    }
    return !a || std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

} // namespace quorvella
