#pragma once

// Runs numbered tasks on a few threads (internal to the analysis library).
// Each task writes only its own result, so the results do not depend on the
// number of threads or on which thread ran what.

#include "analysis/HillNumbers.h"

#include <cstddef>
#include <functional>
#include <mutex>

namespace quorvella {

class TaskRunner
{
public:
    // totalWork: the units reported to control.progress over all runs.
    TaskRunner(const DiversityRunControl &control, std::size_t totalWork);

    // Calls task(i) for i = 0 .. count - 1 and returns when all are done.
    // The first exception of a task is rethrown; a cancellation throws
    // DiversityCancelled.
    void run(std::size_t count, const std::function<void(std::size_t)> &task);

    // Counts work that needs no task as done.
    void skip(std::size_t work);

private:
    void finished(std::size_t work);
    bool cancelled() const;

    const DiversityRunControl &control_;
    unsigned threads_;
    std::size_t total_;
    std::size_t done_ = 0;
    std::mutex progressMutex_;
};

} // namespace quorvella
