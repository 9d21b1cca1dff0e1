// Speed of the Hill-number estimates with q = 0, 1, 2, 40 knots up to twice
// the reference size and B = 50 bootstrap replicates. Targets on a 2-core
// machine:
//   HillNumbersBciSized       n ~ 21 000, S ~ 225                 <= 50 ms
//   HillNumbersLargeSample    n = 250 000                          <= 500 ms
//   HillNumbersSixtyLarge     60 samples of n = 250 000, 2 threads <= 10 s
// Samples are multinomial draws from log-normal communities, made with the
// library's own generator and a fixed seed, so every run times the same data.

#include "analysis/DiversityRandom.h"
#include "analysis/HillNumbers.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <vector>

namespace quorvella {
namespace {

constexpr std::uint64_t kSeed = 20240607;

// n individuals drawn from `species` species whose weights are log-normal
// with log-scale spread sigma.
DiversitySample logNormalSample(std::uint64_t seed, int species, double sigma, std::int64_t n)
{
    Xoshiro256StarStar random(seed);
    std::vector<double> cumulative;
    double total = 0.0;
    for (int i = 0; i < species; ++i) {
        // Box-Muller: one standard normal from two uniforms.
        const double z = std::sqrt(-2.0 * std::log(random.uniformPositive())) *
                         std::cos(2.0 * std::numbers::pi * random.uniform());
        total += std::exp(sigma * z);
        cumulative.push_back(total);
    }
    std::vector<std::int64_t> counts(static_cast<std::size_t>(species), 0);
    for (std::int64_t i = 0; i < n; ++i) {
        const auto drawn =
            std::lower_bound(cumulative.begin(), cumulative.end(), random.uniform() * total) -
            cumulative.begin();
        ++counts[std::min(static_cast<std::size_t>(drawn), counts.size() - 1)];
    }
    DiversitySample sample;
    sample.name = "sample " + std::to_string(seed);
    sample.frequencies = std::move(counts);
    return sample;
}

void report(benchmark::State &state, const DiversitySample &sample)
{
    std::int64_t n = 0;
    std::int64_t observed = 0;
    for (const std::int64_t x : sample.frequencies) {
        n += x;
        observed += x > 0 ? 1 : 0;
    }
    state.counters["n"] = static_cast<double>(n);
    state.counters["S"] = static_cast<double>(observed);
}

void HillNumbersBciSized(benchmark::State &state)
{
    const DiversitySample sample = logNormalSample(kSeed, 300, 2.0, 21457);
    const DiversityOptions options; // q = 0, 1, 2; 40 knots; B = 50
    for (auto _ : state) {
        benchmark::DoNotOptimize(estimateDiversity(sample, options));
    }
    report(state, sample);
}
BENCHMARK(HillNumbersBciSized)->Unit(benchmark::kMillisecond)->UseRealTime();

void HillNumbersLargeSample(benchmark::State &state)
{
    const DiversitySample sample = logNormalSample(kSeed, 2000, 2.0, 250000);
    const DiversityOptions options;
    for (auto _ : state) {
        benchmark::DoNotOptimize(estimateDiversity(sample, options));
    }
    report(state, sample);
}
BENCHMARK(HillNumbersLargeSample)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same work on one thread: its CPU time is the figure to halve for two
// cores when the machine is busy with other work.
void HillNumbersLargeSampleOneThread(benchmark::State &state)
{
    const DiversitySample sample = logNormalSample(kSeed, 2000, 2.0, 250000);
    const DiversityOptions options;
    for (auto _ : state) {
        benchmark::DoNotOptimize(estimateDiversity(sample, options, 1));
    }
    report(state, sample);
}
BENCHMARK(HillNumbersLargeSampleOneThread)->Unit(benchmark::kMillisecond);

void HillNumbersSixtyLarge(benchmark::State &state)
{
    std::vector<DiversitySample> samples;
    for (std::uint64_t i = 0; i < 60; ++i) {
        samples.push_back(logNormalSample(kSeed + i, 2000, 2.0, 250000));
    }
    const DiversityOptions options;
    DiversityRunControl control;
    control.threads = 2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(estimateDiversityOfAll(samples, options, control));
    }
    state.counters["samples"] = static_cast<double>(samples.size());
}
BENCHMARK(HillNumbersSixtyLarge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
} // namespace quorvella
