#pragma once

// One point of a rarefaction curve. The individual-based rarefaction counts
// specimens in theSampleSize, the sample-based one counts collections.

#include <cstdint>

namespace quorvella {

struct Rarefaction
{
    std::int32_t theSampleSize = 0;
    double theE = 0.0;   // expected richness
    double theVar = 0.0; // its variance
    double upper95 = 0.0;
    double lower95 = 0.0;
    double upper99 = 0.0;
    double lower99 = 0.0;
};

} // namespace quorvella
