#include "analysis/Estimate.h"

#include "analysis/NormalQuantile.h"

namespace quorvella {

double zForConfidenceLevel(int level)
{
    const double confidence = level == 99 ? 0.99 : 0.95;
    return normalQuantile(1.0 - (1.0 - confidence) / 2.0);
}

} // namespace quorvella
