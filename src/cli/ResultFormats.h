#pragma once

// How the analysis commands print their results: the texts the application
// shows or saves, with line feeds, and their JSON forms.

#include "analysis/Rarefaction.h"
#include "cli/JsonWriter.h"
#include "store/Census.h"

#include <span>
#include <string>

namespace quorvella::cli {

// The plot window's data table: the header "n,E,Var,lower95,upper95,lower99,
// upper99" and one "%8d,%8.3f,..." line per point, each line ended by "\n".
std::string plotDataTable(std::span<const Rarefaction> curve);

// "Chao-2: %6.2f" as the document window shows it, ended by "\n".
std::string chao2Line(float chao2);

// [{"n", "E", "Var", "lower95", "upper95", "lower99", "upper99"}, ...]
void writeCurveJson(JsonWriter &json, std::span<const Rarefaction> curve);

// [{"name", "richness", "censusSize", ..., "rarefiedRichness", "sampleSize"}, ...]
// from the measures stored in each collection; an absent value is null.
std::string metricsJson(std::span<const Census> censuses);

} // namespace quorvella::cli
