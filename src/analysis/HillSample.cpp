#include "analysis/HillSample.h"

#include "analysis/ChaoEstimators.h"
#include "analysis/HypergeometricSums.h"
#include "analysis/ShannonTail.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quorvella {

ReferenceTables::ReferenceTables(std::int64_t referenceSize)
    : size(referenceSize), kLogK(static_cast<std::size_t>(referenceSize) + 1, 0.0),
      harmonicTail(static_cast<std::size_t>(referenceSize) + 1, 0.0)
{
    for (std::int64_t k = 2; k <= referenceSize; ++k) {
        const double kd = static_cast<double>(k);
        kLogK[static_cast<std::size_t>(k)] = kd * std::log(kd);
    }
    // Summed from the small terms up, so every tail keeps its digits.
    for (std::int64_t k = referenceSize - 1; k >= 1; --k) {
        harmonicTail[static_cast<std::size_t>(k)] =
            harmonicTail[static_cast<std::size_t>(k + 1)] + 1.0 / static_cast<double>(k);
    }
}

HillSample::HillSample(DiversityDataType type, std::vector<std::int64_t> frequencies,
                       std::shared_ptr<const ReferenceTables> tables)
    : type_(type), tables_(std::move(tables)), N_(tables_->size)
{
    std::map<std::int64_t, std::int64_t> counts;
    for (const std::int64_t x : frequencies) {
        if (x > 0) {
            ++counts[x];
            U_ += x;
            ++richness_;
            sumPairs_ += static_cast<double>(x) * static_cast<double>(x - 1);
        }
    }
    for (const auto &[value, count] : counts) {
        classes_.push_back({value, static_cast<double>(count)});
    }
    f1_ = counts.contains(1) ? counts[1] : 0;
    f2_ = counts.contains(2) ? counts[2] : 0;

    const double n = static_cast<double>(N_);
    const double f1 = static_cast<double>(f1_);
    const double f2 = static_cast<double>(f2_);
    const UndetectedSpecies undetected = undetectedSpecies(n, f1, f2);
    f0_ = undetected.f0;
    aPrime_ = undetected.coverageFactor;

    observed_ = observed();
    shannonBeforeReference_ = N_ >= 2 ? interpolated(N_ - 1).D[1] : observed_.D[1];
    const double shannon = shannonAsymptotic();
    const double simpson = simpsonSum();
    // Without a species seen twice the q = 2 estimate is unbounded; the
    // q = 1 estimate, an upper limit of it for every assemblage, stands in.
    asymptotic_ = {static_cast<double>(richness_) + f0_, shannon,
                   simpson > 0 ? 1.0 / simpson : shannon};
}

double HillSample::sizeInWeightUnits(double m) const
{
    return type_ == DiversityDataType::Abundance
               ? m
               : m * static_cast<double>(U_) / static_cast<double>(N_);
}

HillPoint HillSample::interpolated(std::int64_t m) const
{
    const double n = static_cast<double>(N_);
    const double md = static_cast<double>(m);
    const double um = sizeInWeightUnits(md);
    const double logUm = std::log(um);
    double richness = 0.0;
    double entropySum = 0.0;
    double squareSum = 0.0;
    double coverageDeficit = 0.0;
    for (const FrequencyClass &c : classes_) {
        const HypergeometricSums sums = hypergeometricSums(N_, c.value, m, tables_->kLogK);
        const double x = static_cast<double>(c.value);
        const double meanK = md * x / n;
        richness += c.count * (1.0 - sums.probabilityOfNone);
        entropySum += c.count * (meanK * logUm - sums.meanKLogK);
        squareSum += c.count * (md * (md - 1.0) * x * (x - 1.0) / (n * (n - 1.0)) + meanK);
        if (c.value <= N_ - m) {
            // C(N - x, m) / C(N - 1, m) = P(K = 0) N / (N - m)
            coverageDeficit +=
                c.count * x / relativeWeightTotal() * sums.probabilityOfNone * n / (n - md);
        }
    }
    HillPoint point;
    // One individual (or unit) is one species of every order; the sums
    // would give 1 up to their rounding.
    point.D = m == 1 && type_ == DiversityDataType::Abundance
                  ? std::array<double, 3>{1.0, 1.0, 1.0}
                  : std::array<double, 3>{richness, std::exp(entropySum / um), um * um / squareSum};
    point.coverage = 1.0 - coverageDeficit;
    return point;
}

HillPoint HillSample::observed() const
{
    const double u = relativeWeightTotal();
    double entropy = 0.0;
    double squares = 0.0;
    for (const FrequencyClass &c : classes_) {
        const double p = static_cast<double>(c.value) / u;
        entropy -= c.count * p * std::log(p);
        squares += c.count * p * p;
    }
    HillPoint point;
    point.D = {static_cast<double>(richness_), std::exp(entropy), 1.0 / squares};
    point.coverage = 1.0 - static_cast<double>(f1_) / u * aPrime_;
    return point;
}

HillPoint HillSample::extrapolated(double mStar) const
{
    if (mStar <= 0.0) {
        return observed_;
    }
    HillPoint point;
    const double S = static_cast<double>(richness_);
    point.D[0] = f0_ > 0 ? S + f0_ * (1.0 - std::pow(aPrime_, mStar)) : S;

    const double observedShannon = observed_.D[1];
    const double gap = asymptotic_[1] - shannonBeforeReference_;
    double beta = gap != 0.0 ? (observedShannon - shannonBeforeReference_) / gap : 0.0;
    beta = std::clamp(beta, 0.0, 1.0);
    point.D[1] =
        observedShannon + (asymptotic_[1] - observedShannon) * (1.0 - std::pow(1.0 - beta, mStar));

    const double size = static_cast<double>(N_) + mStar;
    const double u = relativeWeightTotal();
    if (type_ == DiversityDataType::Abundance) {
        point.D[2] = 1.0 / (1.0 / size + (1.0 - 1.0 / size) * simpsonSum());
    } else {
        const double T = static_cast<double>(N_);
        point.D[2] = 1.0 / (T / (size * u) + (1.0 - 1.0 / size) * simpsonSum());
    }
    point.coverage = 1.0 - static_cast<double>(f1_) / u * std::pow(aPrime_, mStar + 1.0);
    return point;
}

HillPoint HillSample::at(double m) const
{
    const double n = static_cast<double>(N_);
    if (m >= n) {
        return extrapolated(m - n);
    }
    const double below = std::floor(m);
    const auto wholeBelow = static_cast<std::int64_t>(below);
    const HillPoint low = wholeBelow >= 1 ? interpolated(wholeBelow) : HillPoint{};
    if (m == below) {
        return low;
    }
    const HillPoint high = wholeBelow + 1 >= N_ ? observed_ : interpolated(wholeBelow + 1);
    const double t = m - below;
    HillPoint point;
    for (std::size_t q = 0; q < 3; ++q) {
        point.D[q] = low.D[q] + t * (high.D[q] - low.D[q]);
    }
    point.coverage = low.coverage + t * (high.coverage - low.coverage);
    return point;
}

double HillSample::coverageAtWholeSize(std::int64_t m) const
{
    if (m <= 0) {
        return 0.0;
    }
    return m >= N_ ? observed_.coverage : interpolated(m).coverage;
}

double HillSample::sizeForCoverage(double target) const
{
    const double reference = observed_.coverage;
    if (target > reference) {
        // 1 - (f1 / U) A'^(m* + 1) = target, solved for m*; reachable only
        // when 0 < A' < 1, which a coverage below 1 implies.
        const double u = relativeWeightTotal();
        const double mStar =
            std::log((1.0 - target) * u / static_cast<double>(f1_)) / std::log(aPrime_) - 1.0;
        return static_cast<double>(N_) + std::max(mStar, 0.0);
    }
    std::int64_t low = 0;   // coverage(low) <= target
    std::int64_t high = N_; // coverage(high) >= target
    double coverageLow = 0.0;
    double coverageHigh = reference;
    while (high - low > 1) {
        const std::int64_t middle = low + (high - low) / 2;
        const double c = coverageAtWholeSize(middle);
        if (c <= target) {
            low = middle;
            coverageLow = c;
        } else {
            high = middle;
            coverageHigh = c;
        }
    }
    if (coverageHigh <= coverageLow) {
        return static_cast<double>(high);
    }
    return static_cast<double>(low) + (target - coverageLow) / (coverageHigh - coverageLow);
}

double HillSample::simpsonSum() const
{
    const double n = static_cast<double>(N_);
    if (type_ == DiversityDataType::Abundance) {
        return N_ >= 2 ? sumPairs_ / (n * (n - 1.0)) : 0.0;
    }
    const double u = static_cast<double>(U_);
    return sumPairs_ / (u * u * (1.0 - 1.0 / n));
}

double HillSample::shannonAsymptotic() const
{
    const double n = static_cast<double>(N_);
    const double f1 = static_cast<double>(f1_);
    const double f2 = static_cast<double>(f2_);
    double detected = 0.0;
    for (const FrequencyClass &c : classes_) {
        if (c.value <= N_ - 1) {
            detected += c.count * static_cast<double>(c.value) / n *
                        tables_->harmonicTail[static_cast<std::size_t>(c.value)];
        }
    }
    double A = 1.0;
    if (f2_ > 0) {
        A = 2.0 * f2 / ((n - 1.0) * f1 + 2.0 * f2);
    } else if (f1_ > 0) {
        A = 2.0 / ((n - 1.0) * (f1 - 1.0) + 2.0);
    }
    const double undetected = A < 1.0 ? f1 / n * (1.0 - A) * shannonTailSeries(N_, A) : 0.0;
    const double entropy = detected + undetected;
    if (type_ == DiversityDataType::Abundance) {
        return std::exp(entropy);
    }
    const double u = static_cast<double>(U_);
    return std::exp(n / u * entropy + std::log(u / n));
}

} // namespace quorvella
