#pragma once

// A wait the user can see and end: work runs on a thread of a pool the
// application owns (not Qt's global pool) while the event loop turns (windows keep painting) and
// a modal progress dialog says what is happening and offers Cancel.

#include <QString>
#include <atomic>
#include <cstddef>
#include <functional>
#include <span>

namespace quorvella {

enum class Cancel { Offered, NotOffered };

// Returns once work has finished (true) or the user cancelled (false). A
// cancelled work still runs to its end unseen, so everything it touches
// must be its own (shared_ptr), not the caller's. Work that reads what the
// caller owns is run without Cancel: it always ends before this returns.
bool runWhileWaiting(const QString &label, std::function<void()> work,
                     Cancel cancel = Cancel::Offered);

// The same for work that reads what the caller owns and can stop part way:
// Cancel sets `stop`, which the work looks at every few milliseconds and
// then ends, by returning or by throwing ComputationCancelled
// (analysis/Cancellation.h). Returns once the work has ended, false when the
// user cancelled.
bool runStoppableWhileWaiting(const QString &label,
                              std::function<void(const std::atomic<bool> &stop)> work);

// Runs steps in order on this thread, a few between turns of the event loop
// (each turn about 25 ms of steps), behind a modal progress dialog that
// counts them, so a long change of the document never holds the window.
// Returns how many steps ran: all of them, unless the user cancelled.
std::size_t runStepsWhileWaiting(const QString &label, std::span<const std::function<void()>> steps,
                                 Cancel cancel = Cancel::Offered);

} // namespace quorvella
