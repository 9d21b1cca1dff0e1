#pragma once

// The two tables of a diversity window as comma-separated text, both in the
// long format of quorvella-cli diversity (textio/DiversityTable.h).

#include "plot/DiversityResult.h"

#include <string>

namespace quorvella {

// The curves' table: byte for byte what quorvella-cli diversity prints for
// the same assemblages and settings.
std::string curvesTableText(const DiversityResult &result);

// The "Diversity at a common size or coverage" table: the rows at the
// common size (kind "size") or coverage (kind "coverage") of every
// assemblage and order.
std::string commonTableText(const DiversityResult &result);

} // namespace quorvella
