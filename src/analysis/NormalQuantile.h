#pragma once

// The quantile function of the standard normal distribution.

namespace quorvella {

// x with Phi(x) = p, 0 < p < 1: Acklam's rational approximation (relative
// error below 1.2e-9) refined by one Halley step on std::erfc, which leaves
// it exact to a few units in the last place.
double normalQuantile(double p);

} // namespace quorvella
