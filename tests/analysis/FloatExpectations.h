#pragma once

// Comparisons for measures that may legitimately be infinity or not-a-number.

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace quorvella::testing {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// NaN matches NaN, infinities match exactly, numbers within a relative
// tolerance (absolute near zero).
inline ::testing::AssertionResult sameMeasure(double actual, double expected,
                                              double tolerance = 5e-6)
{
    const bool same = std::isnan(expected)   ? std::isnan(actual)
                      : std::isinf(expected) ? actual == expected
                                             : std::abs(actual - expected) <=
                                                   tolerance * std::max(1.0, std::abs(expected));
    if (same) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got " << actual << ", expected " << expected;
}

} // namespace quorvella::testing
