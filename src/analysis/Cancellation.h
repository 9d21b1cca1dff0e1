#pragma once

// A long computation that may be asked to stop part way: between pieces of
// work of a few milliseconds it looks at a flag its caller owns and throws
// ComputationCancelled once the flag is set. What it computed is dropped.

#include <atomic>
#include <stdexcept>

namespace quorvella {

class ComputationCancelled : public std::runtime_error
{
public:
    ComputationCancelled() : std::runtime_error("computation cancelled") {}
};

// No flag: the computation runs to its end.
inline void stopIfCancelled(const std::atomic<bool> *cancel)
{
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        throw ComputationCancelled();
    }
}

} // namespace quorvella
