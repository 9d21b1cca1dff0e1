#pragma once

// One collection in memory: the abundances of its counted taxa with the nine
// diversity measures and individual-based rarefaction.
//
// The measures follow fixed single-precision steps so that every build gives
// the same digits; divisions by zero give IEEE infinity or not-a-number,
// which are results, not errors. The three caches are filled on first use;
// the lists never change after construction.

#include "analysis/Rarefaction.h"
#include "analysis/TaxonEntry.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvella {

class AbundanceClasses;

class EcoCollection
{
public:
    // Largest census size rarefaction accepts (the single-precision census
    // size is exact up to here; see LogFactorial.h).
    static constexpr std::int32_t kMaxRarefactionCensusSize = 1 << 24;

    // A collection always comes from data: there is no empty constructor.
    EcoCollection() = delete;

    // Counts every taxon that has an abundance (0 included) and is included,
    // in the given order. A counted taxon without a name is kept under an
    // empty name: its specimens belong in every measure.
    static EcoCollection initWithTaxonArray(std::span<const TaxonEntry> taxa);
    // Every entry, zeros included, in order; no names.
    static EcoCollection initFromAbundanceArray(std::vector<std::int32_t> abundances);

    // Parallel lists: names() is empty for a collection built from abundances.
    const std::vector<std::string> &names() const { return names_; }
    const std::vector<std::int32_t> &abundances() const { return abundances_; }

    // S: the entries greater than zero.
    std::int32_t richness() const;
    // N: the entries summed in single precision, truncated after each step.
    // Saturates at the 32-bit limits instead of overflowing.
    std::int32_t censusSize() const;
    float shannonH() const;
    float buzasGibsonE() const;
    float chao1() const;
    float simpsonD() const;
    float pielouJ() const;
    float petersEss() const;
    float hurlbertPIE() const;

    // Expected richness of a random subsample of m specimens with its
    // variance and bands. Throws std::invalid_argument (with a message fit
    // for the user) for m < 0 or a census size above
    // kMaxRarefactionCensusSize.
    Rarefaction individualBasedRarefactionToSampleSize(std::int32_t m) const;
    // Points at 1, every N/100 specimens (every one up to N = 199) and N.
    // Empty for a collection without specimens. Throws like the above, and
    // ComputationCancelled (analysis/Cancellation.h) between points once
    // `cancel` is set.
    std::vector<Rarefaction>
    individualBasedRarefactionCurve(const std::atomic<bool> *cancel = nullptr) const;

private:
    EcoCollection(std::vector<std::string> names, std::vector<std::int32_t> abundances);

    float shannonAccumulator() const;
    AbundanceClasses rarefactionClasses(const std::atomic<bool> *cancel = nullptr) const;

    std::vector<std::string> names_;
    std::vector<std::int32_t> abundances_;
    mutable std::optional<std::int32_t> richness_;
    mutable std::optional<std::int32_t> censusSize_;
    mutable std::optional<float> shannonH_;
};

} // namespace quorvella
