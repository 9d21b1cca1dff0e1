// Speed of the rarefaction curves and the group tables on data of the size
// ecologists bring. Targets on a 2-core machine:
//   IndividualCurveLogSeries   S = 2000, N ~ 32000            < 20 ms
//   PooledCurve                50 x 225 group, N ~ 21000       < 5 ms
//   GroupMatrixChao2Curve      1000 x 2000, 100 000 entries    < 200 ms

#include "analysis/EcoCollection.h"
#include "analysis/EcoCollectionGroup.h"
#include "analysis/LogFactorial.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace quorvella {
namespace {

constexpr std::uint64_t kSeed = 20240607;

// Uniform in (0, 1) from the raw generator, the same on every platform.
double uniform(std::mt19937_64 &random)
{
    return (static_cast<double>(random() >> 11) + 0.5) / 9007199254740992.0;
}

// The log-series parameter x whose mean abundance is meanAbundance.
double logSeriesParameter(double meanAbundance)
{
    double low = 1e-9;
    double high = 1.0 - 1e-12;
    for (int i = 0; i < 200; ++i) {
        const double x = (low + high) / 2.0;
        const double mean = x / ((1.0 - x) * -std::log(1.0 - x));
        (mean < meanAbundance ? low : high) = x;
    }
    return (low + high) / 2.0;
}

// One draw from the log-series distribution P(n) = -x^n / (n ln(1 - x)).
std::int32_t logSeriesDraw(std::mt19937_64 &random, double x)
{
    const double u = uniform(random);
    const double norm = -1.0 / std::log(1.0 - x);
    double power = x;
    double cumulative = 0.0;
    for (std::int32_t n = 1;; ++n) {
        cumulative += norm * power / n;
        if (cumulative >= u || n > 10000000) {
            return n;
        }
        power *= x;
    }
}

std::vector<std::int32_t> logSeriesCollection(int species, double meanAbundance)
{
    std::mt19937_64 random(kSeed);
    const double x = logSeriesParameter(meanAbundance);
    std::vector<std::int32_t> abundances;
    for (int i = 0; i < species; ++i) {
        abundances.push_back(logSeriesDraw(random, x));
    }
    return abundances;
}

std::size_t distinctValues(const std::vector<std::int32_t> &values)
{
    return std::set<std::int32_t>(values.begin(), values.end()).size();
}

void IndividualCurveLogSeries(benchmark::State &state)
{
    initLogFactorial(30000);
    const std::vector<std::int32_t> abundances = logSeriesCollection(2000, 16.0);
    const EcoCollection collection = EcoCollection::initFromAbundanceArray(abundances);
    std::size_t points = 0;
    for (auto _ : state) {
        const std::vector<Rarefaction> curve = collection.individualBasedRarefactionCurve();
        points = curve.size();
        benchmark::DoNotOptimize(curve.data());
    }
    state.counters["S"] = collection.richness();
    state.counters["N"] = collection.censusSize();
    state.counters["distinct"] = static_cast<double>(distinctValues(abundances));
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(IndividualCurveLogSeries)->Unit(benchmark::kMillisecond);

std::vector<std::optional<std::string>> collectionNames(std::size_t count)
{
    std::vector<std::optional<std::string>> names;
    for (std::size_t c = 0; c < count; ++c) {
        names.emplace_back("Sample " + std::to_string(c + 1));
    }
    return names;
}

std::string taxonName(std::size_t t)
{
    return "Taxon " + std::to_string(100000 + t);
}

// 50 collections of 420 specimens each, drawn from 225 taxa with
// log-series-like weights: N = 21000.
std::vector<TaxonEntry> pooledGroupTaxa()
{
    constexpr std::size_t kCollections = 50;
    constexpr std::size_t kTaxa = 225;
    constexpr int kSpecimensPerCollection = 420;
    std::mt19937_64 random(kSeed);
    std::vector<double> cumulative(kTaxa);
    double total = 0.0;
    for (std::size_t t = 0; t < kTaxa; ++t) {
        total += 1.0 / static_cast<double>(t + 1);
        cumulative[t] = total;
    }
    std::vector<TaxonEntry> taxa;
    for (std::size_t c = 0; c < kCollections; ++c) {
        std::vector<std::int32_t> counts(kTaxa, 0);
        for (int i = 0; i < kSpecimensPerCollection; ++i) {
            const double u = uniform(random) * total;
            const auto t = static_cast<std::size_t>(
                std::lower_bound(cumulative.begin(), cumulative.end(), u) - cumulative.begin());
            ++counts[std::min(t, kTaxa - 1)];
        }
        for (std::size_t t = 0; t < kTaxa; ++t) {
            if (counts[t] > 0) {
                taxa.push_back({taxonName(t), counts[t], true, c});
            }
        }
    }
    return taxa;
}

void PooledCurve(benchmark::State &state)
{
    initLogFactorial(30000);
    const std::vector<TaxonEntry> taxa = pooledGroupTaxa();
    std::int32_t n = 0;
    for (auto _ : state) {
        EcoCollectionGroup group(taxa, collectionNames(50));
        const EcoCollection pooled =
            EcoCollection::initFromAbundanceArray(group.createSummedAbundanceList());
        const std::vector<Rarefaction> curve = pooled.individualBasedRarefactionCurve();
        n = pooled.censusSize();
        benchmark::DoNotOptimize(curve.data());
    }
    state.counters["N"] = n;
    state.counters["entries"] = static_cast<double>(taxa.size());
}
BENCHMARK(PooledCurve)->Unit(benchmark::kMillisecond);

// 100 000 taxon entries over 1000 collections and 2000 taxa whose frequencies
// fall off as t^-1.5: common taxa are found in most collections, many rare
// ones in one or two.
std::vector<TaxonEntry> largeGroupTaxa()
{
    constexpr std::size_t kCollections = 1000;
    constexpr std::size_t kTaxa = 2000;
    constexpr std::size_t kEntries = 100000;
    std::mt19937_64 random(kSeed);
    std::vector<double> cumulative(kTaxa);
    double total = 0.0;
    for (std::size_t t = 0; t < kTaxa; ++t) {
        total += std::pow(static_cast<double>(t + 1), -1.5);
        cumulative[t] = total;
    }
    std::vector<TaxonEntry> taxa;
    taxa.reserve(kEntries);
    for (std::size_t i = 0; i < kEntries; ++i) {
        // The first entries name every taxon once; the rest follow the weights.
        const auto drawn = static_cast<std::size_t>(
            std::lower_bound(cumulative.begin(), cumulative.end(), uniform(random) * total) -
            cumulative.begin());
        const std::size_t t = i < kTaxa ? i : std::min(drawn, kTaxa - 1);
        const auto abundance = 1 + static_cast<std::int32_t>(-20.0 * std::log(uniform(random)));
        taxa.push_back({taxonName(t), abundance, true, random() % kCollections});
    }
    return taxa;
}

void GroupMatrixChao2Curve(benchmark::State &state)
{
    initLogFactorial(30000);
    const std::vector<TaxonEntry> taxa = largeGroupTaxa();
    float chao2 = 0.0f;
    std::size_t numTaxa = 0;
    for (auto _ : state) {
        EcoCollectionGroup group(taxa, collectionNames(1000));
        group.createAbundanceMatrix();
        chao2 = group.chao2();
        const std::vector<Rarefaction> curve = group.sampleBasedRarefactionCurve();
        numTaxa = group.numTaxa();
        benchmark::DoNotOptimize(curve.data());
    }
    state.counters["taxa"] = static_cast<double>(numTaxa);
    state.counters["chao2"] = chao2;
}
BENCHMARK(GroupMatrixChao2Curve)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvella
