#include "analysis/EcoCollection.h"

#include "FloatExpectations.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <type_traits>
#include <vector>

namespace quorvella {
namespace {

using testing::kInf;
using testing::kNaN;
using testing::sameMeasure;

// Collections come from data only; the compiler refuses anything else.
static_assert(!std::is_default_constructible_v<EcoCollection>);

struct MeasuresRow
{
    const char *label;
    std::vector<std::int32_t> abundances;
    std::int32_t S, N;
    double H, E, chao1, D, J, ess, pie;
};

class MeasuresTest : public ::testing::TestWithParam<MeasuresRow>
{
};

TEST_P(MeasuresTest, AllNineMeasures)
{
    const MeasuresRow &row = GetParam();
    const EcoCollection collection = EcoCollection::initFromAbundanceArray(row.abundances);
    EXPECT_EQ(collection.richness(), row.S);
    EXPECT_EQ(collection.censusSize(), row.N);
    EXPECT_TRUE(sameMeasure(collection.shannonH(), row.H)) << "H";
    EXPECT_TRUE(sameMeasure(collection.buzasGibsonE(), row.E)) << "E";
    EXPECT_TRUE(sameMeasure(collection.chao1(), row.chao1)) << "Chao-1";
    EXPECT_TRUE(sameMeasure(collection.simpsonD(), row.D)) << "D";
    EXPECT_TRUE(sameMeasure(collection.pielouJ(), row.J)) << "J";
    EXPECT_TRUE(sameMeasure(collection.petersEss(), row.ess)) << "Ess";
    EXPECT_TRUE(sameMeasure(collection.hurlbertPIE(), row.pie)) << "PIE";
    // Cached values are the values: asking again changes nothing.
    EXPECT_TRUE(sameMeasure(collection.shannonH(), row.H));
    EXPECT_TRUE(sameMeasure(collection.pielouJ(), row.J));
    EXPECT_TRUE(sameMeasure(collection.shannonH(), row.H));
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamplesAndEdges, MeasuresTest,
    ::testing::Values(
        MeasuresRow{"worked",
                    {5, 3, 1, 1, 2},
                    5,
                    12,
                    1.42413,
                    0.830848,
                    7,
                    0.787879,
                    0.884862,
                    0.922222,
                    0.722222},
        MeasuresRow{"empty", {}, 0, 0, 0, kInf, kNaN, 0, 0, 1, 1},
        MeasuresRow{"one1", {1}, 1, 1, 0, 1, kInf, kNaN, kNaN, 1, 0},
        MeasuresRow{"one2", {2}, 1, 2, 0, 1, 1, 0, kNaN, 1, 0},
        MeasuresRow{"one7", {7}, 1, 7, 0, 1, kNaN, 0, kNaN, 1, 0},
        MeasuresRow{"pairOfOnes", {1, 1}, 2, 2, std::log(2.0), 1, kInf, 1, 1, 1, 0.5},
        MeasuresRow{"even",
                    {10, 10, 10, 10},
                    4,
                    40,
                    std::log(4.0),
                    1,
                    kNaN,
                    40.0 / 39.0 * 0.75,
                    1,
                    1,
                    0.75},
        MeasuresRow{
            "twoTwoOne", {2, 2, 1}, 3, 5, 1.05492, 0.957249, 3.25, 0.8, 0.96023, 0.973333, 0.64},
        // A counted zero changes only Ess, by (1/S)^2, wherever it stands.
        MeasuresRow{"zeroLast",
                    {5, 3, 1, 1, 2, 0},
                    5,
                    12,
                    1.42413,
                    0.830848,
                    7,
                    0.787879,
                    0.884862,
                    0.882222,
                    0.722222},
        MeasuresRow{"zeroFirst",
                    {0, 5, 3, 1, 1, 2},
                    5,
                    12,
                    1.42413,
                    0.830848,
                    7,
                    0.787879,
                    0.884862,
                    0.882222,
                    0.722222}),
    [](const ::testing::TestParamInfo<MeasuresRow> &row) { return row.param.label; });

TEST(EcoCollectionTaxa, CountsIncludedTaxaWithAnAbundanceInOrder)
{
    const std::vector<TaxonEntry> taxa = {
        {"Abies", 5, true, 0},       {"Betula", std::nullopt, true, 0}, // no count: not counted
        {"Carex", 3, false, 0},                                         // excluded
        {"Dryas", 0, true, 0},       // a count of zero is a count
        {std::nullopt, 2, true, 0},  // counted without a name
        {"", 1, true, std::nullopt}, // an empty name is a name
    };
    const EcoCollection collection = EcoCollection::initWithTaxonArray(taxa);
    EXPECT_EQ(collection.names(), (std::vector<std::string>{"Abies", "Dryas", "", ""}));
    EXPECT_EQ(collection.abundances(), (std::vector<std::int32_t>{5, 0, 2, 1}));
    EXPECT_EQ(collection.richness(), 3);
    EXPECT_EQ(collection.censusSize(), 8);
}

TEST(EcoCollectionTaxa, AbundancesKeepNoNames)
{
    const EcoCollection collection = EcoCollection::initFromAbundanceArray({3, 0, 4});
    EXPECT_TRUE(collection.names().empty());
    EXPECT_EQ(collection.abundances(), (std::vector<std::int32_t>{3, 0, 4}));
}

TEST(EcoCollectionCensusSize, SummedInSinglePrecisionAndSaturated)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const struct
    {
        std::vector<std::int32_t> abundances;
        std::int32_t expected;
    } rows[] = {
        {{kMax, kMax}, kMax}, // would wrap around to a negative size
        {{2000000000, 2000000000, -5}, kMax},
        {{kMin, kMin}, kMin},
        {{16777216, 3}, 16777220}, // beyond 2^24 single precision rounds
        {{7, -2}, 5},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(EcoCollection::initFromAbundanceArray(row.abundances).censusSize(), row.expected);
    }
}

} // namespace
} // namespace quorvella
