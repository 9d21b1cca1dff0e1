// Hill numbers against oracles that evaluate the defining sums literally
// (every k, binomial coefficients through lgamma), a hand-worked sample,
// the degenerate samples, and the bootstrap's reproducibility and accuracy.

#include "analysis/HillNumbers.h"

#include "analysis/DiversityBootstrap.h"
#include "analysis/HillSample.h"
#include "analysis/NormalQuantile.h"
#include "analysis/ShannonTail.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace quorvella {
namespace {

::testing::AssertionResult relativelyClose(double actual, double expected, double tolerance)
{
    // Relative, with an absolute floor for values that are exactly zero.
    if (std::abs(actual - expected) <= tolerance * std::abs(expected) + 1e-14) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got " << actual << ", expected " << expected << " (relative difference "
           << std::abs(actual - expected) / std::abs(expected) << ")";
}

double logChoose(double a, double b)
{
    if (b < 0 || b > a) {
        return -INFINITY;
    }
    return std::lgamma(a + 1) - std::lgamma(b + 1) - std::lgamma(a - b + 1);
}

// The definitions, term by term.
struct LiteralSample
{
    std::vector<std::int64_t> x;
    bool incidence = false;
    double T = 0;

    double N() const { return incidence ? T : U(); }
    double U() const { return std::accumulate(x.begin(), x.end(), 0.0); }
    double count(std::int64_t k) const
    {
        return static_cast<double>(std::count(x.begin(), x.end(), k));
    }
    double f0() const
    {
        const double n = N(), f1 = count(1), f2 = count(2);
        return f2 > 0 ? (n - 1) / n * f1 * f1 / (2 * f2) : (n - 1) / n * f1 * (f1 - 1) / 2;
    }
    double aPrime() const
    {
        const double f1 = count(1);
        return f1 > 0 ? N() * f0() / (N() * f0() + f1) : 1.0;
    }

    std::array<double, 3> interpolated(double m) const
    {
        const double n = N();
        const double um = incidence ? m * U() / T : m;
        double d0 = 0, h = 0, s = 0;
        for (double k = 1; k <= m; ++k) {
            double fk = 0;
            for (const std::int64_t xi : x) {
                fk += std::exp(logChoose(static_cast<double>(xi), k) +
                               logChoose(n - static_cast<double>(xi), m - k) - logChoose(n, m));
            }
            d0 += fk;
            h -= k / um * std::log(k / um) * fk;
            s += (k / um) * (k / um) * fk;
        }
        return {d0, std::exp(h), 1 / s};
    }
    double coverage(double m) const
    {
        const double n = N();
        if (m >= n) {
            return 1 - count(1) / U() * std::pow(aPrime(), m - n + 1);
        }
        double deficit = 0;
        for (const std::int64_t xi : x) {
            const auto xd = static_cast<double>(xi);
            if (xd <= n - m) {
                deficit += xd / U() * std::exp(logChoose(n - xd, m) - logChoose(n - 1, m));
            }
        }
        return 1 - deficit;
    }
    std::array<double, 3> observed() const
    {
        double h = 0, s = 0;
        for (const std::int64_t xi : x) {
            const double p = static_cast<double>(xi) / U();
            h -= p * std::log(p);
            s += p * p;
        }
        return {static_cast<double>(x.size()), std::exp(h), 1 / s};
    }
    double pairs() const
    {
        double sum = 0;
        for (const std::int64_t xi : x) {
            sum += static_cast<double>(xi) * static_cast<double>(xi - 1);
        }
        return sum;
    }
    double shannon() const
    {
        const double n = N(), f1 = count(1), f2 = count(2);
        long double detected = 0;
        for (const std::int64_t xi : x) {
            for (std::int64_t k = xi; k <= static_cast<std::int64_t>(n) - 1; ++k) {
                detected += static_cast<long double>(xi) / n / k;
            }
        }
        const double A = f2 > 0   ? 2 * f2 / ((n - 1) * f1 + 2 * f2)
                         : f1 > 0 ? 2 / ((n - 1) * (f1 - 1) + 2)
                                  : 1;
        // (1 - A)^(1 - n) (-ln A - sum_{r<n} (1 - A)^r / r) = sum_{r>=n} (1 - A)^(r-n+1) / r
        long double tail = 0;
        const long double r = 1.0L - A;
        long double power = r;
        for (long double k = n; A < 1 && power > 1e-30L; k += 1) {
            tail += power / k;
            power *= r;
        }
        const long double entropy = detected + f1 / n * tail;
        return incidence ? std::exp(static_cast<double>(T / U() * entropy) + std::log(U() / T))
                         : std::exp(static_cast<double>(entropy));
    }
    std::array<double, 3> asymptotic() const
    {
        const double n = N(), u = U();
        const double simpson =
            incidence ? pairs() * T / (u * u * (T - 1)) : pairs() / (n * (n - 1));
        return {static_cast<double>(x.size()) + f0(), shannon(),
                simpson > 0 ? 1 / simpson : shannon()};
    }
    std::array<double, 3> extrapolated(double mStar) const
    {
        const double n = N(), u = U(), m = n + mStar;
        const double d0 =
            static_cast<double>(x.size()) + (f0() > 0 ? f0() * (1 - std::pow(aPrime(), mStar)) : 0);
        const double before = interpolated(n - 1)[1], obs = observed()[1], asy = shannon();
        const double beta =
            std::clamp(asy == before ? 0 : (obs - before) / (asy - before), 0.0, 1.0);
        const double d1 = obs + (asy - obs) * (1 - std::pow(1 - beta, mStar));
        const double d2 = incidence
                              ? 1 / (T / (m * u) + (1 - 1 / m) * pairs() / (u * u * (1 - 1 / T)))
                              : 1 / (1 / m + (1 - 1 / m) * (n > 1 ? pairs() / (n * (n - 1)) : 0));
        return {d0, d1, d2};
    }
};

DiversitySample sampleOf(const LiteralSample &literal)
{
    DiversitySample sample;
    sample.name = "oracle";
    sample.frequencies = literal.x;
    if (literal.incidence) {
        sample.dataType = DiversityDataType::Incidence;
        sample.units = static_cast<std::int64_t>(literal.T);
    }
    return sample;
}

// About 25 sizes below the reference size, the reference size and three
// beyond it.
DiversityOptions everySize(std::int64_t reference, std::vector<double> targets = {})
{
    DiversityOptions options;
    options.bootstrapReplicates = 0;
    for (std::int64_t m = 1; m < reference; m += std::max<std::int64_t>(1, reference / 25)) {
        options.sizes.push_back(m);
    }
    for (const std::int64_t m : {reference, reference + 1, 2 * reference, 3 * reference}) {
        if (options.sizes.empty() || m > options.sizes.back()) {
            options.sizes.push_back(m);
        }
    }
    options.coverageTargets = std::move(targets);
    return options;
}

void expectAgreesWithOracle(const LiteralSample &literal, double tolerance)
{
    const DiversityProfile profile =
        estimateDiversity(sampleOf(literal), everySize(std::int64_t(literal.N())));
    const double n = literal.N();
    for (const SizeBasedEstimate &row : profile.sizeBased) {
        const auto m = static_cast<double>(row.m);
        const std::array<double, 3> expected = m < n    ? literal.interpolated(m)
                                               : m == n ? literal.observed()
                                                        : literal.extrapolated(m - n);
        SCOPED_TRACE("m = " + std::to_string(row.m) + ", q = " + std::to_string(row.q));
        EXPECT_TRUE(relativelyClose(row.D, expected[static_cast<std::size_t>(row.q)], tolerance));
        EXPECT_TRUE(relativelyClose(row.coverage, literal.coverage(m), tolerance));
    }
    for (const AsymptoticEstimate &row : profile.asymptotic) {
        EXPECT_TRUE(relativelyClose(
            row.estimate, literal.asymptotic()[static_cast<std::size_t>(row.q)], tolerance));
    }
}

TEST(HillNumbers, RandomSmallSamplesAgreeWithTheLiteralSums)
{
    std::mt19937_64 random(7);
    for (int trial = 0; trial < 40; ++trial) {
        LiteralSample literal;
        literal.incidence = trial % 2 == 1;
        literal.T = static_cast<double>(2 + random() % 14);
        const std::size_t species = 1 + random() % 12;
        for (std::size_t i = 0; i < species; ++i) {
            const std::int64_t skewed = 1 + static_cast<std::int64_t>(random() % 5) *
                                                static_cast<std::int64_t>(random() % 8);
            literal.x.push_back(
                literal.incidence ? 1 + skewed % static_cast<std::int64_t>(literal.T) : skewed);
        }
        SCOPED_TRACE("trial " + std::to_string(trial));
        expectAgreesWithOracle(literal, 1e-10);
    }
}

// X = (3, 2, 1, 1): n = 7, f1 = 2, f2 = 1, f0 = 12/7, A' = 6/7.
TEST(HillNumbers, HandWorkedSample)
{
    const std::int32_t counts[] = {3, 2, 1, 1};
    DiversityOptions options;
    options.sizes = {1, 2, 7, 14};
    options.bootstrapReplicates = 0;
    const DiversityProfile p = estimateDiversity(abundanceSample("hand", counts), options);
    const auto at = [&p](std::int64_t m, int q) {
        for (const SizeBasedEstimate &row : p.sizeBased) {
            if (row.m == m && row.q == q) {
                return row;
            }
        }
        return SizeBasedEstimate{};
    };
    struct Expected
    {
        double actual;
        double value;
    };
    const double sixSevenths7 = 279936.0 / 823543.0;
    for (const auto &[actual, value] : std::vector<Expected>{
             {p.coverage, 37.0 / 49.0},
             {p.asymptotic[0].estimate, 40.0 / 7.0},
             {p.asymptotic[2].estimate, 42.0 / 8.0},
             {p.asymptotic[2].observed, 49.0 / 15.0},
             {at(1, 0).D, 1.0},
             {at(1, 2).D, 1.0},
             {at(1, 0).coverage, 4.0 / 21.0},
             {at(2, 0).D, 38.0 / 21.0},
             {at(7, 1).D,
              std::exp(-(3 * std::log(3 / 7.0) + 2 * std::log(2 / 7.0) + 2 * std::log(1 / 7.0)) /
                       7)},
             {at(14, 0).D, 4 + 12.0 / 7.0 * (1 - sixSevenths7)},
             {at(14, 2).D, 588.0 / 146.0},
             {at(14, 0).coverage, 1 - 2.0 / 7.0 * sixSevenths7 * 6.0 / 7.0},
         }) {
        EXPECT_TRUE(relativelyClose(actual, value, 1e-13));
    }
    EXPECT_EQ(at(2, 0).method, EstimateMethod::Interpolated);
    EXPECT_EQ(at(7, 0).method, EstimateMethod::Observed);
    EXPECT_EQ(at(14, 0).method, EstimateMethod::Extrapolated);
}

// Each degenerate sample gives finite numbers; where the estimators leave a
// value open, the documented choice is checked.
TEST(HillNumbers, DegenerateSamples)
{
    struct Case
    {
        const char *name;
        std::vector<std::int64_t> x;
        std::int64_t units; // 0: abundance
        std::array<double, 3> asymptotic;
        double coverage;
    };
    const double singletonsShannon = LiteralSample{{1, 1, 1, 1, 1}}.shannon();
    const std::vector<Case> cases = {
        {"f2 = 0",
         {5, 1, 1, 1},
         0,
         {4 + 7 / 8.0 * 3, LiteralSample{{5, 1, 1, 1}}.shannon(), 56 / 20.0},
         1 - 3 / 8.0 * (21 / 8.0 * 8 / 24.0)},
        {"f1 = 0", {2, 2, 3}, 0, {3, LiteralSample{{2, 2, 3}}.shannon(), 42 / 10.0}, 1},
        {"only singletons",
         {1, 1, 1, 1, 1},
         0,
         {5 + 8, singletonsShannon, singletonsShannon},
         1 - 8 / 9.0},
        {"one species", {9}, 0, {1, 1, 1}, 1},
        {"one individual", {1}, 0, {1, 1, 1}, 1},
        {"incidence everywhere", {3, 3}, 3, {2, 2, 2}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LiteralSample literal{c.x, c.units > 0, static_cast<double>(c.units)};
        DiversityOptions options = everySize(std::int64_t(literal.N()), {0.5, 0.999});
        options.bootstrapReplicates = 20;
        const DiversityProfile p = estimateDiversity(sampleOf(literal), options);
        for (std::size_t q = 0; q < 3; ++q) {
            EXPECT_TRUE(relativelyClose(p.asymptotic[q].estimate, c.asymptotic[q], 1e-12));
        }
        EXPECT_TRUE(relativelyClose(p.coverage, c.coverage, 1e-12));
        for (const SizeBasedEstimate &row : p.sizeBased) {
            EXPECT_TRUE(std::isfinite(row.D) && std::isfinite(row.coverage) &&
                        std::isfinite(row.lower) && std::isfinite(row.upper));
        }
        for (const CoverageBasedEstimate &row : p.coverageBased) {
            EXPECT_TRUE(std::isfinite(row.m) && std::isfinite(row.D));
        }
    }
}

TEST(HillNumbers, AssemblagesThatCannotBeEstimated)
{
    const std::int32_t none[] = {0, 0};
    const std::int32_t some[] = {1, 2};
    const std::vector<DiversitySample> samples = {
        abundanceSample("empty", none), incidenceSample("one unit", some, 1),
        incidenceSample("too many", some, 1), abundanceSample("fine", some)};
    DiversityOptions options;
    options.bootstrapReplicates = 3;
    const std::vector<DiversityOutcome> outcomes = estimateDiversityOfAll(samples, options);
    EXPECT_NE(outcomes[0].problem.find("no species was counted"), std::string::npos);
    EXPECT_NE(outcomes[1].problem.find("at least two sampling units"), std::string::npos);
    EXPECT_FALSE(outcomes[2].profile);
    ASSERT_TRUE(outcomes[3].profile);
    EXPECT_EQ(outcomes[3].profile->name, "fine");
    EXPECT_THROW(estimateDiversity(samples[0], options), DiversityInputError);
}

// The coverage reached at the size found for a target is the target, below
// and above the reference size, for both kinds of data.
TEST(HillNumbers, CoverageBasedSizesReachTheirTargets)
{
    const std::vector<double> targets = {0.3, 0.6, 0.8, 0.9, 0.95, 0.99};
    for (const LiteralSample &literal : {LiteralSample{{30, 12, 7, 3, 2, 2, 1, 1, 1, 1}},
                                         LiteralSample{{9, 5, 3, 2, 1, 1, 1}, true, 10}}) {
        DiversityOptions options;
        options.coverageTargets = targets;
        options.bootstrapReplicates = 0;
        const DiversityProfile p = estimateDiversity(sampleOf(literal), options);
        for (const CoverageBasedEstimate &row : p.coverageBased) {
            const auto coverage = [&literal](double m) {
                return m == 0 ? 0.0 : literal.coverage(m);
            };
            const double m = row.m;
            const double below = std::floor(m);
            const double reached =
                m >= literal.N()
                    ? coverage(m)
                    : coverage(below) + (m - below) * (coverage(below + 1) - coverage(below));
            SCOPED_TRACE("target " + std::to_string(row.targetCoverage));
            EXPECT_NEAR(reached, row.targetCoverage, 1e-10);
            EXPECT_EQ(row.method, row.m < literal.N() ? EstimateMethod::Interpolated
                                                      : EstimateMethod::Extrapolated);
        }
    }
}

// The series of the Shannon estimator's undetected term against a long
// double sum of its terms, in every regime of its evaluation.
TEST(HillNumbers, ShannonTailSeriesInEveryRegime)
{
    struct Case
    {
        std::int64_t N;
        double A;
    };
    for (const Case c : std::vector<Case>{{1, 0.5},
                                          {7, 1.0 / 7},
                                          {50, 0.9},
                                          {80, 1e-4},
                                          {150, 2e-4},
                                          {100, 0.02},
                                          {99, 0.02},
                                          {1000, 1e-5},
                                          {250000, 8e-6},
                                          {250000, 4e-5},
                                          {250000, 1e-3}}) {
        long double sum = 0, power = 1;
        for (long double j = 0; power / (c.N + j) > 1e-22L * sum; j += 1) {
            sum += power / (c.N + j);
            power *= 1.0L - c.A;
        }
        SCOPED_TRACE("N = " + std::to_string(c.N) + ", A = " + std::to_string(c.A));
        EXPECT_TRUE(relativelyClose(shannonTailSeries(c.N, c.A), static_cast<double>(sum), 1e-13));
    }
}

TEST(HillNumbers, NormalQuantiles)
{
    struct Case
    {
        double p;
        double x;
    };
    for (const Case c : std::vector<Case>{{0.975, 1.959963984540054},
                                          {0.995, 2.5758293035489004},
                                          {0.5, 0.0},
                                          {0.95, 1.6448536269514722},
                                          {0.01, -2.3263478740408408},
                                          {1e-10, -6.361340902404056}}) {
        EXPECT_NEAR(normalQuantile(c.p), c.x, 2e-15 * std::max(1.0, std::abs(c.x)));
    }
}

TEST(HillNumbers, DefaultSizes)
{
    EXPECT_EQ(defaultDiversitySizes(100, 200, 6),
              (std::vector<std::int64_t>{1, 99, 100, 101, 150, 200}));
    EXPECT_EQ(defaultDiversitySizes(100, 50, 3), (std::vector<std::int64_t>{1, 25, 50}));
    EXPECT_EQ(defaultDiversitySizes(3, 6, 40), (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(defaultDiversitySizes(1, 2, 40), (std::vector<std::int64_t>{1, 2}));
    const std::vector<std::int64_t> sizes = defaultDiversitySizes(21457, 42914, 40);
    EXPECT_EQ(sizes.size(), 40u);
    EXPECT_EQ(sizes[19], 21457);
}

TEST(HillNumbers, RefusedOptions)
{
    const std::vector<std::function<void(DiversityOptions &)>> changes = {
        [](DiversityOptions &o) { o.orders = {3}; },
        [](DiversityOptions &o) { o.orders = {}; },
        [](DiversityOptions &o) {
            o.orders = {1, 1};
        },
        [](DiversityOptions &o) { o.sizes = {0}; },
        [](DiversityOptions &o) { o.endpoint = 0; },
        [](DiversityOptions &o) { o.knots = 0; },
        [](DiversityOptions &o) { o.coverageTargets = {1.0}; },
        [](DiversityOptions &o) { o.coverageTargets = {NAN}; },
        [](DiversityOptions &o) { o.bootstrapReplicates = 10001; },
        [](DiversityOptions &o) { o.level = 1.0; },
    };
    for (const auto &change : changes) {
        DiversityOptions options;
        change(options);
        EXPECT_THROW(validateDiversityOptions(options), std::invalid_argument);
    }
}

} // namespace
} // namespace quorvella
