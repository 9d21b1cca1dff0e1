#include "analysis/HypergeometricSums.h"

#include <algorithm>
#include <cmath>

namespace quorvella {
namespace {

constexpr double kNegligibleWeight = 1e-19;

} // namespace

HypergeometricSums hypergeometricSums(std::int64_t N, std::int64_t x, std::int64_t m,
                                      std::span<const double> kLogK)
{
    const std::int64_t lowest = std::max<std::int64_t>(0, m - (N - x));
    const std::int64_t highest = std::min(x, m);
    const double modeEstimate = std::floor(static_cast<double>(m + 1) * static_cast<double>(x + 1) /
                                           static_cast<double>(N + 2));
    const std::int64_t mode = std::clamp(static_cast<std::int64_t>(modeEstimate), lowest, highest);

    const double xd = static_cast<double>(x);
    const double md = static_cast<double>(m);
    const double rest = static_cast<double>(N - x - m); // N - x - m + k + 1 at k - 1

    double sum = 1.0;
    double sumKLogK = kLogK[static_cast<std::size_t>(mode)];
    double weightOfNone = mode == 0 ? 1.0 : 0.0;

    double weight = 1.0;
    for (std::int64_t k = mode; k < highest && weight >= kNegligibleWeight; ++k) {
        const double kd = static_cast<double>(k);
        weight *= (xd - kd) * (md - kd) / ((kd + 1.0) * (rest + kd + 1.0));
        sum += weight;
        sumKLogK += weight * kLogK[static_cast<std::size_t>(k + 1)];
    }
    weight = 1.0;
    for (std::int64_t k = mode; k > lowest && weight >= kNegligibleWeight; --k) {
        const double kd = static_cast<double>(k);
        weight *= kd * (rest + kd) / ((xd - kd + 1.0) * (md - kd + 1.0));
        sum += weight;
        sumKLogK += weight * kLogK[static_cast<std::size_t>(k - 1)];
        if (k == 1) {
            weightOfNone = weight;
        }
    }
    return {weightOfNone / sum, sumKLogK / sum};
}

} // namespace quorvella
