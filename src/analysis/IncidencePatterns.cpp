#include "analysis/IncidencePatterns.h"

#include "analysis/Cancellation.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace quorvella {
namespace {

constexpr std::size_t kBits = 64;

std::int32_t countBits(std::span<const std::uint64_t> words)
{
    std::int32_t count = 0;
    for (const std::uint64_t word : words) {
        count += std::popcount(word);
    }
    return count;
}

// The processor's popcount instruction, where it has one, makes the pair
// loop several times faster than the portable bit counting; the loader
// picks the version once.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
#define QUORVELLA_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define QUORVELLA_POPCOUNT_CLONES
#endif

// Histogram of Z over all pairs of patterns a < b (weighted by both
// weights). The inner loop is the cost of the whole bootstrap. False when
// it stopped because `cancel` was set: it does not throw, as the compiler
// may take a function of several versions for one that cannot.
QUORVELLA_POPCOUNT_CLONES bool
countPairsBetweenPatterns(const std::uint64_t *bits, std::size_t words,
                          std::span<const double> weights,
                          std::span<const std::int32_t> occurrences, std::int64_t units,
                          std::vector<double> &pairsWithAbsence, const std::atomic<bool> *cancel)
{
    const std::size_t patterns = weights.size();
    for (std::size_t a = 0; a < patterns; ++a) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            return false; // a row takes well under a millisecond
        }
        const std::uint64_t *rowA = bits + a * words;
        const std::int64_t absentA = units - occurrences[a];
        for (std::size_t b = a + 1; b < patterns; ++b) {
            const std::uint64_t *rowB = bits + b * words;
            std::int64_t both = 0;
            for (std::size_t w = 0; w < words; ++w) {
                both += std::popcount(rowA[w] & rowB[w]);
            }
            const std::int64_t neither = absentA - occurrences[b] + both;
            pairsWithAbsence[static_cast<std::size_t>(neither)] += weights[a] * weights[b];
        }
    }
    return true;
}

} // namespace

IncidencePatterns::IncidencePatterns(std::size_t units, std::span<const IncidenceSet> taxa)
    : units_(units), words_((units + kBits - 1) / kBits)
{
    std::vector<std::uint64_t> rows(taxa.size() * words_, 0);
    std::vector<std::size_t> present;
    for (std::size_t t = 0; t < taxa.size(); ++t) {
        std::uint64_t *row = rows.data() + t * words_;
        for (const std::uint32_t unit : taxa[t]) {
            if (unit >= units) {
                throw std::invalid_argument("a taxon is present in a unit the group does not have");
            }
            row[unit / kBits] |= std::uint64_t{1} << (unit % kBits);
        }
        if (std::any_of(row, row + words_, [](std::uint64_t word) { return word != 0; })) {
            present.push_back(t);
        }
    }
    const auto rowOf = [&](std::size_t t) {
        return std::span<const std::uint64_t>(rows.data() + t * words_, words_);
    };
    const auto rowLess = [&](std::size_t a, std::size_t b) {
        const auto ra = rowOf(a);
        const auto rb = rowOf(b);
        return std::lexicographical_compare(ra.begin(), ra.end(), rb.begin(), rb.end());
    };
    std::sort(present.begin(), present.end(), rowLess);
    for (std::size_t i = 0; i < present.size(); ++i) {
        if (i > 0 && !rowLess(present[i - 1], present[i])) {
            weights_.back() += 1.0;
            continue;
        }
        const auto r = rowOf(present[i]);
        bits_.insert(bits_.end(), r.begin(), r.end());
        weights_.push_back(1.0);
        occurrences_.push_back(countBits(r));
    }
}

std::span<const std::uint64_t> IncidencePatterns::row(std::size_t p) const
{
    return {bits_.data() + p * words_, words_};
}

std::size_t IncidencePatterns::firstUnit(std::size_t p) const
{
    const auto r = row(p);
    for (std::size_t w = 0; w < r.size(); ++w) {
        if (r[w] != 0) {
            return w * kBits + static_cast<std::size_t>(std::countr_zero(r[w]));
        }
    }
    return units_;
}

double IncidencePatterns::jointAbsencePairSum(const std::atomic<bool> *cancel) const
{
    const auto units = static_cast<std::int64_t>(units_);
    std::vector<double> pairsWithAbsence(units_ + 1, 0.0);
    for (std::size_t p = 0; p < patternCount(); ++p) {
        // Taxa of one pattern: Z is the units the pattern misses.
        const double w = weights_[p];
        pairsWithAbsence[static_cast<std::size_t>(units - occurrences_[p])] += w * (w - 1.0) / 2.0;
    }
    if (!countPairsBetweenPatterns(bits_.data(), words_, weights_, occurrences_, units,
                                   pairsWithAbsence, cancel)) {
        throw ComputationCancelled();
    }
    const double t = static_cast<double>(units_);
    double sum = 0.0;
    for (std::size_t z = 0; z < pairsWithAbsence.size(); ++z) {
        if (pairsWithAbsence[z] != 0.0) {
            sum += pairsWithAbsence[z] * std::pow(static_cast<double>(z) / t, t);
        }
    }
    return sum;
}

} // namespace quorvella
