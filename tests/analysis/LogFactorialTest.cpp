#include "analysis/LogFactorial.h"

#include "analysis/Cancellation.h"

#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

namespace quorvella {
namespace {

class LogFactorialTest : public ::testing::Test
{
protected:
    void SetUp() override { initLogFactorial(30000); }
};

TEST_F(LogFactorialTest, EntriesAreTheRunningSumOfLogarithms)
{
    EXPECT_EQ(logFactorial(0), 0.0);
    EXPECT_EQ(logFactorial(1), 0.0);
    EXPECT_EQ(logFactorial(2), std::log(2.0));
    EXPECT_NEAR(logFactorial(10), std::log(3628800.0), 1e-12);
    EXPECT_NEAR(logFactorial(30000), std::lgamma(30001.0), 1e-7);
    EXPECT_EQ(logFactorialCoverage(), 30000);
}

struct FactRow
{
    std::int64_t N, Ni, m;
    double expected;
    double tolerance = 1e-13; // the running sum carries rounding that grows with N
};

TEST_F(LogFactorialTest, FactIsTheBinomialRatio)
{
    const std::vector<FactRow> rows = {
        {10, 3, 8, 0.0},         // only 7 specimens are not of the species
        {10, 3, 7, 1.0 / 120.0}, // C(7,7) / C(10,7)
        {10, 0, 10, 1.0},        // a species of none is always missed
        {10, 0, 4, 1.0},         //
        {10, 4, 0, 1.0},         // an empty subsample misses everything
        {10, 1, 10, 0.0},        // the whole collection holds every species
        {12, 5, 2, 21.0 / 66.0}, // C(7,2) / C(12,2)
        {30000, 1, 1, 29999.0 / 30000.0, 1e-9},
    };
    for (const FactRow &row : rows) {
        EXPECT_NEAR(fact(row.N, row.Ni, row.m), row.expected, row.tolerance)
            << row.N << ", " << row.Ni << ", " << row.m;
    }
}

TEST_F(LogFactorialTest, RebuildingLeavesEveryEntryUnchanged)
{
    const std::vector<double> first(logFactorialTable().begin(), logFactorialTable().end());
    initLogFactorial(30000);
    const std::vector<double> second(logFactorialTable().begin(), logFactorialTable().end());
    EXPECT_EQ(first, second);
}

TEST_F(LogFactorialTest, GrowingGivesTheEntriesOfAFreshLargerTable)
{
    ensureLogFactorialCovers(100000);
    ASSERT_EQ(logFactorialCoverage(), 100000);
    const std::vector<double> grown(logFactorialTable().begin(), logFactorialTable().end());
    initLogFactorial(100000);
    const std::vector<double> fresh(logFactorialTable().begin(), logFactorialTable().end());
    EXPECT_EQ(grown, fresh);

    ensureLogFactorialCovers(10); // never shrinks
    EXPECT_EQ(logFactorialCoverage(), 100000);
}

// Growth in steps that a cancel flag stops: a set flag leaves the table as
// it was, a clear one grows it to the same entries; readers on other
// threads meanwhile see the entries they were promised, unmoved.
TEST_F(LogFactorialTest, GrowthStopsWhenCancelledAndKeepsReadersEntries)
{
    const std::atomic<bool> set{true};
    const std::atomic<bool> clear{false};
    const double *entries = logFactorialTable().data();
    EXPECT_THROW(ensureLogFactorialCovers(3'000'000, &set), ComputationCancelled);
    EXPECT_EQ(logFactorialCoverage(), 30000);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop) {
            ASSERT_EQ(logFactorialTable()[30000], entries[30000]);
        }
    });
    ensureLogFactorialCovers(3'000'000, &clear);
    stop = true;
    reader.join();
    EXPECT_EQ(logFactorialTable().data(), entries); // never moved
    EXPECT_NEAR(logFactorial(3'000'000), std::lgamma(3'000'001.0), 1e-3);
}

TEST_F(LogFactorialTest, ReadsBeyondTheTableGrowItFirst)
{
    EXPECT_NEAR(logFactorial(40000), std::lgamma(40001.0), 1e-6);
    EXPECT_GE(logFactorialCoverage(), 40000);
    EXPECT_NEAR(fact(50000, 1, 1), 49999.0 / 50000.0, 1e-9);
    EXPECT_GE(logFactorialCoverage(), 50000);
}

TEST_F(LogFactorialTest, DeallocKeepsTheTableForOtherDocuments)
{
    deallocLogFactorial();
    EXPECT_EQ(logFactorialCoverage(), 30000);
    EXPECT_EQ(logFactorial(2), std::log(2.0));
}

TEST_F(LogFactorialTest, RefusesIndicesOutsideWhatItCanHold)
{
    EXPECT_THROW(logFactorial(-1), std::invalid_argument);
    EXPECT_THROW(fact(10, 2, -1), std::invalid_argument);
    EXPECT_THROW(fact(10, -2, 3), std::invalid_argument);
    EXPECT_THROW(ensureLogFactorialCovers(kLogFactorialLimit + 1), std::invalid_argument);
    EXPECT_EQ(logFactorialCoverage(), 30000);
}

} // namespace
} // namespace quorvella
