#include "analysis/FrequencyCounts.h"

#include <algorithm>

namespace quorvella {

FrequencyCounts::FrequencyCounts(std::span<const std::int32_t> counts)
{
    std::vector<std::int32_t> sorted;
    sorted.reserve(counts.size());
    std::copy_if(counts.begin(), counts.end(), std::back_inserter(sorted),
                 [](std::int32_t count) { return count > 0; });
    std::sort(sorted.begin(), sorted.end());
    for (const std::int32_t count : sorted) {
        if (classes_.empty() || classes_.back().first != count) {
            classes_.emplace_back(count, 0.0);
        }
        classes_.back().second += 1.0;
        total_ += count;
    }
    observed_ = static_cast<double>(sorted.size());
}

double FrequencyCounts::species(std::int64_t k) const
{
    const auto found = std::lower_bound(classes_.begin(), classes_.end(), k,
                                        [](const std::pair<std::int32_t, double> &entry,
                                           std::int64_t value) { return entry.first < value; });
    return found != classes_.end() && found->first == k ? found->second : 0.0;
}

} // namespace quorvella
