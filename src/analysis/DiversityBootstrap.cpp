#include "analysis/DiversityBootstrap.h"

#include "analysis/HillSample.h"

#include <algorithm>
#include <cmath>

namespace quorvella {
namespace {

__extension__ typedef unsigned __int128 Unsigned128;

// A probability as the threshold of a 64-bit uniform number.
std::uint64_t fixedPointThreshold(double probability)
{
    if (probability >= 1.0) {
        return UINT64_MAX;
    }
    return static_cast<std::uint64_t>(std::ldexp(probability, 64));
}

// Vose's alias method: threshold[i] and alias[i] such that drawing i
// uniformly and keeping it with probability threshold[i] (else alias[i])
// picks each index with its weight.
void buildAliasTable(std::span<const double> weights, std::vector<std::uint64_t> &threshold,
                     std::vector<std::uint32_t> &alias)
{
    const std::size_t k = weights.size();
    double total = 0.0;
    for (const double w : weights) {
        total += w;
    }
    threshold.assign(k, UINT64_MAX);
    alias.resize(k);
    std::vector<double> scaled(k);
    std::vector<std::uint32_t> small;
    std::vector<std::uint32_t> large;
    for (std::size_t i = 0; i < k; ++i) {
        scaled[i] = weights[i] * static_cast<double>(k) / total;
        alias[i] = static_cast<std::uint32_t>(i);
        (scaled[i] < 1.0 ? small : large).push_back(static_cast<std::uint32_t>(i));
    }
    while (!small.empty() && !large.empty()) {
        const std::uint32_t less = small.back();
        small.pop_back();
        const std::uint32_t more = large.back();
        large.pop_back();
        threshold[less] = fixedPointThreshold(scaled[less]);
        alias[less] = more;
        scaled[more] = (scaled[more] + scaled[less]) - 1.0;
        (scaled[more] < 1.0 ? small : large).push_back(more);
    }
}

// Calls onSuccess(position) for every success among `trials` independent
// trials of probability p, skipping the failures geometrically.
template <typename OnSuccess>
void bernoulliSuccesses(double trials, double p, Xoshiro256StarStar &random, OnSuccess onSuccess)
{
    if (p <= 0.0) {
        return;
    }
    if (p >= 1.0) {
        for (double position = 0.0; position < trials; position += 1.0) {
            onSuccess(position);
        }
        return;
    }
    const double logFailure = std::log1p(-p);
    for (double position = -1.0;;) {
        position += 1.0 + std::floor(std::log(random.uniformPositive()) / logFailure);
        if (!(position < trials)) {
            return;
        }
        onSuccess(position);
    }
}

// Appends the lengths of the runs of equal values of a sorted list.
void appendRunLengths(std::vector<std::uint64_t> &sorted, std::vector<std::int64_t> &out)
{
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j < sorted.size() && sorted[j] == sorted[i]) {
            ++j;
        }
        out.push_back(static_cast<std::int64_t>(j - i));
        i = j;
    }
}

} // namespace

BootstrapAssemblage::BootstrapAssemblage(const HillSample &sample,
                                         std::span<const std::int64_t> frequencies)
    : type_(sample.dataType()), N_(sample.referenceSize())
{
    const double n = static_cast<double>(N_);
    const double undetectedMass =
        static_cast<double>(sample.singletons()) / n * sample.undetectedCoverageFactor();
    const double f0 = sample.undetectedEstimate();
    double lambda = 0.0;
    if (f0 > 0.0) {
        double denominator = 0.0;
        for (const std::int64_t x : frequencies) {
            const double p = static_cast<double>(x) / n;
            denominator += p * std::pow(1.0 - p, n);
        }
        lambda = denominator > 0.0 ? undetectedMass / denominator : 0.0;
        undetectedSpecies_ = static_cast<std::uint64_t>(std::ceil(f0));
        undetectedProbability_ = undetectedMass / static_cast<double>(undetectedSpecies_);
    }
    for (const std::int64_t x : frequencies) {
        const double p = static_cast<double>(x) / n;
        detected_.push_back(std::max(0.0, p * (1.0 - lambda * std::pow(1.0 - p, n))));
    }
    if (type_ == DiversityDataType::Abundance) {
        std::vector<double> weights = detected_;
        if (undetectedSpecies_ > 0) {
            weights.push_back(undetectedMass);
        }
        buildAliasTable(weights, aliasThreshold_, alias_);
    }
}

std::vector<std::int64_t> BootstrapAssemblage::draw(Xoshiro256StarStar &random) const
{
    return type_ == DiversityDataType::Abundance ? drawAbundances(random) : drawIncidences(random);
}

std::vector<std::int64_t> BootstrapAssemblage::drawAbundances(Xoshiro256StarStar &random) const
{
    const std::size_t groups = aliasThreshold_.size();
    const std::size_t undetectedGroup = undetectedSpecies_ > 0 ? groups - 1 : groups;
    std::vector<std::int64_t> counts(groups, 0);
    std::vector<std::uint64_t> undetectedPicks;
    for (std::int64_t i = 0; i < N_; ++i) {
        // One 64-bit number gives both the column (its product with the
        // column count, high half) and the uniform fraction within it (low
        // half); the column's bias is below groups / 2^64.
        const Unsigned128 product = static_cast<Unsigned128>(random.next()) * groups;
        auto group = static_cast<std::size_t>(product >> 64);
        if (static_cast<std::uint64_t>(product) >= aliasThreshold_[group]) {
            group = alias_[group];
        }
        if (group == undetectedGroup) {
            undetectedPicks.push_back(random.below(undetectedSpecies_));
        } else {
            ++counts[group];
        }
    }
    std::vector<std::int64_t> frequencies;
    frequencies.reserve(groups + undetectedPicks.size());
    for (std::size_t i = 0; i < undetectedGroup; ++i) {
        if (counts[i] > 0) {
            frequencies.push_back(counts[i]);
        }
    }
    appendRunLengths(undetectedPicks, frequencies);
    return frequencies;
}

std::vector<std::int64_t> BootstrapAssemblage::drawIncidences(Xoshiro256StarStar &random) const
{
    const double units = static_cast<double>(N_);
    std::vector<std::int64_t> frequencies;
    for (const double p : detected_) {
        std::int64_t count = 0;
        bernoulliSuccesses(units, p, random, [&count](double) { ++count; });
        if (count > 0) {
            frequencies.push_back(count);
        }
    }
    // The undetected species' trials in a row, species after species.
    std::vector<std::uint64_t> species;
    bernoulliSuccesses(units * static_cast<double>(undetectedSpecies_), undetectedProbability_,
                       random, [&species, units](double position) {
                           species.push_back(static_cast<std::uint64_t>(position / units));
                       });
    appendRunLengths(species, frequencies);
    return frequencies;
}

} // namespace quorvella
