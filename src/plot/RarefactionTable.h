#pragma once

// The plot data table a plot window saves: one line per point of the curve.

#include "analysis/Rarefaction.h"

#include <span>
#include <string>

namespace quorvella {

// "n,E,Var,lower95,upper95,lower99,upper99" and one
// "%8d,%8.3f,%8.3f,%8.3f,%8.3f,%8.3f,%8.3f" line per point, in list order,
// every line ending in a single carriage return. Plain ASCII: infinity and
// not-a-number read "inf" and "nan".
std::string rarefactionTableText(std::span<const Rarefaction> points);

} // namespace quorvella
