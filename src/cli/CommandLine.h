#pragma once

// The parsed command line of quorvella-cli. parseCommandLine() checks the
// whole line against the synopsis of the chosen command and throws
// UsageError with a precise message for anything it cannot run.

#include "analysis/HillNumbers.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella::cli {

enum class Command {
    Help,
    Version,
    Metrics,
    Rarefy,
    SampleRarefy,
    Chao2,
    Diversity,
    Estimators,
    Validate,
    Import,
    Export
};

// The three import text formats, as --format names them.
enum class TextFormat { List, Table, Matrix, Community };

// What `export` writes.
enum class ExportKind { Metrics, Group, Collection, SpeciesList };

struct CommandLine
{
    Command command = Command::Help;
    std::optional<TextFormat> format;
    bool json = false;
    // metrics: the rarefaction sample size of every collection.
    std::int32_t sampleSize = 50;
    // rarefy: which collection (none: the only one), or the pool of all.
    std::optional<std::string> collectionName;
    bool pooled = false;
    std::optional<std::int32_t> size;
    // diversity: the collections as the sampling units of one assemblage,
    // and the estimation settings (already checked).
    bool incidence = false;
    DiversityOptions diversity;
    // estimators: the confidence level of the intervals, 95 or 99.
    int level = 95;
    // The INPUT of the analysis commands, the FILE of validate, the FILEs of
    // import or the DOCUMENT of export, in the order given.
    std::vector<std::string> paths;
    // import: the document that receives the collections.
    std::string into;
    // export: what to write and where (stdout when empty).
    ExportKind exportKind = ExportKind::Metrics;
    std::optional<std::string> output;
};

// Parses the arguments after the program name.
CommandLine parseCommandLine(std::span<const std::string_view> args);

// The name --format uses for a format ("list", "table", "matrix").
std::string_view textFormatName(TextFormat format);

} // namespace quorvella::cli
