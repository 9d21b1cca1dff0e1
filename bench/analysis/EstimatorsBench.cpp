// Speed of the group richness estimators, whose cost is the bootstrap
// variance's sum over pairs of taxa. Target on a 2-core machine:
//   GroupEstimatorsDense    1000 x 2000, every taxon in about half the
//                           collections (no two alike)                < 200 ms
//   GroupEstimatorsSparse   1000 x 2000, 100 000 presences            < 200 ms

#include "analysis/IncidenceEstimators.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <random>
#include <vector>

namespace quorvella {
namespace {

constexpr std::size_t kUnits = 1000;
constexpr std::size_t kTaxa = 2000;

// Each taxon present in each collection with the given chance.
std::vector<IncidenceSet> randomIncidence(double chance)
{
    std::mt19937_64 random(20240607);
    std::bernoulli_distribution present(chance);
    std::vector<IncidenceSet> taxa(kTaxa);
    for (IncidenceSet &taxon : taxa) {
        for (std::uint32_t unit = 0; unit < kUnits; ++unit) {
            if (present(random)) {
                taxon.push_back(unit);
            }
        }
        if (taxon.empty()) {
            taxon.push_back(static_cast<std::uint32_t>(random() % kUnits));
        }
    }
    return taxa;
}

void runEstimators(benchmark::State &state, const std::vector<IncidenceSet> &taxa)
{
    for (auto _ : state) {
        std::optional<IncidenceEstimates> estimates = estimateFromIncidence(kUnits, taxa, 1.96);
        benchmark::DoNotOptimize(estimates);
    }
}

void GroupEstimatorsDense(benchmark::State &state)
{
    runEstimators(state, randomIncidence(0.5));
}
BENCHMARK(GroupEstimatorsDense)->Unit(benchmark::kMillisecond);

void GroupEstimatorsSparse(benchmark::State &state)
{
    runEstimators(state, randomIncidence(0.05));
}
BENCHMARK(GroupEstimatorsSparse)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvella
