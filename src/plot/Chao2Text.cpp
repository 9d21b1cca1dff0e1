#include "plot/Chao2Text.h"

#include <cmath>
#include <cstdio>

namespace quorvella {

QString chao2Text(double estimate)
{
    // A not-a-number from 0/0 carries its sign bit, which glibc would print
    // as "-nan"; an estimate that is not a number has no sign.
    const double shown = std::isnan(estimate) ? std::fabs(estimate) : estimate;
    char text[400];
    std::snprintf(text, sizeof text, "Chao-2: %6.2f", shown);
    return QString::fromLatin1(text);
}

} // namespace quorvella
