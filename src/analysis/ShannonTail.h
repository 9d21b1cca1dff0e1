#pragma once

// The series of the Shannon-entropy estimator's term for undetected species:
// sum_{j >= 0} r^j / (N + j) with r = 1 - A, which equals
// r^(-N) (-ln A - sum_{k=1}^{N-1} r^k / k) without forming that huge power
// times a tiny difference. Three regimes, each accurate to a few units in
// the last place:
//   - the series itself when it converges within 2000 terms;
//   - for N >= 100 and r close to 1, the integral
//     int_0^inf e^{-N t} / (1 - r e^{-t}) dt split into
//     e^{N a} E1(N a) (a = -ln r) and a Bernoulli expansion of the rest;
//   - otherwise (N < 100, r close to 1, so r^(-N) stays near 1) the
//     literal difference.

#include <cstdint>

namespace quorvella {

// 0 < A <= 1, N >= 1.
double shannonTailSeries(std::int64_t N, double A);

// e^x E1(x) for x > 0 (E1 the exponential integral).
double scaledExponentialIntegral(double x);

} // namespace quorvella
