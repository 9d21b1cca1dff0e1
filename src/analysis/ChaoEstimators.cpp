#include "analysis/ChaoEstimators.h"

#include <algorithm>
#include <cmath>

namespace quorvella {
namespace {

constexpr std::int32_t kRareLimit = 10;

// Log-normal interval around S_obs + t: the unseen part t is taken as
// log-normal, so the lower end never falls below S_obs.
void logNormalInterval(ChaoEstimate &result, double observed, double t, double variance, double z)
{
    const double k = t > 0.0 ? std::exp(z * std::sqrt(std::log1p(variance / (t * t)))) : 1.0;
    result.lower = Estimate::of(observed + t / k);
    result.upper = Estimate::of(observed + t * k);
}

ChaoEstimate withUnseen(double observed, double f1, double f2, double n, double z)
{
    const double a = (n - 1.0) / n;
    const double t = undetectedSpecies(n, f1, f2).f0;
    double variance = 0.0;
    if (f2 > 0.0) {
        const double r = f1 / f2;
        variance = f2 * (a * r * r / 2.0 + a * a * r * r * r + a * a * r * r * r * r / 4.0);
    } else {
        const double estimate = observed + t;
        variance = a * f1 * (f1 - 1.0) / 2.0 +
                   a * a * f1 * (2.0 * f1 - 1.0) * (2.0 * f1 - 1.0) / 4.0 -
                   a * a * f1 * f1 * f1 * f1 / (4.0 * estimate);
    }
    ChaoEstimate result;
    result.estimate = Estimate::of(observed + t);
    result.standardError = Estimate::of(std::sqrt(std::max(variance, 0.0)));
    logNormalInterval(result, observed, t, std::max(variance, 0.0), z);
    return result;
}

// No unseen species are estimated; the interval comes from the chance
// e^-k that a species of frequency k would have been missed.
ChaoEstimate withoutUnseen(const FrequencyCounts &f, double n, double z)
{
    double missed = 0.0;
    double spread = 0.0;
    double weighted = 0.0;
    for (const auto &[k, count] : f.classes()) {
        const double e = std::exp(-static_cast<double>(k));
        missed += count * e;
        spread += count * (e - e * e);
        weighted += k * e * count;
    }
    const double observed = f.observed();
    const double variance = spread - weighted * weighted / n;
    ChaoEstimate result;
    result.estimate = Estimate::of(observed);
    if (variance < 0.0) {
        const char *why = "the variance approximation is negative for these data";
        result.standardError = Estimate::missing(why);
        result.lower = Estimate::missing(why);
        result.upper = Estimate::missing(why);
        return result;
    }
    const double p = missed / observed;
    const double centre = observed / (1.0 - p);
    const double halfWidth = z * std::sqrt(variance) / (1.0 - p);
    result.standardError = Estimate::of(std::sqrt(variance));
    result.lower = Estimate::of(std::max(observed, centre - halfWidth));
    result.upper = Estimate::of(centre + halfWidth);
    return result;
}

} // namespace

UndetectedSpecies undetectedSpecies(double n, double f1, double f2)
{
    const double a = (n - 1.0) / n;
    UndetectedSpecies undetected;
    undetected.f0 = f2 > 0.0 ? a * f1 * f1 / (2.0 * f2) : a * f1 * (f1 - 1.0) / 2.0;
    if (f1 > 0.0) {
        undetected.coverageFactor = n * undetected.f0 / (n * undetected.f0 + f1);
    }
    return undetected;
}

ChaoEstimate chaoEstimate(const FrequencyCounts &f, double n, double z)
{
    if (f.observed() == 0.0 || n <= 0.0) {
        const Estimate none = Estimate::missing("nothing was observed");
        return {none, none, none, none};
    }
    const double f1 = f.species(1);
    const double f2 = f.species(2);
    if ((f1 > 0.0 && f2 > 0.0) || (f1 > 1.0 && f2 == 0.0)) {
        return withUnseen(f.observed(), f1, f2, n, z);
    }
    return withoutUnseen(f, n, z);
}

RareSpecies rareSpecies(const FrequencyCounts &f)
{
    RareSpecies rare;
    for (const auto &[k, count] : f.classes()) {
        if (k <= kRareLimit) {
            rare.species += count;
            rare.individuals += k * count;
            rare.pairSum += static_cast<double>(k) * (k - 1) * count;
        }
    }
    return rare;
}

Estimate coverageEstimate(const FrequencyCounts &f, const RareSpecies &rare,
                          double dispersionWeight, const char *singletonsReason)
{
    if (f.observed() == 0.0) {
        return Estimate::missing("nothing was observed");
    }
    if (rare.species == 0.0) {
        return Estimate::of(f.observed());
    }
    const double f1 = f.species(1);
    const double coverage = 1.0 - f1 / rare.individuals;
    if (coverage <= 0.0) {
        return Estimate::missing(singletonsReason);
    }
    const double gamma2 =
        std::max(rare.species / coverage * rare.pairSum * dispersionWeight - 1.0, 0.0);
    const double abundant = f.observed() - rare.species;
    return Estimate::of(abundant + rare.species / coverage + f1 / coverage * gamma2);
}

} // namespace quorvella
