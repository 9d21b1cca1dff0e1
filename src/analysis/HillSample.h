#pragma once

// The point estimates of Hill numbers for one sample (internal to the
// analysis library): interpolation and extrapolation in size, sample
// coverage, the asymptotic estimates and the size at a given coverage.
// Abundance and incidence data share every step; they differ only in the
// weights named below (n -> T, X_i -> Y_i, with U taking n's place where the
// relative frequencies enter).

#include "analysis/HillNumbers.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorvella {

// Tables that depend only on the reference size N (n or T), shared by a
// sample and all its bootstrap replicates.
struct ReferenceTables
{
    explicit ReferenceTables(std::int64_t referenceSize);

    std::int64_t size;
    std::vector<double> kLogK;        // k ln k, k = 0..N
    std::vector<double> harmonicTail; // sum_{j=k}^{N-1} 1/j, k = 0..N (0 at N)
};

// Hill numbers of order 0, 1, 2 and the sample coverage at one size.
struct HillPoint
{
    std::array<double, 3> D{};
    double coverage = 0;
};

class HillSample
{
public:
    // frequencies: the nonzero counts (or incidences); tables.size is n (or T).
    HillSample(DiversityDataType type, std::vector<std::int64_t> frequencies,
               std::shared_ptr<const ReferenceTables> tables);

    DiversityDataType dataType() const { return type_; }
    std::int64_t referenceSize() const { return N_; }
    std::int64_t total() const { return U_; } // n, or U
    std::int64_t observedRichness() const { return richness_; }
    std::int64_t singletons() const { return f1_; }
    std::int64_t doubletons() const { return f2_; }
    double undetectedEstimate() const { return f0_; }           // f0-hat (Q0-hat)
    double undetectedCoverageFactor() const { return aPrime_; } // A'

    // At a whole size 1 <= m < N.
    HillPoint interpolated(std::int64_t m) const;
    // At the reference size.
    HillPoint observed() const;
    // At N + mStar, mStar >= 0 (real).
    HillPoint extrapolated(double mStar) const;
    // At a real size m >= 0: linear between the neighbouring whole sizes
    // below N (with 0 at size 0), the extrapolation above.
    HillPoint at(double m) const;
    // Sample coverage at a whole size 0 <= m <= N.
    double coverageAtWholeSize(std::int64_t m) const;

    std::array<double, 3> asymptotic() const { return asymptotic_; }

    // The real size at which the coverage reaches target (0 < target < 1),
    // found by bisection over whole sizes and linear interpolation below N
    // and in closed form above.
    double sizeForCoverage(double target) const;

private:
    struct FrequencyClass
    {
        std::int64_t value;
        double count;
    };

    double relativeWeightTotal() const { return static_cast<double>(U_); }
    double sizeInWeightUnits(double m) const; // m, or m U / T
    double shannonAsymptotic() const;
    double simpsonSum() const; // sum X(X-1) / (n(n-1)), or the incidence form

    DiversityDataType type_;
    std::shared_ptr<const ReferenceTables> tables_;
    std::vector<FrequencyClass> classes_;
    std::int64_t N_ = 0;
    std::int64_t U_ = 0;
    std::int64_t richness_ = 0;
    std::int64_t f1_ = 0;
    std::int64_t f2_ = 0;
    double sumPairs_ = 0; // sum X(X-1)
    double f0_ = 0;
    double aPrime_ = 1;
    HillPoint observed_;
    double shannonBeforeReference_ = 0; // interpolated q = 1 at N - 1
    std::array<double, 3> asymptotic_{};
};

} // namespace quorvella
