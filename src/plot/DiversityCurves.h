#pragma once

// The curves of a diversity result as a picture: one panel per order for
// diversity against size or coverage, one panel of sample coverage against
// size. Assemblages without a profile are left out of every panel alike.

#include "plot/DiversityPicture.h"
#include "plot/DiversityResult.h"

#include <QString>

namespace quorvella {

DiversityPicture diversityPicture(const DiversityResult &result, DiversityPlotType plot);

// "Number of individuals" or "Number of sampling units".
QString sizeAxisTitle(DiversityDataType type);
// "q = 0 (richness)", "q = 1 (Shannon)", "q = 2 (Simpson)".
QString orderName(int q);

} // namespace quorvella
