#include "analysis/Estimate.h"

namespace quorvella {

double zForConfidenceLevel(int level)
{
    return level == 99 ? 2.5758293035489004 : 1.9599639845400540;
}

} // namespace quorvella
