#pragma once

// The choices of a diversity window: what to compute and how to show it.

#include "analysis/HillNumbers.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvella {

enum class DiversityPlotType { DiversityBySize, CoverageBySize, DiversityByCoverage };

// Where the "Diversity at a common size or coverage" table compares.
enum class CommonBasis { Size, Coverage };

struct DiversitySettings
{
    // Abundance: each chosen collection is an assemblage of individuals.
    // Incidence: the document's collections are the sampling units of one.
    DiversityDataType dataType = DiversityDataType::Abundance;
    std::vector<int> orders{0, 1, 2}; // one panel each
    DiversityPlotType plot = DiversityPlotType::DiversityBySize;
    std::optional<std::int64_t> endpoint; // none: twice each reference size
    int bootstrapReplicates = 50;
    double level = 0.95;
    CommonBasis commonBasis = CommonBasis::Size;
    // None: the smallest doubled reference size, or the smallest coverage
    // reached at the doubled sizes.
    std::optional<double> commonValue;

    // The options of the curves, as quorvella-cli diversity takes them.
    DiversityOptions curveOptions() const;

    bool operator==(const DiversitySettings &) const = default;
};

} // namespace quorvella
