#pragma once

// The rows of the metrics export, read from collection records: the stored
// measures exactly as the metrics commands left them (absent stays absent).
// The application's export and the command-line tool share them.

#include "store/Census.h"
#include "textio/CsvExport.h"

#include <span>
#include <vector>

namespace quorvella {

CollectionMetricsRow metricsRowOf(const Census &census);

std::vector<CollectionMetricsRow> metricsRowsOf(std::span<const Census> censuses);

} // namespace quorvella
