#pragma once

// One number an estimator gives, or the reason it gives none. Estimators
// answer "cannot be computed" in words rather than with infinity or
// not-a-number, so that tables and JSON can say why a cell is empty.

#include <optional>
#include <string>
#include <utility>

namespace quorvella {

struct Estimate
{
    std::optional<double> value;
    // Why there is no value; empty when there is one.
    std::string reason;

    static Estimate of(double number) { return {number, {}}; }
    static Estimate missing(std::string why) { return {std::nullopt, std::move(why)}; }
};

// The two-sided standard normal quantile z of a confidence level in per cent:
// 99 gives 2.575829, every other level 1.959964 (the product offers 95 and 99).
double zForConfidenceLevel(int level);

} // namespace quorvella
