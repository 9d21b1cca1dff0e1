#pragma once

// The process-wide table of ln(k!) that turns the binomial ratios of
// rarefaction into sums and one exponential. Entry k is the running sum
// ln 1 + ln 2 + ... + ln k, so a table grown later holds exactly the entries
// a table built for the larger size from scratch would hold.
//
// Any thread may grow the table and read the entries it made sure of while
// another grows it; initLogFactorial, which replaces it, only while no
// other thread reads.

#include <atomic>
#include <cstdint>
#include <span>

namespace quorvella {

// The largest index the table grows to: 2^24, the largest census size whose
// single-precision sum is still exact (128 MiB of table).
inline constexpr std::int64_t kLogFactorialLimit = std::int64_t{1} << 24;

// Builds (or replaces) the table with entries 0..n (n up to kLogFactorialLimit,
// else std::invalid_argument). Running out of memory is
// the one fatal condition: a fixed line on standard error and exit status 1.
void initLogFactorial(std::int64_t n);

// Grows the table so that it holds entries 0..n; never shrinks it. Throws
// std::invalid_argument for n beyond kLogFactorialLimit, and
// ComputationCancelled (analysis/Cancellation.h) once `cancel` is set (the
// entries grown so far stay).
void ensureLogFactorialCovers(std::int64_t n, const std::atomic<bool> *cancel = nullptr);

// ln(k!). Grows the table when k lies beyond it; throws std::invalid_argument
// for a negative k or one beyond kLogFactorialLimit.
double logFactorial(std::int64_t k);

// C(N - Ni, m) / C(N, m): the probability that m specimens drawn without
// replacement from N miss all Ni specimens of one species. 0.0 when
// N - Ni < m (nothing is read then). Grows the table to N when needed; throws
// std::invalid_argument for a negative m.
double fact(std::int64_t N, std::int64_t Ni, std::int64_t m);

// Called when a document closes. The table is shared by every open document,
// so it stays until the process ends or the next initLogFactorial.
void deallocLogFactorial();

// The largest k the table holds, or -1 when there is no table yet.
std::int64_t logFactorialCoverage();

// The table itself for hot loops: call ensureLogFactorialCovers first; the
// entries stay where they are until the next init.
std::span<const double> logFactorialTable();

} // namespace quorvella
