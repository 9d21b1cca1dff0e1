#include "analysis/DiversityTasks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace quorvella {

TaskRunner::TaskRunner(const DiversityRunControl &control, std::size_t totalWork)
    : control_(control),
      threads_(control.threads > 0 ? control.threads
                                   : std::max(1u, std::thread::hardware_concurrency())),
      total_(totalWork)
{}

bool TaskRunner::cancelled() const
{
    return control_.cancel != nullptr && control_.cancel->load(std::memory_order_relaxed);
}

void TaskRunner::finished(std::size_t work)
{
    if (!control_.progress || work == 0) {
        return;
    }
    const std::lock_guard lock(progressMutex_);
    done_ += work;
    control_.progress(done_, total_);
}

void TaskRunner::skip(std::size_t work)
{
    finished(work);
}

void TaskRunner::run(std::size_t count, const std::function<void(std::size_t)> &task)
{
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    const auto work = [&] {
        for (;;) {
            if (cancelled()) {
                return;
            }
            const std::size_t i = next.fetch_add(1);
            if (i >= count) {
                return;
            }
            try {
                task(i);
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                if (!failure) {
                    failure = std::current_exception();
                }
                next.store(count);
                return;
            }
            finished(1);
        }
    };
    const std::size_t helpers = std::min<std::size_t>(threads_, count) - (count > 0 ? 1 : 0);
    std::vector<std::thread> pool;
    for (std::size_t i = 0; i < helpers; ++i) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread &thread : pool) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (cancelled()) {
        throw DiversityCancelled();
    }
}

} // namespace quorvella
