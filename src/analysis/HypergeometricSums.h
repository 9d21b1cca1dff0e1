#pragma once

// Sums over the hypergeometric distribution of K, the number of marked
// items among m drawn without replacement from N items of which x are
// marked: P(K = 0) and E[K ln K]. The weights follow the two-term
// recurrence h(k + 1) / h(k) = (x - k)(m - k) / ((k + 1)(N - x - m + k + 1)),
// walked outwards from the mode and normalised by their sum, so no
// factorial or exponential is formed; weights below 1e-19 of the mode's are
// left out, which changes no sum beyond its rounding.

#include <cstdint>
#include <span>

namespace quorvella {

struct HypergeometricSums
{
    double probabilityOfNone = 0; // P(K = 0)
    double meanKLogK = 0;         // E[K ln K]
};

// 0 <= x <= N, 0 <= m <= N; kLogK[k] = k ln k for every k up to min(x, m).
HypergeometricSums hypergeometricSums(std::int64_t N, std::int64_t x, std::int64_t m,
                                      std::span<const double> kLogK);

} // namespace quorvella
