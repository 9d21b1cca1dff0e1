#pragma once

// The work of one diversity request, run off the GUI thread: the curves of
// every assemblage, then the table at a common size or coverage. It owns
// copies of its inputs and reads nothing else.

#include "plot/DiversityResult.h"
#include "plot/DiversityWorker.h"

#include <vector>

namespace quorvella {

DiversityResult computeDiversity(const DiversitySettings &settings,
                                 std::vector<DiversitySample> samples,
                                 DiversityJobControl &control);

// The default point of comparison: the smallest doubled reference size, or
// the smallest coverage the assemblages reach at their doubled sizes, over
// the samples that can be estimated. Once `cancel` is set it stops with
// DiversityCancelled.
double defaultCommonValue(CommonBasis basis, std::span<const DiversitySample> samples,
                          const std::atomic<bool> *cancel = nullptr);

} // namespace quorvella
