#include "analysis/IncidenceEstimators.h"

#include "analysis/FrequencyCounts.h"
#include "analysis/IncidencePatterns.h"

#include <cmath>

namespace quorvella {
namespace {

// Y_k of every taxon present somewhere, pattern by pattern.
std::vector<std::int32_t> occurrencesOfTaxa(const IncidencePatterns &patterns)
{
    std::vector<std::int32_t> occurrences;
    for (std::size_t p = 0; p < patterns.patternCount(); ++p) {
        occurrences.insert(occurrences.end(), static_cast<std::size_t>(patterns.weight(p)),
                           patterns.occurrences(p));
    }
    return occurrences;
}

// Heltshe & Forrester (1983): S + Q1 (T - 1) / T with the variance
// (T - 1) / T * (sum_j j^2 u_j - Q1^2 / T), u_j the units holding exactly j
// uniques: the spread of the uniques over the units.
void firstOrderJackknife(IncidenceEstimates &result, const IncidencePatterns &patterns, double q1)
{
    std::vector<double> uniquesInUnit(patterns.units(), 0.0);
    for (std::size_t p = 0; p < patterns.patternCount(); ++p) {
        if (patterns.occurrences(p) == 1) {
            uniquesInUnit[patterns.firstUnit(p)] += patterns.weight(p);
        }
    }
    double squares = 0.0;
    for (const double uniques : uniquesInUnit) {
        squares += uniques * uniques;
    }
    const double t = static_cast<double>(patterns.units());
    const double variance = (t - 1.0) / t * (squares - q1 * q1 / t);
    result.jackknife1 = Estimate::of(result.observed + q1 * (t - 1.0) / t);
    result.jackknife1Se = Estimate::of(std::sqrt(std::max(variance, 0.0)));
}

// Smith & van Belle (1984): S + sum pi_k, pi_k = (1 - Y_k / T)^T, with the
// variance sum pi_k (1 - pi_k) + 2 sum_{k<l} [(Z_kl / T)^T - pi_k pi_l].
void bootstrap(IncidenceEstimates &result, const IncidencePatterns &patterns,
               const std::atomic<bool> *cancel)
{
    const double t = static_cast<double>(patterns.units());
    double sum = 0.0;
    double sumOfSquares = 0.0;
    for (std::size_t p = 0; p < patterns.patternCount(); ++p) {
        const double pi = std::pow(1.0 - patterns.occurrences(p) / t, t);
        sum += patterns.weight(p) * pi;
        sumOfSquares += patterns.weight(p) * pi * pi;
    }
    const double productPairs = (sum * sum - sumOfSquares) / 2.0;
    const double variance =
        sum - sumOfSquares + 2.0 * (patterns.jointAbsencePairSum(cancel) - productPairs);
    result.bootstrap = Estimate::of(result.observed + sum);
    result.bootstrapSe = variance >= 0.0 ? Estimate::of(std::sqrt(variance))
                                         : Estimate::missing("the variance estimate is negative");
}

IncidenceEstimates nothingObserved(std::size_t units)
{
    const Estimate none = Estimate::missing("no taxon is present in any collection");
    IncidenceEstimates result;
    result.units = units;
    result.chao2 = {none, none, none, none};
    result.ice = result.jackknife1 = result.jackknife1Se = result.jackknife2 = none;
    result.bootstrap = result.bootstrapSe = none;
    return result;
}

} // namespace

std::optional<IncidenceEstimates> estimateFromIncidence(std::size_t units,
                                                        std::span<const IncidenceSet> taxa,
                                                        double z, const std::atomic<bool> *cancel)
{
    if (units < 2) {
        return std::nullopt;
    }
    const IncidencePatterns patterns(units, taxa);
    if (patterns.patternCount() == 0) {
        return nothingObserved(units);
    }
    const std::vector<std::int32_t> occurrences = occurrencesOfTaxa(patterns);
    const FrequencyCounts q(occurrences);
    const double t = static_cast<double>(units);
    const double q1 = q.species(1);
    const double q2 = q.species(2);

    IncidenceEstimates result;
    result.units = units;
    result.observed = q.observed();
    result.chao2 = chaoEstimate(q, t, z);
    const RareSpecies infrequent = rareSpecies(q);
    result.ice = coverageEstimate(q, infrequent,
                                  t / ((t - 1.0) * infrequent.individuals * infrequent.individuals),
                                  "every infrequent taxon is found in one collection only (sample "
                                  "coverage 0)");
    firstOrderJackknife(result, patterns, q1);
    result.jackknife2 = Estimate::of(result.observed + q1 * (2.0 * t - 3.0) / t -
                                     q2 * (t - 2.0) * (t - 2.0) / (t * (t - 1.0)));
    bootstrap(result, patterns, cancel);
    return result;
}

} // namespace quorvella
