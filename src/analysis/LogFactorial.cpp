#include "analysis/LogFactorial.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvella {
namespace {

std::vector<double> &table()
{
    static std::vector<double> logfact;
    return logfact;
}

[[noreturn]] void dieOutOfMemory()
{
    std::fputs("ERROR: Insufficient memory to create log factorial array in initLogFactorial in "
               "logFactorial",
               stderr);
    std::exit(1);
}

void checkWithinLimit(std::int64_t n)
{
    if (n > kLogFactorialLimit) {
        throw std::invalid_argument("The log-factorial table covers at most " +
                                    std::to_string(kLogFactorialLimit) + " specimens; " +
                                    std::to_string(n) + " were asked for.");
    }
}

// Continues the running sum up to entry n, so growing in steps and building
// at once give the same entries.
void extendTo(std::vector<double> &logfact, std::int64_t n)
{
    try {
        logfact.reserve(static_cast<std::size_t>(n) + 1);
    } catch (const std::bad_alloc &) {
        dieOutOfMemory();
    } catch (const std::length_error &) {
        dieOutOfMemory();
    }
    if (logfact.empty()) {
        logfact.push_back(0.0);
    }
    for (auto i = static_cast<std::int64_t>(logfact.size()); i <= n; ++i) {
        logfact.push_back(logfact.back() + std::log(static_cast<double>(i)));
    }
}

} // namespace

void initLogFactorial(std::int64_t n)
{
    checkWithinLimit(n);
    std::vector<double> fresh;
    std::vector<double>().swap(table()); // release before building the new one
    extendTo(fresh, n < 0 ? 0 : n);
    table() = std::move(fresh);
}

void ensureLogFactorialCovers(std::int64_t n)
{
    if (n <= logFactorialCoverage()) {
        return;
    }
    checkWithinLimit(n);
    extendTo(table(), n);
}

double logFactorial(std::int64_t k)
{
    if (k < 0) {
        throw std::invalid_argument("ln(k!) is not defined for k = " + std::to_string(k) + ".");
    }
    ensureLogFactorialCovers(k);
    return table()[static_cast<std::size_t>(k)];
}

double fact(std::int64_t N, std::int64_t Ni, std::int64_t m)
{
    if (m < 0 || Ni < 0) {
        throw std::invalid_argument("A subsample of " + std::to_string(m) +
                                    " specimens missing a species of " + std::to_string(Ni) +
                                    " is not defined.");
    }
    if (N - Ni < m) {
        return 0.0;
    }
    ensureLogFactorialCovers(N);
    const std::vector<double> &L = table();
    auto at = [&L](std::int64_t k) { return L[static_cast<std::size_t>(k)]; };
    const double a = at(N - Ni) - at(m) - at(N - Ni - m);
    const double b = at(N) - at(m) - at(N - m);
    return std::exp(a - b);
}

void deallocLogFactorial()
{
    // Other open documents may still read the table; it stays.
}

std::int64_t logFactorialCoverage()
{
    return static_cast<std::int64_t>(table().size()) - 1;
}

std::span<const double> logFactorialTable()
{
    return table();
}

} // namespace quorvella
