#include "analysis/AbundanceClasses.h"

#include "analysis/LogFactorial.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace quorvella {
namespace {

// A cache of q over all x up to the largest pair sum pays off while it is not
// much larger than the number of class pairs it serves.
constexpr std::int64_t kMinCacheSize = 4096;

Rarefaction bandsFor(std::int32_t m, double expected, float variance)
{
    Rarefaction point;
    point.theSampleSize = m;
    point.theE = expected;
    // A variance that rounds below zero would make the bands not-a-number.
    if (variance < 0.0f) {
        variance = 0.0f;
    }
    point.theVar = variance;
    const double sd = std::sqrt(static_cast<double>(variance));
    point.upper95 = expected + 1.96 * sd;
    point.lower95 = std::max(static_cast<double>(static_cast<float>(expected - 1.96 * sd)), 1.0);
    point.upper99 = expected + 2.58 * sd;
    point.lower99 = std::max(static_cast<double>(static_cast<float>(expected - 2.58 * sd)), 1.0);
    return point;
}

} // namespace

AbundanceClasses::AbundanceClasses(std::span<const std::int64_t> counts, std::int64_t censusSize)
    : censusSize_(censusSize)
{
    std::map<std::int64_t, std::int64_t> countByValue;
    for (std::int64_t value : counts) {
        ++countByValue[value];
    }
    classes_.reserve(countByValue.size());
    for (const auto &[value, count] : countByValue) {
        classes_.push_back({value, static_cast<double>(count)});
        maxValue_ = std::max(maxValue_, value);
    }
}

Rarefaction AbundanceClasses::pointAt(std::int32_t m)
{
    const Sums sums = sumsAt(m);
    const auto variance = static_cast<float>(sums.variance());
    return bandsFor(m, sums.expected, variance);
}

AbundanceClasses::Sums AbundanceClasses::sumsAt(std::int64_t m)
{
    prepareCache(m);
    Sums sums;
    for (std::size_t d = 0; d < classes_.size(); ++d) {
        const Class &own = classes_[d];
        const double qd = absentProbability(own.value);
        sums.expected += own.count * (1.0 - qd);
        sums.withinSpecies += own.count * ((1.0 - qd) * qd);
        const double samePairs = own.count * (own.count - 1.0) / 2.0;
        if (samePairs > 0.0) {
            sums.betweenPairs += samePairs * (absentProbability(2 * own.value) - qd * qd);
        }
        for (std::size_t e = 0; e < d; ++e) {
            const Class &other = classes_[e];
            const double qe = absentProbability(other.value);
            const double qde = absentProbability(own.value + other.value);
            sums.betweenPairs += own.count * other.count * (qde - qd * qe);
        }
    }
    return sums;
}

void AbundanceClasses::prepareCache(std::int64_t m)
{
    logfact_ = logFactorialTable().data();
    m_ = m;
    const std::int64_t n = censusSize_;
    if (n - m >= 0) {
        logAllSubsamples_ = logfact_[n] - logfact_[m] - logfact_[n - m];
    }
    const auto pairs = static_cast<std::int64_t>(classes_.size() * classes_.size());
    const std::int64_t largestNeeded = std::min(2 * maxValue_, n - m);
    const std::int64_t size = largestNeeded + 1;
    if (size > 0 && size <= std::max(kMinCacheSize, 4 * pairs)) {
        cache_.assign(static_cast<std::size_t>(size), std::numeric_limits<double>::quiet_NaN());
    } else {
        cache_.clear();
    }
}

// q(x) = C(N - x, m) / C(N, m), evaluated exactly as fact() does.
double AbundanceClasses::absentProbability(std::int64_t x)
{
    const std::int64_t n = censusSize_;
    if (n - x < m_) {
        return 0.0;
    }
    const bool cached = static_cast<std::size_t>(x) < cache_.size();
    if (cached && !std::isnan(cache_[static_cast<std::size_t>(x)])) {
        return cache_[static_cast<std::size_t>(x)];
    }
    const double logSubsamplesMissing = logfact_[n - x] - logfact_[m_] - logfact_[n - x - m_];
    const double q = std::exp(logSubsamplesMissing - logAllSubsamples_);
    if (cached) {
        cache_[static_cast<std::size_t>(x)] = q;
    }
    return q;
}

} // namespace quorvella
