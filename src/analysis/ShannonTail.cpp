#include "analysis/ShannonTail.h"

#include <array>
#include <cmath>
#include <limits>

namespace quorvella {
namespace {

constexpr double kEulerGamma = 0.57721566490153286061;
constexpr double kSeriesTermLimit = 2000;

double forwardSeries(double N, double r)
{
    double power = 1.0;
    double sum = 0.0;
    for (double j = 0.0;; j += 1.0) {
        const double term = power / (N + j);
        sum += term;
        if (term < 1e-18 * sum) {
            return sum;
        }
        power *= r;
    }
}

// int_0^inf e^{-N t} (a + t)^p dt = p! / N^{p+1} sum_{i=0}^{p} (N a)^i / i!
double shiftedMoment(double N, double a, int p)
{
    double factorial = 1.0;
    for (int i = 2; i <= p; ++i) {
        factorial *= i;
    }
    double term = 1.0;
    double sum = 1.0;
    for (int i = 1; i <= p; ++i) {
        term *= N * a / i;
        sum += term;
    }
    return factorial / std::pow(N, p + 1) * sum;
}

// 1 / (1 - e^{-y}) = 1/y + 1/2 + sum_k B_2k y^{2k-1} / (2k)!
double bernoulliExpansion(double N, double a)
{
    static constexpr std::array<double, 6> coefficients = {
        1.0 / 12.0,       -1.0 / 720.0,     1.0 / 30240.0,
        -1.0 / 1209600.0, 1.0 / 47900160.0, -691.0 / 1307674368000.0};
    double sum = scaledExponentialIntegral(N * a) + 0.5 / N;
    for (std::size_t k = 0; k < coefficients.size(); ++k) {
        sum += coefficients[k] * shiftedMoment(N, a, static_cast<int>(2 * k + 1));
    }
    return sum;
}

double literalDifference(std::int64_t N, double A)
{
    const double r = 1.0 - A;
    double power = 1.0;
    double partial = 0.0;
    for (std::int64_t k = 1; k < N; ++k) {
        power *= r;
        partial += power / static_cast<double>(k);
    }
    return (-std::log(A) - partial) / std::pow(r, static_cast<double>(N));
}

} // namespace

double scaledExponentialIntegral(double x)
{
    if (x <= 1.0) {
        double term = 1.0;
        double sum = 0.0;
        for (int k = 1; k < 60; ++k) {
            term *= -x / k;
            sum -= term / k;
            if (std::fabs(term) < 1e-18) {
                break;
            }
        }
        return std::exp(x) * (-kEulerGamma - std::log(x) + sum);
    }
    // Continued fraction 1 / (x + 1 - 1 / (x + 3 - 4 / (x + 5 - ...))),
    // evaluated from the front by the modified Lentz method.
    constexpr double tiny = 1e-300;
    double b = x + 1.0;
    double c = 1.0 / tiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < 10000; ++i) {
        const double an = -static_cast<double>(i) * i;
        b += 2.0;
        d = 1.0 / (an * d + b);
        c = b + an / c;
        const double delta = c * d;
        h *= delta;
        if (std::fabs(delta - 1.0) < 3e-16) {
            break;
        }
    }
    return h;
}

double shannonTailSeries(std::int64_t N, double A)
{
    const double n = static_cast<double>(N);
    if (A >= 1.0) {
        return 1.0 / n;
    }
    const double a = -std::log1p(-A);
    if (45.0 / a <= kSeriesTermLimit) {
        return forwardSeries(n, 1.0 - A);
    }
    if (N >= 100) {
        return bernoulliExpansion(n, a);
    }
    return literalDifference(N, A);
}

} // namespace quorvella
