#include "analysis/AbundanceClasses.h"

#include "analysis/LogFactorial.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quorvella {
namespace {

// A table of q indexed by x up to the largest sum of two counts pays off
// while it is not much longer than the number of class pairs it serves.
constexpr std::int64_t kMinTableSize = 4096;

Rarefaction bandsFor(std::int32_t m, double expected, float variance)
{
    Rarefaction point;
    point.theSampleSize = m;
    point.theE = expected;
    // A variance that rounds below zero would make the bands not-a-number.
    if (variance < 0.0f) {
        variance = 0.0f;
    }
    point.theVar = variance;
    const double sd = std::sqrt(static_cast<double>(variance));
    point.upper95 = expected + 1.96 * sd;
    point.lower95 = std::max(static_cast<double>(static_cast<float>(expected - 1.96 * sd)), 1.0);
    point.upper99 = expected + 2.58 * sd;
    point.lower99 = std::max(static_cast<double>(static_cast<float>(expected - 2.58 * sd)), 1.0);
    return point;
}

} // namespace

AbundanceClasses::AbundanceClasses(std::span<const std::int64_t> counts, std::int64_t censusSize)
    : censusSize_(censusSize)
{
    std::map<std::int64_t, std::int64_t> countByValue;
    for (std::int64_t value : counts) {
        ++countByValue[value];
    }
    classes_.reserve(countByValue.size());
    for (const auto &[value, count] : countByValue) {
        classes_.push_back({value, static_cast<double>(count)});
    }
    findNeededAbsences();
}

// Species of equal count share q, and pairs of classes with equal sums share
// q_ij: one exponential per distinct x serves them all.
void AbundanceClasses::findNeededAbsences()
{
    const auto classCount = static_cast<std::int64_t>(classes_.size());
    if (classCount == 0) {
        return;
    }
    // q is read only at x <= N - m <= N. (A count can exceed N only when
    // negative entries lowered the census size.)
    const std::int64_t largest = std::min(2 * classes_.back().value, censusSize_);
    if (largest < 0 || largest + 1 > std::max(kMinTableSize, 4 * classCount * classCount)) {
        return;
    }
    std::vector<bool> needed(static_cast<std::size_t>(largest) + 1, false);
    for (std::size_t d = 0; d < classes_.size(); ++d) {
        if (classes_[d].value <= largest) {
            needed[static_cast<std::size_t>(classes_[d].value)] = true;
        }
        for (std::size_t e = 0; e <= d; ++e) {
            const std::int64_t x = classes_[d].value + classes_[e].value;
            if (x <= largest && (e < d || classes_[d].count > 1.0)) {
                needed[static_cast<std::size_t>(x)] = true;
            }
        }
    }
    for (std::int64_t x = 0; x <= largest; ++x) {
        if (needed[static_cast<std::size_t>(x)]) {
            neededAbsences_.push_back(x);
        }
    }
    absenceTable_.assign(static_cast<std::size_t>(largest) + 1, 0.0);
}

Rarefaction AbundanceClasses::pointAt(std::int32_t m)
{
    const Sums sums = sumsAt(m);
    return bandsFor(m, sums.expected, static_cast<float>(sums.variance()));
}

// q(x) = C(N - x, m) / C(N, m) through the table, exactly as fact() does.
double AbundanceClasses::exactAbsence(std::int64_t x) const
{
    const std::int64_t n = censusSize_;
    const double logMissing = logfact_[n - x] - logfact_[m_] - logfact_[n - x - m_];
    return std::exp(logMissing - logAllSubsamples_);
}

double AbundanceClasses::absence(std::int64_t x) const
{
    if (x > unsampled_) {
        return 0.0; // fewer specimens are left than the subsample needs
    }
    return neededAbsences_.empty() ? exactAbsence(x) : absenceTable_[static_cast<std::size_t>(x)];
}

void AbundanceClasses::prepareAbsences(std::int64_t m)
{
    const std::int64_t n = censusSize_;
    logfact_ = logFactorialTable().data();
    m_ = m;
    unsampled_ = n - m;
    logAllSubsamples_ = logfact_[n] - logfact_[m] - logfact_[n - m];

    for (std::int64_t x : neededAbsences_) {
        if (x > unsampled_) {
            break;
        }
        absenceTable_[static_cast<std::size_t>(x)] = exactAbsence(x);
    }

    classAbsence_.resize(classes_.size());
    absencePrefix_.resize(classes_.size() + 1);
    absencePrefix_[0] = 0.0;
    for (std::size_t d = 0; d < classes_.size(); ++d) {
        classAbsence_[d] = absence(classes_[d].value);
        absencePrefix_[d + 1] = absencePrefix_[d] + classes_[d].count * classAbsence_[d];
    }
}

AbundanceClasses::Sums AbundanceClasses::sumsAt(std::int64_t m)
{
    Sums sums;
    if (m > censusSize_) {
        // Every species is in the subsample: q = 0 throughout.
        for (const Class &own : classes_) {
            sums.expected += own.count;
        }
        return sums;
    }
    prepareAbsences(m);
    for (std::size_t d = 0; d < classes_.size(); ++d) {
        const double q = classAbsence_[d];
        sums.expected += classes_[d].count * (1.0 - q);
        sums.withinSpecies += classes_[d].count * ((1.0 - q) * q);
    }
    sums.betweenPairs = betweenPairSum();
    return sums;
}

// Sum over pairs of distinct species of q_ij - q_i q_j, class pair by class
// pair. Pairs whose joint count exceeds N - m are never both missed (q_ij = 0);
// their terms -q_i q_j are summed through the running totals of count * q.
double AbundanceClasses::betweenPairSum() const
{
    double sum = 0.0;
    std::size_t partners = classes_.size(); // classes e with v_e + v_d <= N - m
    for (std::size_t d = 0; d < classes_.size(); ++d) {
        const Class &own = classes_[d];
        const double qd = classAbsence_[d];
        const double samePairs = own.count * (own.count - 1.0) / 2.0;
        if (samePairs > 0.0) {
            sum += samePairs * (absence(2 * own.value) - qd * qd);
        }
        while (partners > 0 && classes_[partners - 1].value + own.value > unsampled_) {
            --partners;
        }
        const std::size_t joint = std::min(partners, d);
        double classSum = 0.0;
        for (std::size_t e = 0; e < joint; ++e) {
            const double qe = classAbsence_[e];
            classSum += classes_[e].count * (absence(own.value + classes_[e].value) - qd * qe);
        }
        classSum -= qd * (absencePrefix_[d] - absencePrefix_[joint]);
        sum += own.count * classSum;
    }
    return sum;
}

} // namespace quorvella
