#pragma once

// The texts of rarefaction results: the plot data table a plot window saves
// (one line per point of the curve) and the Chao-2 field.

#include "analysis/Rarefaction.h"

#include <span>
#include <string>

namespace quorvella {

// "n,E,Var,lower95,upper95,lower99,upper99" and one
// "%8d,%8.3f,%8.3f,%8.3f,%8.3f,%8.3f,%8.3f" line per point, in list order,
// every line ending in a single carriage return. Plain ASCII: infinity and
// not-a-number read "inf" and "nan".
std::string rarefactionTableText(std::span<const Rarefaction> points);

// The Chao-2 field's text, "Chao-2: %6.2f": 10/3 reads "Chao-2:   3.33", an
// infinite estimate "Chao-2:    inf" and a not-a-number one "Chao-2:    nan".
std::string chao2FieldText(double estimate);

} // namespace quorvella
