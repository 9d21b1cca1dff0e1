#include "FloatExpectations.h"
#include "analysis/AbundanceClasses.h"
#include "analysis/EcoCollection.h"
#include "analysis/LogFactorial.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvella {
namespace {

using testing::sameMeasure;

// The literal pairwise sums, species by species, as the oracle for the
// grouped evaluation.
AbundanceClasses::Sums literalSums(const std::vector<std::int64_t> &counts, std::int64_t n,
                                   std::int64_t m)
{
    AbundanceClasses::Sums sums;
    for (std::int64_t ni : counts) {
        sums.expected += 1.0 - fact(n, ni, m);
    }
    for (std::int64_t ni : counts) {
        const double q = fact(n, ni, m);
        sums.withinSpecies += (1.0 - q) * q;
    }
    for (std::size_t j = 0; j < counts.size(); ++j) {
        for (std::size_t i = 0; i < j; ++i) {
            sums.betweenPairs +=
                fact(n, counts[i] + counts[j], m) - fact(n, counts[j], m) * fact(n, counts[i], m);
        }
    }
    return sums;
}

class IndividualRarefactionTest : public ::testing::Test
{
protected:
    void SetUp() override { initLogFactorial(30000); }
};

struct PointRow
{
    std::vector<std::int32_t> abundances;
    std::int32_t m;
    double E, var, upper95, lower95, upper99, lower99;
};

TEST_F(IndividualRarefactionTest, PointsOfTheWorkedExample)
{
    const std::vector<std::int32_t> worked = {5, 3, 1, 1, 2};
    const double twoE = 118.0 / 66.0;
    const std::vector<PointRow> rows = {
        {worked, 12, 5, 0, 5, 5, 5, 5}, // every species is in the whole collection
        {worked, 13, 5, 0, 5, 5, 5, 5}, // beyond N nothing changes
        {worked, 1, 1, 0, 1, 1, 1, 1},  // one specimen: one species, no doubt
        {worked, 0, 0, 0, 0, 1, 0, 1},  // lower ends are raised to 1
        {worked, 5, 3.329545, 0.521450, 4.744891, 1.914200, 5.192603, 1.466488},
        {{}, 0, 0, 0, 0, 1, 0, 1}, // empty collection
        {{}, 7, 0, 0, 0, 1, 0, 1},
        {{0, 4, 0}, 4, 1, 0, 1, 1, 1, 1}, // counted zeros are not species
    };
    for (const PointRow &row : rows) {
        const Rarefaction point = EcoCollection::initFromAbundanceArray(row.abundances)
                                      .individualBasedRarefactionToSampleSize(row.m);
        SCOPED_TRACE("m = " + std::to_string(row.m));
        EXPECT_EQ(point.theSampleSize, row.m);
        EXPECT_TRUE(sameMeasure(point.theE, row.E));
        EXPECT_TRUE(sameMeasure(point.theVar, row.var));
        EXPECT_TRUE(sameMeasure(point.upper95, row.upper95));
        EXPECT_TRUE(sameMeasure(point.lower95, row.lower95));
        EXPECT_TRUE(sameMeasure(point.upper99, row.upper99));
        EXPECT_TRUE(sameMeasure(point.lower99, row.lower99));
    }
    const Rarefaction two =
        EcoCollection::initFromAbundanceArray(worked).individualBasedRarefactionToSampleSize(2);
    EXPECT_NEAR(two.theE, twoE, 1e-12);
    EXPECT_EQ(two.lower95, 1.0);
    EXPECT_EQ(two.lower99, 1.0);
}

TEST_F(IndividualRarefactionTest, ZerosDoNotChangeAnyPoint)
{
    const EcoCollection plain = EcoCollection::initFromAbundanceArray({5, 3, 1, 1, 2});
    const EcoCollection zeros = EcoCollection::initFromAbundanceArray({0, 5, 3, 0, 1, 1, 2, 0});
    for (std::int32_t m = 0; m <= 13; ++m) {
        const Rarefaction a = plain.individualBasedRarefactionToSampleSize(m);
        const Rarefaction b = zeros.individualBasedRarefactionToSampleSize(m);
        EXPECT_EQ(a.theE, b.theE) << m;
        EXPECT_EQ(a.theVar, b.theVar) << m;
        EXPECT_EQ(a.lower95, b.lower95) << m;
    }
}

struct CurveRow
{
    std::vector<std::int32_t> abundances;
    std::vector<std::int32_t> firstSizes;
    std::size_t points;
    std::int32_t lastSize;
};

TEST_F(IndividualRarefactionTest, CurveStepRule)
{
    const std::vector<CurveRow> rows = {
        {{1}, {1}, 1, 1},
        {{60, 40}, {1, 2, 3}, 100, 100},
        {{150, 49}, {1, 2, 3}, 199, 199},
        {{150, 50}, {1, 2, 4, 6}, 101, 200},
        {{300, 1}, {1, 3, 6, 9}, 102, 301},
        {{5, 3, 1, 1, 2}, {1, 2, 3}, 12, 12},
        {{1000, 0, 1000}, {1, 20, 40}, 101, 2000},
    };
    for (const CurveRow &row : rows) {
        const std::vector<Rarefaction> curve =
            EcoCollection::initFromAbundanceArray(row.abundances).individualBasedRarefactionCurve();
        ASSERT_EQ(curve.size(), row.points);
        for (std::size_t i = 0; i < row.firstSizes.size(); ++i) {
            EXPECT_EQ(curve[i].theSampleSize, row.firstSizes[i]);
        }
        EXPECT_EQ(curve.back().theSampleSize, row.lastSize);
        for (std::size_t i = 1; i < curve.size(); ++i) {
            EXPECT_LT(curve[i - 1].theSampleSize, curve[i].theSampleSize);
        }
    }
    EXPECT_TRUE(
        EcoCollection::initFromAbundanceArray({}).individualBasedRarefactionCurve().empty());
    EXPECT_TRUE(
        EcoCollection::initFromAbundanceArray({0, 0}).individualBasedRarefactionCurve().empty());
}

TEST_F(IndividualRarefactionTest, NegativeSampleSizeIsRefusedWithAClearMessage)
{
    const EcoCollection collection = EcoCollection::initFromAbundanceArray({5, 3, 1});
    try {
        collection.individualBasedRarefactionToSampleSize(-3);
        FAIL() << "a negative sample size was accepted";
    } catch (const std::invalid_argument &error) {
        EXPECT_EQ(std::string(error.what()),
                  "The rarefaction sample size must be 0 or more; it is -3.");
    }
}

TEST_F(IndividualRarefactionTest, VarianceRoundingBelowZeroIsClampedToZero)
{
    // At m = 1 the literal sums of this collection round to a negative float.
    const std::vector<std::int64_t> counts = {5, 13, 2, 29, 12, 26, 20};
    const std::int64_t n = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    ASSERT_LT(static_cast<float>(literalSums(counts, n, 1).variance()), 0.0f);

    const EcoCollection collection =
        EcoCollection::initFromAbundanceArray({5, 13, 2, 29, 12, 26, 20});
    for (std::int32_t m : {1, static_cast<std::int32_t>(n) - 1, static_cast<std::int32_t>(n)}) {
        const Rarefaction point = collection.individualBasedRarefactionToSampleSize(m);
        EXPECT_GE(point.theVar, 0.0) << m;
        EXPECT_FALSE(std::isnan(point.lower95) || std::isnan(point.upper95) ||
                     std::isnan(point.lower99) || std::isnan(point.upper99))
            << m;
    }
    EXPECT_EQ(collection.individualBasedRarefactionToSampleSize(1).theVar, 0.0);
}

TEST_F(IndividualRarefactionTest, TableGrowsForAHundredThousandSpecimens)
{
    std::vector<std::int32_t> abundances(1000, 100);
    abundances[0] = 50;
    abundances[1] = 150; // two more classes of abundance
    const EcoCollection collection = EcoCollection::initFromAbundanceArray(abundances);
    ASSERT_EQ(collection.censusSize(), 100000);

    const std::vector<Rarefaction> curve = collection.individualBasedRarefactionCurve();
    EXPECT_GE(logFactorialCoverage(), 100000);
    ASSERT_EQ(curve.size(), 101u); // 1, 1000, 2000, ..., 100000
    EXPECT_EQ(curve.back().theSampleSize, 100000);
    EXPECT_EQ(curve.back().theE, 1000.0);
    EXPECT_EQ(curve.back().theVar, 0.0);

    // E at m = 1000 from log-gamma, independent of the table.
    auto missed = [](double n, double ni, double m) {
        return std::exp(std::lgamma(n - ni + 1) - std::lgamma(n - ni - m + 1) - std::lgamma(n + 1) +
                        std::lgamma(n - m + 1));
    };
    const double expected = 997 * (1 - missed(1e5, 100, 1000)) + (1 - missed(1e5, 50, 1000)) +
                            (1 - missed(1e5, 150, 1000)) + (1 - missed(1e5, 100, 1000));
    EXPECT_NEAR(curve[1].theE, expected, 1e-6);
}

// Negative entries (never produced by the importers, but a store may hold
// them) lower N below the species' counts; nothing may read outside the table.
TEST_F(IndividualRarefactionTest, NegativeEntriesStayWithinTheTable)
{
    const std::vector<std::vector<std::int32_t>> rows = {
        {5, -3}, {5, -10}, {-4}, {3, -1, 2}, {40, 2, -41, 1},
    };
    for (const auto &abundances : rows) {
        const EcoCollection collection = EcoCollection::initFromAbundanceArray(abundances);
        std::vector<std::int64_t> counts;
        for (std::int32_t a : abundances) {
            if (a > 0) {
                counts.push_back(a);
            }
        }
        for (std::int32_t m = 0; m <= 8; ++m) {
            const AbundanceClasses::Sums oracle = literalSums(counts, collection.censusSize(), m);
            const Rarefaction point = collection.individualBasedRarefactionToSampleSize(m);
            EXPECT_NEAR(point.theE, oracle.expected, 1e-12) << m;
        }
        EXPECT_LE(collection.individualBasedRarefactionCurve().size(), 8u);
    }
}

TEST_F(IndividualRarefactionTest, CensusSizesBeyondTheLimitAreRefused)
{
    const std::vector<std::vector<std::int32_t>> rows = {
        {EcoCollection::kMaxRarefactionCensusSize, 1},
        {std::numeric_limits<std::int32_t>::max(), 5},
        {2000000000, 2000000000}, // the 32-bit census size saturates
    };
    for (const auto &abundances : rows) {
        const EcoCollection collection = EcoCollection::initFromAbundanceArray(abundances);
        EXPECT_THROW(collection.individualBasedRarefactionToSampleSize(10), std::invalid_argument);
        EXPECT_THROW(collection.individualBasedRarefactionCurve(), std::invalid_argument);
    }
    EXPECT_EQ(logFactorialCoverage(), 30000); // refused before the table grew
}

void expectAgreesWithLiteralSums(const std::vector<std::int64_t> &counts, std::int64_t m)
{
    const std::int64_t n = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    AbundanceClasses classes(counts, n);
    const AbundanceClasses::Sums oracle = literalSums(counts, n, m);
    const AbundanceClasses::Sums fast = classes.sumsAt(m);
    SCOPED_TRACE("N = " + std::to_string(n) + ", m = " + std::to_string(m));
    EXPECT_NEAR(fast.expected, oracle.expected, 1e-9 * std::max(1.0, oracle.expected));
    const double scale = std::max(std::abs(oracle.variance()), oracle.withinSpecies);
    EXPECT_NEAR(fast.variance(), oracle.variance(), 1e-9 * std::max(scale, 1e-12));

    std::vector<std::int32_t> abundances(counts.begin(), counts.end());
    const Rarefaction point =
        EcoCollection::initFromAbundanceArray(abundances)
            .individualBasedRarefactionToSampleSize(static_cast<std::int32_t>(m));
    EXPECT_NEAR(point.theE, oracle.expected, 1e-9 * std::max(1.0, oracle.expected));
    EXPECT_NEAR(point.theVar, std::max(0.0f, static_cast<float>(oracle.variance())),
                2e-7 * std::max(scale, 1e-12));
}

std::vector<std::int64_t> samplesSizesToCompare(std::int64_t n, std::mt19937 &random)
{
    return {0, 1, 2, n / 3, n / 2, n - 1, n, static_cast<std::int64_t>(random() % (n + 1))};
}

// Random collections with many repeated abundances, compared at sizes that
// include the ends and the middle of the curve.
TEST_F(IndividualRarefactionTest, GroupedSumsAgreeWithTheLiteralPairwiseSums)
{
    std::mt19937 random(20240607u);
    for (int trial = 0; trial < 60; ++trial) {
        const auto species = 1 + static_cast<int>(random() % 80);
        const auto spread = 1 + static_cast<std::int64_t>(random() % 300);
        std::vector<std::int64_t> counts;
        for (int i = 0; i < species; ++i) {
            counts.push_back(1 + static_cast<std::int64_t>(random() % (1 + random() % spread)));
        }
        const std::int64_t n = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
        SCOPED_TRACE("trial " + std::to_string(trial));
        for (std::int64_t m : samplesSizesToCompare(n, random)) {
            expectAgreesWithLiteralSums(counts, m);
        }
    }
}

// Few distinct counts far apart (evaluated pair by pair, without a table),
// and collections of one class only.
TEST_F(IndividualRarefactionTest, SparseAndUniformCollectionsAgreeWithTheLiteralSums)
{
    const std::vector<std::vector<std::int64_t>> rows = {
        {5000, 3000, 1}, {20000, 1, 1, 2}, {7, 7, 7, 7, 7}, {1, 1, 1}, {12000},
    };
    std::mt19937 random(5u);
    for (const auto &counts : rows) {
        const std::int64_t n = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
        for (std::int64_t m : samplesSizesToCompare(n, random)) {
            expectAgreesWithLiteralSums(counts, m);
        }
    }
}

} // namespace
} // namespace quorvella
