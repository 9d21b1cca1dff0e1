#pragma once

// The long comma-separated table of Hill-number estimates that the command
// line prints and the diversity window saves: one row per assemblage, kind
// of estimate, order q and size (or target coverage), read directly by R's
// read.csv and pandas' read_csv.
//
// Header:
//   assemblage,dataType,kind,q,m,method,targetCoverage,D,se,lower,upper,
//   coverage,coverageSe,coverageLower,coverageUpper
// kind is "size" (method interpolated, observed or extrapolated; m whole),
// "coverage" (the size m, real, at targetCoverage) or "asymptotic" (method
// "asymptotic", no m). An empty cell is a value that does not apply or was
// not computed (no bootstrap). Numbers carry the shortest digits that read
// back as the same double, never the user's locale; an assemblage name with
// a comma, a quote or a line end is quoted, its quotes doubled. Lines end in
// "\n".

#include "analysis/HillNumbers.h"

#include <span>
#include <string>

namespace quorvella {

std::string diversityTableText(std::span<const DiversityProfile> profiles);

} // namespace quorvella
