#include "analysis/LogFactorial.h"

#include "analysis/Cancellation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvella {
namespace {

// The entries, and how many of them every thread may read. Analyses on
// worker threads read the table while another thread may grow it: growth
// takes the lock and never moves the entries (their room is reserved at
// the first growth, address space only until written), and `readable`
// publishes the entries written.
struct Table
{
    std::mutex growth;
    std::vector<double> entries;
    std::atomic<std::int64_t> readable{0};
};

Table &shared()
{
    static Table table;
    return table;
}

std::vector<double> &table()
{
    return shared().entries;
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
// at once give the same entries. Looks at `cancel` between steps of a
// million entries (a few milliseconds each); a growth stopped there keeps
// every entry it wrote.
void extendTo(std::vector<double> &logfact, std::int64_t n, const std::atomic<bool> *cancel)
{
    try {
        logfact.reserve(static_cast<std::size_t>(kLogFactorialLimit) + 1);
    } catch (const std::bad_alloc &) {
        dieOutOfMemory();
    } catch (const std::length_error &) {
        dieOutOfMemory();
    }
    if (logfact.empty()) {
        logfact.push_back(0.0);
        shared().readable.store(1, std::memory_order_release);
    }
    constexpr std::int64_t step = std::int64_t{1} << 20;
    while (static_cast<std::int64_t>(logfact.size()) <= n) {
        stopIfCancelled(cancel);
        const std::int64_t end = std::min(n, static_cast<std::int64_t>(logfact.size()) + step);
        for (auto i = static_cast<std::int64_t>(logfact.size()); i <= end; ++i) {
            logfact.push_back(logfact.back() + std::log(static_cast<double>(i)));
        }
        shared().readable.store(static_cast<std::int64_t>(logfact.size()),
                                std::memory_order_release);
    }
}

} // namespace

void initLogFactorial(std::int64_t n)
{
    checkWithinLimit(n);
    const std::lock_guard lock(shared().growth);
    shared().readable.store(0);
    std::vector<double>().swap(table()); // release before building the new one
    extendTo(table(), n < 0 ? 0 : n, nullptr);
}

void ensureLogFactorialCovers(std::int64_t n, const std::atomic<bool> *cancel)
{
    if (n <= logFactorialCoverage()) {
        return;
    }
    checkWithinLimit(n);
    const std::lock_guard lock(shared().growth);
    extendTo(table(), n, cancel);
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
    const double *L = logFactorialTable().data();
    auto at = [L](std::int64_t k) { return L[k]; };
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
    return shared().readable.load(std::memory_order_acquire) - 1;
}

std::span<const double> logFactorialTable()
{
    const auto readable = static_cast<std::size_t>(logFactorialCoverage() + 1);
    return {table().data(), readable};
}

} // namespace quorvella
