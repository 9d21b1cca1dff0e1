#pragma once

// The taxa of a group as rows of bits over the sampling units, taxa with the
// same units merged into one pattern with a weight. The bootstrap variance
// needs, for every pair of taxa, the units that hold neither; over bit rows
// that is a popcount per word, and identical patterns (often the many taxa
// found in one collection only) share their pairs.

#include "analysis/IncidenceEstimators.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvella {

class IncidencePatterns
{
public:
    // Taxa present in no unit are left out. Throws std::invalid_argument for
    // an index outside the units.
    IncidencePatterns(std::size_t units, std::span<const IncidenceSet> taxa);

    std::size_t units() const { return units_; }
    std::size_t patternCount() const { return weights_.size(); }
    // Taxa sharing pattern p, and the units pattern p is present in.
    double weight(std::size_t p) const { return weights_[p]; }
    std::int32_t occurrences(std::size_t p) const { return occurrences_[p]; }
    // The first unit of pattern p (its only one when occurrences(p) == 1).
    std::size_t firstUnit(std::size_t p) const;

    // Sum over unordered pairs of distinct taxa k < l of (Z_kl / T)^T, Z_kl
    // the units holding neither k nor l. It takes time quadratic in the
    // patterns; cancel, when set, stops it with ComputationCancelled.
    double jointAbsencePairSum(const std::atomic<bool> *cancel = nullptr) const;

private:
    std::span<const std::uint64_t> row(std::size_t p) const;

    std::size_t units_;
    std::size_t words_;
    std::vector<std::uint64_t> bits_; // patternCount() rows of words_ words
    std::vector<double> weights_;
    std::vector<std::int32_t> occurrences_;
};

} // namespace quorvella
