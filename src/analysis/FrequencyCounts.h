#pragma once

// Counts of counts: how many species were seen exactly k times (f_k for the
// specimens of one collection, Q_k for the collections of a group). The
// richness estimators read only these numbers.

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace quorvella {

class FrequencyCounts
{
public:
    // One entry per species; entries of 0 or less are species not observed.
    explicit FrequencyCounts(std::span<const std::int32_t> counts);

    // f_k: species observed exactly k times.
    double species(std::int64_t k) const;
    // S_obs: species observed at least once.
    double observed() const { return observed_; }
    // The sum of k f_k: specimens for abundances, incidences for a group.
    double total() const { return total_; }
    // (k, f_k) for every k with f_k > 0, ascending in k.
    const std::vector<std::pair<std::int32_t, double>> &classes() const { return classes_; }

private:
    std::vector<std::pair<std::int32_t, double>> classes_;
    double observed_ = 0.0;
    double total_ = 0.0;
};

} // namespace quorvella
