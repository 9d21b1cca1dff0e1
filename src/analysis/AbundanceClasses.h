#pragma once

// Individual-based rarefaction evaluated over classes of equal abundance.
// Species with the same count share every term of the variance sum, so the
// pairs of species collapse into pairs of distinct counts: the cost per point
// grows with the square of the number of distinct counts, not of species.
// Internal to the analysis layer.

#include "analysis/Rarefaction.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quorvella {

class AbundanceClasses
{
public:
    // counts: the abundance of every species present (all > 0); censusSize: N,
    // which the log-factorial table must already cover.
    AbundanceClasses(std::span<const std::int64_t> counts, std::int64_t censusSize);

    // The rarefaction point for a subsample of m >= 0 specimens.
    Rarefaction pointAt(std::int32_t m);

    // The double-precision sums behind one point, with q_i the chance that
    // species i is missing from the subsample and q_ij that both are.
    struct Sums
    {
        double expected = 0.0;      // sum of 1 - q_i
        double withinSpecies = 0.0; // sum of (1 - q_i) q_i
        double betweenPairs = 0.0;  // sum over pairs of q_ij - q_i q_j
        double variance() const { return withinSpecies + 2.0 * betweenPairs; }
    };
    Sums sumsAt(std::int64_t m);

private:
    struct Class
    {
        std::int64_t value;
        double count;
    };

    void findNeededAbsences();
    void prepareAbsences(std::int64_t m);
    double exactAbsence(std::int64_t x) const;
    double absence(std::int64_t x) const;
    double betweenPairSum() const;

    std::vector<Class> classes_; // ascending by value
    std::int64_t censusSize_;
    // Every count and sum of two counts the sums read q at, ascending, when a
    // table indexed by them is affordable; empty otherwise.
    std::vector<std::int64_t> neededAbsences_;

    // State of the point being computed.
    const double *logfact_ = nullptr;
    std::int64_t m_ = 0;
    std::int64_t unsampled_ = 0; // N - m
    double logAllSubsamples_ = 0.0;
    std::vector<double> absenceTable_;  // q(x) at the needed x of this point
    std::vector<double> classAbsence_;  // q of each class
    std::vector<double> absencePrefix_; // sum of count * q over the classes before
};

} // namespace quorvella
