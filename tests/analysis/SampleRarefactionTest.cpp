#include "FloatExpectations.h"
#include "analysis/Cancellation.h"
#include "analysis/EcoCollection.h"
#include "analysis/EcoCollectionGroup.h"
#include "analysis/LogFactorial.h"

#include <atomic>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace quorvella {
namespace {

using testing::kInf;
using testing::kNaN;
using testing::sameMeasure;

// A group whose taxon t occurs in the first occurrences[t] of m collections.
EcoCollectionGroup groupWithOccurrences(const std::vector<int> &occurrences, std::size_t m)
{
    std::vector<TaxonEntry> taxa;
    for (std::size_t t = 0; t < occurrences.size(); ++t) {
        const std::string name = "Taxon " + std::to_string(t);
        for (int c = 0; c < occurrences[t]; ++c) {
            taxa.push_back({name, 1 + c, true, static_cast<std::size_t>(c)});
        }
        if (occurrences[t] == 0) {
            taxa.push_back({name, 0, true, 0}); // listed, present nowhere
        }
    }
    return EcoCollectionGroup(std::move(taxa), std::vector<std::optional<std::string>>(m, "c"));
}

class SampleRarefactionTest : public ::testing::Test
{
protected:
    void SetUp() override { initLogFactorial(30000); }
};

struct Chao2Row
{
    const char *label;
    std::vector<int> occurrences;
    std::size_t collections;
    double chao2;
};

TEST_F(SampleRarefactionTest, Chao2)
{
    const std::vector<Chao2Row> rows = {
        {"three collections", {3, 1, 2}, 3, 10.0 / 3.0},
        {"four collections", {1, 1, 2, 3, 4}, 4, 6.5},
        {"no duplicates", {1, 3}, 3, kInf},
        {"everything everywhere", {3, 3, 3}, 3, kNaN},
        {"uniques absent", {2, 2, 3}, 3, 3},
        {"a name present nowhere counts in S", {3, 1, 2, 0}, 3, 10.0 / 3.0 + 1},
        {"one collection", {1, 1}, 1, kNaN},
        {"no collections", {}, 0, kNaN},
    };
    for (const Chao2Row &row : rows) {
        EcoCollectionGroup group = groupWithOccurrences(row.occurrences, row.collections);
        EXPECT_TRUE(sameMeasure(group.chao2(), row.chao2)) << row.label;
        EXPECT_TRUE(sameMeasure(group.chao2(), row.chao2)) << row.label << " (cached)";
    }
}

struct CurvePointRow
{
    std::int32_t h;
    double E, var, lower95, upper95, lower99, upper99;
};

TEST_F(SampleRarefactionTest, CurveOfThreeCollections)
{
    EcoCollectionGroup group = groupWithOccurrences({3, 1, 2}, 3);
    const std::vector<Rarefaction> curve = group.sampleBasedRarefactionCurve();
    const double sd1 = std::sqrt(16.0 / 45.0);
    const double sd2 = std::sqrt(14.0 / 45.0);
    const std::vector<CurvePointRow> expected = {
        {1, 2, 16.0 / 45.0, 2 - 1.96 * sd1, 2 + 1.96 * sd1, 2 - 2.58 * sd1, 2 + 2.58 * sd1},
        {2, 8.0 / 3.0, 14.0 / 45.0, 8.0 / 3.0 - 1.96 * sd2, 8.0 / 3.0 + 1.96 * sd2,
         8.0 / 3.0 - 2.58 * sd2, 8.0 / 3.0 + 2.58 * sd2},
        {3, 3, 0.3, 1.9265, 4.0735, 1.5869, 4.4131},
    };
    ASSERT_EQ(curve.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Rarefaction &point = curve[i];
        SCOPED_TRACE("h = " + std::to_string(expected[i].h));
        EXPECT_EQ(point.theSampleSize, expected[i].h);
        EXPECT_TRUE(sameMeasure(point.theE, expected[i].E));
        EXPECT_TRUE(sameMeasure(point.theVar, expected[i].var));
        EXPECT_TRUE(sameMeasure(point.lower95, expected[i].lower95, 5e-5));
        EXPECT_TRUE(sameMeasure(point.upper95, expected[i].upper95, 5e-5));
        EXPECT_TRUE(sameMeasure(point.lower99, expected[i].lower99, 5e-5));
        EXPECT_TRUE(sameMeasure(point.upper99, expected[i].upper99, 5e-5));
    }
}

TEST_F(SampleRarefactionTest, CurveEndsAndSpecialEstimates)
{
    {
        EcoCollectionGroup group = groupWithOccurrences({1, 1, 2, 3, 4}, 4);
        const std::vector<Rarefaction> curve = group.sampleBasedRarefactionCurve();
        ASSERT_EQ(curve.size(), 4u);
        EXPECT_TRUE(sameMeasure(curve.front().theE, 2.75));
        EXPECT_TRUE(sameMeasure(curve.back().theE, 5));
    }
    {
        // Chao-2 infinite: the variance is the plain sum of squares.
        EcoCollectionGroup group = groupWithOccurrences({1, 3}, 3);
        const Rarefaction point = group.sampleBasedRarefactionToSampleSize(1);
        const double missed = 1.0 - 2.0 / 3.0; // taxon in 1 of 3, one collection drawn
        EXPECT_TRUE(sameMeasure(point.theE, missed + 1));
        EXPECT_TRUE(sameMeasure(point.theVar, missed * missed + 1));
    }
    {
        // Chao-2 not-a-number: expectations right, variances and bands not-a-number.
        EcoCollectionGroup group = groupWithOccurrences({3, 3, 3}, 3);
        for (const Rarefaction &point : group.sampleBasedRarefactionCurve()) {
            EXPECT_EQ(point.theE, 3.0);
            EXPECT_TRUE(std::isnan(point.theVar));
            EXPECT_TRUE(std::isnan(point.lower95) && std::isnan(point.upper99));
        }
    }
    EXPECT_TRUE(groupWithOccurrences({}, 0).sampleBasedRarefactionCurve().empty());
}

TEST_F(SampleRarefactionTest, NameAbsentEverywhereAddsNothingToTheCurve)
{
    EcoCollectionGroup plain = groupWithOccurrences({1, 1, 2, 3, 4}, 4);
    EcoCollectionGroup withZero = groupWithOccurrences({1, 1, 2, 3, 4, 0}, 4);
    const std::vector<Rarefaction> a = plain.sampleBasedRarefactionCurve();
    const std::vector<Rarefaction> b = withZero.sampleBasedRarefactionCurve();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].theE, b[i].theE);
    }
    EXPECT_FLOAT_EQ(withZero.chao2(), plain.chao2() + 1.0f);
}

TEST_F(SampleRarefactionTest, VarianceRoundingBelowZeroIsClampedToZero)
{
    // Seven taxa, each in two of three collections: Chao-2 equals the observed
    // richness and the variance is exactly zero in theory; in single precision
    // V - E^2 / Chao-2 comes out at -2.4e-7 for one collection drawn.
    EcoCollectionGroup group = groupWithOccurrences({2, 2, 2, 2, 2, 2, 2}, 3);
    ASSERT_EQ(group.chao2(), 7.0f);
    for (const Rarefaction &point : group.sampleBasedRarefactionCurve()) {
        SCOPED_TRACE("h = " + std::to_string(point.theSampleSize));
        EXPECT_EQ(point.theVar, 0.0);
        EXPECT_EQ(point.lower95, point.theE);
        EXPECT_EQ(point.upper99, point.theE);
    }
}

// Random groups against a direct per-taxon evaluation in double precision:
// E(h) = sum over taxa of 1 - C(m - k, h) / C(m, h).
TEST_F(SampleRarefactionTest, ExpectationsAgreeWithADirectPerTaxonSum)
{
    std::mt19937 random(314u);
    for (int trial = 0; trial < 40; ++trial) {
        const std::size_t m = 1 + random() % 40;
        std::vector<int> occurrences;
        for (std::size_t t = 0, taxa = 1 + random() % 60; t < taxa; ++t) {
            occurrences.push_back(static_cast<int>(random() % (m + 1)));
        }
        EcoCollectionGroup group = groupWithOccurrences(occurrences, m);
        const std::vector<Rarefaction> curve = group.sampleBasedRarefactionCurve();
        ASSERT_EQ(curve.size(), m);
        const auto total = static_cast<double>(m);
        for (const Rarefaction &point : curve) {
            const double h = point.theSampleSize;
            double expected = 0.0;
            for (int k : occurrences) {
                const double missed =
                    k + h > total
                        ? 0.0
                        : std::exp(std::lgamma(total - k + 1.0) - std::lgamma(total - k - h + 1.0) -
                                   std::lgamma(total + 1.0) + std::lgamma(total - h + 1.0));
                expected += 1.0 - missed;
            }
            EXPECT_NEAR(point.theE, expected, 2e-5 * std::max(1.0, expected))
                << "trial " << trial << ", h = " << h;
        }
    }
}

struct AlphaRow
{
    std::int32_t k, h, H;
    double expected;
};

TEST_F(SampleRarefactionTest, Alpha)
{
    const std::vector<AlphaRow> rows = {
        {2, 2, 3, 0},                     // k + h > H
        {5, 0, 7, 1},                     // nothing drawn misses everything
        {0, 4, 7, 1},                     // a taxon found nowhere is always missed
        {1, 1, 3, 2.0 / 3.0},             // C(2,1) / C(3,1)
        {2, 3, 10, 56.0 / 120.0},         // C(8,3) / C(10,3)
        {1, 40000, 40001, 1.0 / 40001.0}, // beyond the table of 30000
    };
    for (const AlphaRow &row : rows) {
        EXPECT_TRUE(sameMeasure(EcoCollectionGroup::alphaJHforQuadrats(row.k, row.h, row.H),
                                row.expected, 1e-6))
            << row.k << ", " << row.h << ", " << row.H;
    }
    EXPECT_THROW(EcoCollectionGroup::alphaJHforQuadrats(1, -1, 3), std::invalid_argument);
    EXPECT_THROW(EcoCollectionGroup::alphaJHforQuadrats(1, 1, -3), std::invalid_argument);
}

TEST_F(SampleRarefactionTest, NegativeNumberOfCollectionsIsRefused)
{
    EcoCollectionGroup group = groupWithOccurrences({3, 1, 2}, 3);
    EXPECT_THROW(group.sampleBasedRarefactionToSampleSize(-1), std::invalid_argument);
}

TEST_F(SampleRarefactionTest, TableGrowsForManyCollectionsAndLargePools)
{
    // More collections than the table's 30000 entries.
    constexpr std::size_t kCollections = 30500;
    std::vector<TaxonEntry> taxa;
    for (std::size_t c = 0; c < kCollections; ++c) {
        taxa.push_back({"Everywhere", 2, true, c});
    }
    taxa.push_back({"Once", 40000, true, 0});
    taxa.push_back({"Twice", 1, true, 1});
    taxa.push_back({"Twice", 1, true, 2});
    EcoCollectionGroup group(std::move(taxa),
                             std::vector<std::optional<std::string>>(kCollections, "c"));
    EXPECT_TRUE(sameMeasure(group.chao2(), 3.0 + (30499.0 / 30500.0) / 2.0));
    const std::vector<Rarefaction> collectionsCurve = group.sampleBasedRarefactionCurve();
    EXPECT_GE(logFactorialCoverage(), static_cast<std::int64_t>(kCollections));
    ASSERT_EQ(collectionsCurve.size(), kCollections);
    EXPECT_TRUE(sameMeasure(collectionsCurve.front().theE, 1.0 + 3.0 / 30500.0));
    EXPECT_TRUE(sameMeasure(collectionsCurve.back().theE, 3.0));

    // The pooled collection holds more specimens than the table.
    const EcoCollection pooled =
        EcoCollection::initFromAbundanceArray(group.createSummedAbundanceList());
    ASSERT_EQ(pooled.censusSize(), 2 * 30500 + 40000 + 2);
    const std::vector<Rarefaction> curve = pooled.individualBasedRarefactionCurve();
    EXPECT_GE(logFactorialCoverage(), pooled.censusSize());
    EXPECT_EQ(curve.back().theE, 3.0);
}

// Each long computation across collections: a clear flag changes no figure
// (bit for bit), a set flag stops it with ComputationCancelled.
struct CancelRow
{
    const char *label;
    std::function<std::vector<double>(const std::atomic<bool> *)> compute;
};

std::vector<double> curveFigures(const std::vector<Rarefaction> &curve)
{
    std::vector<double> figures;
    for (const Rarefaction &point : curve) {
        figures.insert(figures.end(), {static_cast<double>(point.theSampleSize), point.theE,
                                       point.theVar, point.lower95, point.upper99});
    }
    return figures;
}

TEST_F(SampleRarefactionTest, CancelFlag)
{
    const std::vector<int> occurrences = {1, 1, 2, 3, 5, 8, 8, 2, 1, 4};
    const auto group = [&](const std::atomic<bool> *cancel) {
        EcoCollectionGroup made = groupWithOccurrences(occurrences, 8);
        made.stopWhenSet(cancel);
        return made;
    };
    const std::vector<CancelRow> rows = {
        {"Chao-2", [&](auto cancel) { return std::vector<double>{group(cancel).chao2()}; }},
        {"sample-based curve",
         [&](auto cancel) { return curveFigures(group(cancel).sampleBasedRarefactionCurve()); }},
        {"pooled individual-based curve",
         [&](auto cancel) {
             EcoCollectionGroup made = group(cancel);
             return curveFigures(
                 EcoCollection::initFromAbundanceArray(made.createSummedAbundanceList())
                     .individualBasedRarefactionCurve(cancel));
         }},
    };
    const std::atomic<bool> clear{false};
    const std::atomic<bool> set{true};
    for (const CancelRow &row : rows) {
        SCOPED_TRACE(row.label);
        const std::vector<double> unflagged = row.compute(nullptr);
        ASSERT_FALSE(unflagged.empty());
        const std::vector<double> flagged = row.compute(&clear);
        ASSERT_EQ(flagged.size(), unflagged.size());
        for (std::size_t i = 0; i < flagged.size(); ++i) {
            EXPECT_TRUE(sameMeasure(flagged[i], unflagged[i])) << i;
        }
        EXPECT_THROW(row.compute(&set), ComputationCancelled);
    }
}

} // namespace
} // namespace quorvella
