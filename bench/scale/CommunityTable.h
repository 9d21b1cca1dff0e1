#pragma once

// The community-sequencing table the scale benchmarks run on: 1000 samples by
// 20 000 taxa, about 10 % of the cells non-zero, heavy-tailed counts. Fixed
// seed, so every run and every machine reads the same bytes.

#include <string>

namespace quorvella::bench {

struct CommunityShape
{
    int samples = 1000;
    int taxa = 20000;
};

// Samples as rows, taxa as columns, comma-separated: the collection-group
// matrix (about 40 MB).
std::string makeCommunityMatrix(CommunityShape shape = {});

// Taxa as rows, samples as columns, tab-separated, as sequencing pipelines
// write it: a comment line, a header "#OTU ID", one column per sample and a
// trailing taxonomy column.
std::string makeCommunityTable(CommunityShape shape = {});

} // namespace quorvella::bench
