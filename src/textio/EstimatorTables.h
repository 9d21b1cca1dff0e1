#pragma once

// The richness estimator tables as text: their columns (shared with the
// JSON of the command-line tool and the application's window), the
// comma-separated form, and the sentences that say why a cell is empty.

#include "analysis/RichnessEstimates.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella {

struct CollectionEstimateColumn
{
    std::string_view key;   // the CSV header and JSON key
    std::string_view title; // the window's column title
    Estimate (*value)(const CollectionEstimates &);
    bool isCount = false; // a whole number: written without decimals
};

struct GroupEstimateColumn
{
    std::string_view key;
    std::string_view title;
    Estimate (*value)(const IncidenceEstimates &);
    bool isCount = false;
};

// observed, n, chao1, chao1Se, chao1Lower, chao1Upper, ace, coverage (the
// name comes first and is not among them).
std::span<const CollectionEstimateColumn> collectionEstimateColumns();
// units, observed, chao2, chao2Se, chao2Lower, chao2Upper, ice, jackknife1,
// jackknife1Se, jackknife2, bootstrap, bootstrapSe.
std::span<const GroupEstimateColumn> groupEstimateColumns();

// One cell, locale-free: a count as a whole number, anything else fixed
// with six decimals; empty for no value.
std::string estimateCellText(const Estimate &estimate, bool isCount);

// The collections' table ("name,observed,n,..." then a line per collection,
// names quoted when they hold the separator, a quote or a line end), then,
// for two or more collections, an empty line and the group's table
// ("units,observed,chao2,..." and one line). Every line ends with lineEnd;
// a tab separator gives the text a spreadsheet takes from the clipboard.
std::string richnessEstimatesCsv(const RichnessEstimates &estimates, std::string_view lineEnd,
                                 char separator = ',');

// Why the empty cells are empty, one sentence per collection and reason:
// Collection "A": ace cannot be computed: every rare taxon is a singleton
// (sample coverage 0).
std::vector<std::string> missingEstimateReasons(const RichnessEstimates &estimates);

} // namespace quorvella
