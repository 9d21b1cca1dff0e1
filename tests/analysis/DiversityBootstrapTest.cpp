// The bootstrap of the Hill numbers: the published outputs of its random
// generators, reproducible bands independent of threads and of the other
// assemblages, and standard errors that converge to the exact ones.

#include "analysis/DiversityBootstrap.h"

#include "analysis/DiversityRandom.h"
#include "analysis/HillNumbers.h"
#include "analysis/HillSample.h"

#include <atomic>
#include <cmath>
#include <gtest/gtest.h>

namespace quorvella {
namespace {

TEST(DiversityBootstrap, GeneratorsGiveTheirPublishedOutputs)
{
    std::uint64_t state = 1234567;
    EXPECT_EQ(splitMix64(state), 6457827717110365317u);
    EXPECT_EQ(splitMix64(state), 3203168211198807973u);
    EXPECT_EQ(splitMix64(state), 9817491932198370423u);
    Xoshiro256StarStar random(std::array<std::uint64_t, 4>{1, 2, 3, 4});
    EXPECT_EQ(random.next(), 11520u);
    EXPECT_EQ(random.next(), 0u);
    EXPECT_EQ(random.next(), 1509978240u);
    EXPECT_EQ(random.next(), 1215971899390074240u);
}

std::vector<double> bands(const DiversityProfile &p)
{
    std::vector<double> values;
    for (const SizeBasedEstimate &row : p.sizeBased) {
        values.insert(values.end(), {row.se, row.lower, row.upper, row.coverageSe});
    }
    for (const AsymptoticEstimate &row : p.asymptotic) {
        values.push_back(row.se);
    }
    return values;
}

TEST(DiversityBootstrap, BandsDependOnlyOnTheSeedAndTheSample)
{
    const std::int32_t counts[] = {40, 21, 9, 5, 3, 2, 2, 1, 1, 1, 1, 1};
    const std::int32_t occurrences[] = {6, 4, 3, 1, 1, 1, 2};
    const std::vector<DiversitySample> samples = {abundanceSample("a", counts),
                                                  incidenceSample("i", occurrences, 7)};
    DiversityOptions options;
    options.coverageTargets = {0.9};
    for (const DiversitySample &sample : samples) {
        const DiversityProfile alone = estimateDiversity(sample, options, 1);
        EXPECT_EQ(bands(alone), bands(estimateDiversity(sample, options, 2)));
        DiversityRunControl control;
        control.threads = 2;
        const std::vector<DiversityOutcome> together =
            estimateDiversityOfAll(samples, options, control);
        const DiversityProfile &inBatch = *together[&sample == &samples[0] ? 0 : 1].profile;
        EXPECT_EQ(bands(alone), bands(inBatch));
        options.seed += 1;
        EXPECT_NE(bands(alone), bands(estimateDiversity(sample, options)));
        options.seed -= 1;
    }
}

// Every figure of a profile: estimates, bands and coverage-based rows.
std::vector<double> figures(const DiversityProfile &p)
{
    std::vector<double> values = bands(p);
    for (const SizeBasedEstimate &row : p.sizeBased) {
        values.insert(values.end(), {double(row.m), row.D, row.coverage, row.coverageLower});
    }
    for (const CoverageBasedEstimate &row : p.coverageBased) {
        values.insert(values.end(), {row.m, row.D, row.se, row.lower, row.upper});
    }
    for (const AsymptoticEstimate &row : p.asymptotic) {
        values.insert(values.end(), {row.estimate, row.lower, row.upper});
    }
    return values;
}

// Sets of options estimated from one draw of the replicates give what each
// set gives alone, figure for figure; sets needing other replicates are
// refused.
TEST(DiversityBootstrap, SharedReplicatesGiveEachSetItsOwnResult)
{
    const std::int32_t counts[] = {40, 21, 9, 5, 3, 2, 2, 1, 1, 1, 1, 1};
    const std::int32_t occurrences[] = {6, 4, 3, 1, 1, 1, 2};
    const std::vector<DiversitySample> samples = {abundanceSample("a", counts),
                                                  incidenceSample("i", occurrences, 7),
                                                  abundanceSample("0", {})};
    DiversityOptions atSize;
    atSize.sizes = {30};
    DiversityOptions atCoverage;
    atCoverage.coverageTargets = {0.8};
    atCoverage.orders = {1};
    atCoverage.level = 0.9;
    const std::vector<DiversityOptions> sets{DiversityOptions{}, atSize, atCoverage};
    const auto together = estimateDiversityOfAll(samples, sets);
    ASSERT_EQ(together.size(), sets.size());
    for (std::size_t set = 0; set < sets.size(); ++set) {
        const std::vector<DiversityOutcome> alone = estimateDiversityOfAll(samples, sets[set]);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            EXPECT_EQ(together[set][i].problem, alone[i].problem);
            ASSERT_EQ(together[set][i].profile.has_value(), alone[i].profile.has_value());
            if (alone[i].profile) {
                EXPECT_EQ(figures(*together[set][i].profile), figures(*alone[i].profile))
                    << set << " " << i;
            }
        }
    }
    DiversityOptions otherSeed;
    otherSeed.seed += 1;
    EXPECT_THROW(estimateDiversityOfAll(samples, std::vector{atSize, otherSeed}),
                 std::invalid_argument);
}

TEST(DiversityBootstrap, ProgressReachesTheTotalAndCancelStops)
{
    const std::int32_t counts[] = {8, 3, 2, 1, 1};
    const std::vector<DiversitySample> samples = {abundanceSample("a", counts),
                                                  abundanceSample("b", counts)};
    DiversityOptions options;
    options.bootstrapReplicates = 10;
    std::size_t lastDone = 0;
    std::size_t lastTotal = 0;
    DiversityRunControl control;
    control.threads = 2;
    control.progress = [&](std::size_t done, std::size_t total) {
        EXPECT_GT(done, lastDone);
        lastDone = done;
        lastTotal = total;
    };
    estimateDiversityOfAll(samples, options, control);
    EXPECT_EQ(lastDone, 22u);
    EXPECT_EQ(lastTotal, 22u);

    const std::atomic<bool> cancel{true};
    control.cancel = &cancel;
    EXPECT_THROW(estimateDiversityOfAll(samples, options, control), DiversityCancelled);
}

// The bootstrap s.e. of the observed richness (q = 0 at the reference size)
// with B = 2000 against its exact value under the estimated assemblage.
TEST(DiversityBootstrap, StandardErrorConvergesToTheExactOne)
{
    const std::int32_t counts[] = {30, 12, 7, 3, 2, 2, 1, 1, 1, 1};
    const std::int32_t occurrences[] = {9, 5, 3, 2, 2, 1, 1, 1};
    for (const DiversitySample &sample :
         {abundanceSample("a", counts), incidenceSample("i", occurrences, 10)}) {
        const bool incidence = sample.dataType == DiversityDataType::Incidence;
        const std::int64_t N = incidence ? 10 : 60;
        const HillSample hill(sample.dataType, sample.frequencies,
                              std::make_shared<const ReferenceTables>(N));
        const BootstrapAssemblage assemblage(hill, sample.frequencies);
        std::vector<double> p(assemblage.detectedProbabilities().begin(),
                              assemblage.detectedProbabilities().end());
        p.insert(p.end(), assemblage.undetectedSpecies(), assemblage.undetectedProbability());
        const double n = static_cast<double>(N);
        double variance = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            const double missed = std::pow(1 - p[i], n);
            variance += missed * (1 - missed);
            for (std::size_t j = 0; j < i && !incidence; ++j) {
                variance += 2 * (std::pow(1 - p[i] - p[j], n) - missed * std::pow(1 - p[j], n));
            }
        }
        DiversityOptions options;
        options.orders = {0};
        options.sizes = {N};
        options.bootstrapReplicates = 2000;
        const DiversityProfile profile = estimateDiversity(sample, options);
        SCOPED_TRACE(sample.name);
        EXPECT_NEAR(profile.sizeBased[0].se / std::sqrt(variance), 1.0, 0.06);
    }
}

} // namespace
} // namespace quorvella
