#pragma once

// The two estimator forms that the abundance and the incidence estimators
// share: the bias-corrected Chao estimate with its standard error and
// interval (Chao1 for specimens, Chao-2 for collections), and the estimate
// from the coverage of the rare species (ACE for specimens, ICE for
// collections).

#include "analysis/Estimate.h"
#include "analysis/FrequencyCounts.h"

namespace quorvella {

// Chao's estimate of the species not seen, f0 = (n - 1) / n * f1^2 / (2 f2),
// or (n - 1) / n * f1 (f1 - 1) / 2 when f2 = 0, and the factor A' =
// n f0 / (n f0 + f1) (1 without singletons) of the sample coverage
// 1 - f1 / n * A' (Chao & Jost 2012). n counts specimens, or sampling units
// for incidence.
struct UndetectedSpecies
{
    double f0 = 0.0;
    double coverageFactor = 1.0;
};
UndetectedSpecies undetectedSpecies(double n, double f1, double f2);

struct ChaoEstimate
{
    Estimate estimate;
    Estimate standardError;
    Estimate lower;
    Estimate upper;
};

// f: the counts of counts; n: the sampling size (specimens, or collections
// for incidence); z: the normal quantile of the interval.
//  f1 > 0, f2 > 0: S + A f1^2 / (2 f2), A = (n - 1) / n, with Chao's (1987)
//                  variance and the log-normal interval;
//  f1 > 1, f2 = 0: S + A f1 (f1 - 1) / 2, same interval;
//  otherwise:      S, with the variance and interval built from the
//                  chance e^-k of missing a species seen k times.
// Nothing observed gives no values. A variance below zero (possible in the
// last branch when n is a number of collections) gives an estimate without
// standard error and interval.
ChaoEstimate chaoEstimate(const FrequencyCounts &f, double n, double z);

// S_abund + S_rare / C + f1 / C * gamma^2 over the species seen at most ten
// times, C = 1 - f1 / N_rare and gamma^2 = max(S_rare / C * sum k(k - 1) f_k
// * dispersionWeight - 1, 0). ACE weighs by 1 / (N_rare (N_rare - 1)), ICE by
// T / ((T - 1) N_infr^2). Without rare species the estimate is S_obs; when
// every rare species was seen once (C = 0) there is none, and the reason is
// singletonsReason.
struct RareSpecies
{
    double species = 0.0;     // S_rare
    double individuals = 0.0; // N_rare
    double pairSum = 0.0;     // sum k(k - 1) f_k over the rare classes
};
RareSpecies rareSpecies(const FrequencyCounts &f);
Estimate coverageEstimate(const FrequencyCounts &f, const RareSpecies &rare,
                          double dispersionWeight, const char *singletonsReason);

} // namespace quorvella
