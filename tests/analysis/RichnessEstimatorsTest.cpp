// The richness estimators against hand-checked examples, one row per branch
// of each formula, and the bootstrap variance against the literal pair sum.

#include "FloatExpectations.h"
#include "analysis/AbundanceEstimators.h"
#include "analysis/Cancellation.h"
#include "analysis/IncidenceEstimators.h"
#include "analysis/RichnessEstimates.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <vector>

namespace quorvella {
namespace {

using testing::sameMeasure;

constexpr std::optional<double> kNone = std::nullopt;

::testing::AssertionResult sameEstimate(const Estimate &actual, std::optional<double> expected)
{
    if (!expected) {
        if (actual.value) {
            return ::testing::AssertionFailure() << "got " << *actual.value << ", expected none";
        }
        if (actual.reason.empty()) {
            return ::testing::AssertionFailure() << "no value and no reason";
        }
        return ::testing::AssertionSuccess();
    }
    if (!actual.value) {
        return ::testing::AssertionFailure()
               << "got none (" << actual.reason << "), expected " << *expected;
    }
    return sameMeasure(*actual.value, *expected, 1e-8);
}

struct AbundanceRow
{
    const char *label;
    std::vector<std::int32_t> counts;
    int level;
    std::optional<double> chao1, se, lower, upper, ace, coverage;
};

TEST(RichnessEstimatorsTest, PerCollection)
{
    const std::vector<AbundanceRow> rows = {
        // f1 = 2, f2 = 1, n = 12: 5 + (11/12) 4 / 2; coverage 1 - (2/12)(11/12)
        {"singletons and doubletons",
         {5, 3, 1, 1, 2},
         95,
         5 + 11.0 / 6,
         3.45205253,
         5.164376151,
         25.44768109,
         6.654545455,
         1 - 22.0 / 144},
        {"the same at 99 %",
         {5, 3, 1, 1, 2},
         99,
         5 + 11.0 / 6,
         3.45205253,
         5.077040847,
         48.62765013,
         6.654545455,
         1 - 22.0 / 144},
        // f1 = 3, f2 = 0, n = 6: 4 + (5/6) 3 * 2 / 2
        {"no doubletons (f2 = 0)",
         {1, 1, 1, 3},
         95,
         6.5,
         3.654773836,
         4.307454874,
         24.32818643,
         11.6,
         1 - 0.5 * (5.0 / 6)},
        {"one singleton (f1 <= 1)", {1, 3, 4}, 95, 3, 0.5042280203, 3, 4.666428618, 3.545189504, 1},
        {"no singletons", {11, 12}, 95, 2, 0.004779405266, 2, 2.009390415, 2, 1},
        {"every rare taxon a singleton (C = 0)",
         {1, 1, 20},
         95,
         3.954545455,
         2.033008109,
         3.073499577,
         15.39676549,
         kNone,
         0.9169960474},
        {"abundant taxa outside the rare group",
         {5, 3, 1, 1, 2, 15, 0, -4},
         95,
         7.925925926,
         3.612962488,
         6.173476274,
         27.38154444,
         7.654545455,
         0.9286694102},
        {"no specimens", {0, 0}, 95, kNone, kNone, kNone, kNone, kNone, kNone},
        {"nothing at all", {}, 95, kNone, kNone, kNone, kNone, kNone, kNone},
    };
    for (const AbundanceRow &row : rows) {
        const AbundanceEstimates e =
            estimateFromAbundances(row.counts, zForConfidenceLevel(row.level));
        EXPECT_TRUE(sameEstimate(e.chao1.estimate, row.chao1)) << row.label;
        EXPECT_TRUE(sameEstimate(e.chao1.standardError, row.se)) << row.label;
        EXPECT_TRUE(sameEstimate(e.chao1.lower, row.lower)) << row.label;
        EXPECT_TRUE(sameEstimate(e.chao1.upper, row.upper)) << row.label;
        EXPECT_TRUE(sameEstimate(e.ace, row.ace)) << row.label;
        EXPECT_TRUE(sameEstimate(e.coverage, row.coverage)) << row.label;
    }
}

struct IncidenceRow
{
    const char *label;
    std::size_t units;
    std::vector<IncidenceSet> taxa;
    std::optional<double> chao2, se, lower, upper, ice, jack1, jack1Se, jack2, boot, bootSe;
};

TEST(RichnessEstimatorsTest, Group)
{
    const std::vector<IncidenceRow> rows = {
        // Q1 = Q2 = Q3 = 1. Bootstrap: pi = 8/27 and 1/27, Z = 1 for the pair
        // of the two rarer taxa: var = 178/729 + 2 (1/27 - 8/729).
        {"three collections",
         3,
         {{0, 1, 2}, {0}, {0, 1}},
         10.0 / 3,
         0.9428090416,
         3.018244815,
         9.090010391,
         3.84,
         11.0 / 3,
         2.0 / 3,
         23.0 / 6,
         10.0 / 3,
         std::sqrt(216.0 / 729)},
        // Q1 = 3 (two in the first unit), Q2 = 1; bootstrap var = 9/16 + 2/16.
        {"two collections (T = 2)",
         2,
         {{0, 1}, {0}, {1}, {0}, {}},
         6.25,
         3.75,
         4.234881026,
         25.55346516,
         14.5,
         5.5,
         0.5,
         5.5,
         4.75,
         std::sqrt(11.0 / 16)},
        {"no duplicates (Q2 = 0)",
         3,
         {{0, 1, 2}, {0}, {1, 1}},
         11.0 / 3,
         1.477097892,
         3.048908444,
         12.08727426,
         23.0 / 3,
         13.0 / 3,
         2.0 / 3,
         5,
         3.592592593,
         0.5616944773},
        {"only uniques (C = 0)",
         3,
         {{0}, {1}},
         8.0 / 3,
         std::sqrt(2.0),
         2.051585651,
         10.61566028,
         kNone,
         10.0 / 3,
         2.0 / 3,
         4,
         2.592592593,
         0.5616944773},
        // f1 = 0: the variance approximation with n = T falls below zero.
        {"everything everywhere",
         2,
         {{0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 0}},
         5,
         kNone,
         kNone,
         kNone,
         5,
         5,
         0,
         5,
         5,
         0},
        {"nothing present",
         4,
         {{}, {}},
         kNone,
         kNone,
         kNone,
         kNone,
         kNone,
         kNone,
         kNone,
         kNone,
         kNone,
         kNone},
    };
    for (const IncidenceRow &row : rows) {
        const std::optional<IncidenceEstimates> e =
            estimateFromIncidence(row.units, row.taxa, zForConfidenceLevel(95));
        ASSERT_TRUE(e) << row.label;
        EXPECT_TRUE(sameEstimate(e->chao2.estimate, row.chao2)) << row.label;
        EXPECT_TRUE(sameEstimate(e->chao2.standardError, row.se)) << row.label;
        EXPECT_TRUE(sameEstimate(e->chao2.lower, row.lower)) << row.label;
        EXPECT_TRUE(sameEstimate(e->chao2.upper, row.upper)) << row.label;
        EXPECT_TRUE(sameEstimate(e->ice, row.ice)) << row.label;
        EXPECT_TRUE(sameEstimate(e->jackknife1, row.jack1)) << row.label;
        EXPECT_TRUE(sameEstimate(e->jackknife1Se, row.jack1Se)) << row.label;
        EXPECT_TRUE(sameEstimate(e->jackknife2, row.jack2)) << row.label;
        EXPECT_TRUE(sameEstimate(e->bootstrap, row.boot)) << row.label;
        EXPECT_TRUE(sameEstimate(e->bootstrapSe, row.bootSe)) << row.label;
    }
    EXPECT_FALSE(estimateFromIncidence(1, std::vector<IncidenceSet>{{0}}, 1.96));
    EXPECT_THROW(estimateFromIncidence(2, std::vector<IncidenceSet>{{2}}, 1.96),
                 std::invalid_argument);
}

// Random groups with many repeated patterns (and more than 64 units, so that
// rows span several words) against the literal sum over pairs of taxa.
TEST(RichnessEstimatorsTest, BootstrapVarianceEqualsLiteralPairSum)
{
    std::mt19937 random(7);
    for (const std::size_t units : {2u, 5u, 70u, 130u}) {
        std::vector<IncidenceSet> taxa(60);
        for (IncidenceSet &taxon : taxa) {
            // Most taxa among the first three units: many alike.
            const auto spread = static_cast<std::uint32_t>(
                random() % 4 == 0 ? units : std::min<std::size_t>(3, units));
            for (std::uint32_t u = 0; u < spread; ++u) {
                if (random() % 3 == 0) {
                    taxon.push_back(u);
                }
            }
        }
        const double t = static_cast<double>(units);
        double variance = 0.0;
        double sum = 0.0;
        std::vector<double> pi;
        std::vector<std::set<std::uint32_t>> sets;
        for (const IncidenceSet &taxon : taxa) {
            if (!taxon.empty()) {
                sets.emplace_back(taxon.begin(), taxon.end());
                pi.push_back(std::pow(1.0 - static_cast<double>(sets.back().size()) / t, t));
                sum += pi.back();
                variance += pi.back() * (1.0 - pi.back());
            }
        }
        for (std::size_t k = 0; k < sets.size(); ++k) {
            for (std::size_t l = k + 1; l < sets.size(); ++l) {
                std::set<std::uint32_t> either = sets[k];
                either.insert(sets[l].begin(), sets[l].end());
                const double neither = t - static_cast<double>(either.size());
                variance += 2.0 * (std::pow(neither / t, t) - pi[k] * pi[l]);
            }
        }
        const auto e = estimateFromIncidence(units, taxa, 1.96);
        ASSERT_TRUE(e && e->bootstrap.value && e->bootstrapSe.value) << units;
        EXPECT_TRUE(
            sameMeasure(*e->bootstrap.value, static_cast<double>(sets.size()) + sum, 1e-12));
        EXPECT_TRUE(sameMeasure(*e->bootstrapSe.value, std::sqrt(variance), 1e-9)) << units;
    }
}

// A flag left clear changes no figure; a set flag stops the group's pair
// count (its only look at the flag) and the whole table.
TEST(RichnessEstimatorsTest, CancelFlag)
{
    RichnessInput input;
    input.collections = {{"a", {5, 1, 1, 2}}, {"b", {3, 1, 0, 1}}, {"c", {0, 2, 1, 1}}};
    input.taxa = {{0, 1}, {0, 1, 2}, {0, 2}, {0, 1, 2}};
    const std::atomic<bool> clear{false};
    const std::atomic<bool> set{true};
    const auto group = [&](const std::atomic<bool> *flag) {
        return estimateFromIncidence(3, input.taxa, 1.96, flag);
    };
    const auto table = [&](const std::atomic<bool> *flag) {
        return estimateRichness(input, 95, flag);
    };
    const auto unflagged = group(nullptr);
    ASSERT_TRUE(unflagged && unflagged->bootstrapSe.value);
    EXPECT_EQ(group(&clear)->bootstrapSe.value, unflagged->bootstrapSe.value);
    EXPECT_EQ(group(&clear)->chao2.estimate.value, unflagged->chao2.estimate.value);
    EXPECT_EQ(table(&clear).collections[0].estimates.ace.value,
              table(nullptr).collections[0].estimates.ace.value);
    EXPECT_THROW(group(&set), ComputationCancelled);
    EXPECT_THROW(table(&set), ComputationCancelled);
}

} // namespace
} // namespace quorvella
