#include "analysis/EcoCollection.h"

#include "analysis/AbundanceClasses.h"
#include "analysis/Cancellation.h"
#include "analysis/LogFactorial.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace quorvella {
namespace {

// Truncates like a float-to-int conversion, but saturates where that would
// overflow.
std::int32_t truncateToInt32(float value)
{
    constexpr float kTwoTo31 = 2147483648.0f;
    if (value >= kTwoTo31) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < -kTwoTo31) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

void checkSampleSize(std::int32_t m)
{
    if (m < 0) {
        throw std::invalid_argument("The rarefaction sample size must be 0 or more; it is " +
                                    std::to_string(m) + ".");
    }
}

} // namespace

EcoCollection::EcoCollection(std::vector<std::string> names, std::vector<std::int32_t> abundances)
    : names_(std::move(names)), abundances_(std::move(abundances))
{}

EcoCollection EcoCollection::initWithTaxonArray(std::span<const TaxonEntry> taxa)
{
    std::vector<std::string> names;
    std::vector<std::int32_t> abundances;
    for (const TaxonEntry &taxon : taxa) {
        if (!taxon.abundance || !taxon.include) {
            continue;
        }
        names.push_back(taxon.name.value_or(std::string()));
        abundances.push_back(*taxon.abundance);
    }
    return EcoCollection(std::move(names), std::move(abundances));
}

EcoCollection EcoCollection::initFromAbundanceArray(std::vector<std::int32_t> abundances)
{
    return EcoCollection({}, std::move(abundances));
}

std::int32_t EcoCollection::richness() const
{
    if (!richness_) {
        std::int32_t count = 0;
        for (std::int32_t abundance : abundances_) {
            count += abundance > 0 ? 1 : 0;
        }
        richness_ = count;
    }
    return *richness_;
}

std::int32_t EcoCollection::censusSize() const
{
    if (!censusSize_) {
        std::int32_t total = 0;
        for (std::int32_t abundance : abundances_) {
            total = truncateToInt32(static_cast<float>(abundance) + static_cast<float>(total));
        }
        censusSize_ = total;
    }
    return *censusSize_;
}

// Sum of p ln p over the entries with p > 0, rounded to single precision at
// each step.
float EcoCollection::shannonAccumulator() const
{
    const auto n = static_cast<float>(censusSize());
    float sum = 0.0f;
    for (std::int32_t abundance : abundances_) {
        const float p = static_cast<float>(abundance) / n;
        if (p > 0.0f) {
            sum = static_cast<float>(sum + p * std::log(static_cast<double>(p)));
        }
    }
    return sum;
}

float EcoCollection::shannonH() const
{
    if (!shannonH_) {
        shannonH_ = -shannonAccumulator();
    }
    return *shannonH_;
}

float EcoCollection::buzasGibsonE() const
{
    const double s = static_cast<float>(richness());
    return static_cast<float>(std::exp(static_cast<double>(shannonH())) / s);
}

float EcoCollection::chao1() const
{
    float singletons = 0.0f;
    float doubletons = 0.0f;
    for (std::int32_t abundance : abundances_) {
        const auto value = static_cast<float>(abundance);
        singletons += value == 1.0f ? 1.0f : 0.0f;
        doubletons += value == 2.0f ? 1.0f : 0.0f;
    }
    return static_cast<float>(richness()) + (singletons * singletons) / (doubletons * 2.0f);
}

float EcoCollection::simpsonD() const
{
    const std::int32_t n = censusSize();
    const auto nf = static_cast<float>(n);
    float sum = 0.0f;
    for (std::int32_t abundance : abundances_) {
        const float p = static_cast<float>(abundance) / nf;
        sum += (1.0f - p) * p;
    }
    const auto nMinusOne = static_cast<float>(static_cast<std::int64_t>(n) - 1);
    return (nf * sum) / nMinusOne;
}

float EcoCollection::pielouJ() const
{
    const double h = -shannonAccumulator();
    return static_cast<float>(h / std::log(static_cast<double>(richness())));
}

float EcoCollection::petersEss() const
{
    const auto n = static_cast<float>(censusSize());
    const auto evenShare = static_cast<float>(1.0 / static_cast<double>(richness()));
    float sum = 0.0f;
    for (std::int32_t abundance : abundances_) {
        const float p = static_cast<float>(abundance) / n;
        const float departure = p - evenShare;
        sum += departure * departure;
    }
    return static_cast<float>(1.0 - static_cast<double>(sum));
}

float EcoCollection::hurlbertPIE() const
{
    const auto n = static_cast<float>(censusSize());
    float sum = 0.0f;
    for (std::int32_t abundance : abundances_) {
        const float p = static_cast<float>(abundance) / n;
        sum += p * p;
    }
    return 1.0f - sum;
}

// The species present (entries above 0) grouped by count, with the table
// grown to the census size before any read. Beyond the limit the
// single-precision census size is no longer exact, so rarefaction refuses.
AbundanceClasses EcoCollection::rarefactionClasses(const std::atomic<bool> *cancel) const
{
    std::vector<std::int64_t> counts;
    std::int64_t specimens = 0;
    for (std::int32_t abundance : abundances_) {
        if (abundance > 0) {
            counts.push_back(abundance);
            specimens += abundance;
        }
    }
    const std::int64_t largest = std::max<std::int64_t>(specimens, censusSize());
    if (largest > kMaxRarefactionCensusSize) {
        throw std::invalid_argument("Rarefaction handles collections of up to " +
                                    std::to_string(kMaxRarefactionCensusSize) +
                                    " specimens; this one holds " + std::to_string(largest) + ".");
    }
    ensureLogFactorialCovers(std::max<std::int64_t>(censusSize(), 0), cancel);
    return AbundanceClasses(counts, censusSize());
}

Rarefaction EcoCollection::individualBasedRarefactionToSampleSize(std::int32_t m) const
{
    checkSampleSize(m);
    return rarefactionClasses().pointAt(m);
}

std::vector<Rarefaction>
EcoCollection::individualBasedRarefactionCurve(const std::atomic<bool> *cancel) const
{
    std::vector<Rarefaction> curve;
    const std::int32_t n = censusSize();
    if (n <= 0) {
        return curve;
    }
    AbundanceClasses classes = rarefactionClasses(cancel);
    const auto pointAt = [&](std::int32_t size) {
        stopIfCancelled(cancel);
        curve.push_back(classes.pointAt(size));
    };
    const std::int32_t step = n <= 100 ? 1 : n / 100;
    if (step > 1) {
        pointAt(1);
    }
    for (std::int32_t size = step; size <= n; size += step) {
        pointAt(size);
    }
    if (n % step != 0) {
        pointAt(n);
    }
    return curve;
}

} // namespace quorvella
