#include "cli/CommandLine.h"

#include "cli/ExitStatus.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>

namespace quorvella::cli {
namespace {

struct OptionRule
{
    std::string_view name;
    bool takesValue;
};

constexpr OptionRule kFormat{"--format", true};
constexpr OptionRule kJson{"--json", false};
constexpr OptionRule kSampleSize{"--sample-size", true};
constexpr OptionRule kCollection{"--collection", true};
constexpr OptionRule kPooled{"--pooled", false};
constexpr OptionRule kSize{"--size", true};
constexpr OptionRule kInto{"--into", true};
constexpr OptionRule kOutput{"--output", true};
constexpr OptionRule kIncidence{"--incidence", false};
constexpr OptionRule kOrders{"--q", true};
constexpr OptionRule kSizes{"--sizes", true};
constexpr OptionRule kEndpoint{"--endpoint", true};
constexpr OptionRule kKnots{"--knots", true};
constexpr OptionRule kCoverage{"--coverage", true};
constexpr OptionRule kBootstrap{"--bootstrap", true};
constexpr OptionRule kSeed{"--seed", true};
constexpr OptionRule kLevel{"--level", true};

struct CommandRule
{
    std::string_view name;
    Command command;
    std::vector<OptionRule> options;
};

const std::vector<CommandRule> &commandRules()
{
    static const std::vector<CommandRule> rules = {
        {"metrics", Command::Metrics, {kFormat, kSampleSize, kJson}},
        {"rarefy", Command::Rarefy, {kFormat, kCollection, kPooled, kSize, kJson}},
        {"sample-rarefy", Command::SampleRarefy, {kFormat, kJson}},
        {"chao2", Command::Chao2, {kFormat, kJson}},
        {"diversity",
         Command::Diversity,
         {kFormat, kCollection, kPooled, kIncidence, kOrders, kSizes, kEndpoint, kKnots, kCoverage,
          kBootstrap, kSeed, kLevel, kJson}},
        {"estimators", Command::Estimators, {kFormat, kLevel, kJson}},
        {"validate", Command::Validate, {kFormat}},
        {"import", Command::Import, {kFormat, kInto}},
        {"export", Command::Export, {kOutput}},
    };
    return rules;
}

// The options and operands of one command, before their meaning is checked.
struct RawArguments
{
    std::map<std::string_view, std::string, std::less<>> values; // option -> value ("" for flags)
    std::vector<std::string> operands;
    bool helpRequested = false;

    bool has(const OptionRule &option) const { return values.contains(option.name); }
};

const OptionRule *findOption(const CommandRule &command, std::string_view name)
{
    const auto found =
        std::find_if(command.options.begin(), command.options.end(),
                     [name](const OptionRule &option) { return option.name == name; });
    return found == command.options.end() ? nullptr : &*found;
}

void addOption(const CommandRule &command, std::string_view arg,
               std::span<const std::string_view>::iterator &next,
               std::span<const std::string_view>::iterator end, RawArguments &raw)
{
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const OptionRule *option = findOption(command, name);
    if (option == nullptr) {
        throw UsageError("unknown option '" + std::string(name) + "' for '" +
                         std::string(command.name) + "'");
    }
    if (raw.values.contains(option->name)) {
        throw UsageError("option " + std::string(name) + " is given more than once");
    }
    std::string value;
    if (!option->takesValue) {
        if (equals != std::string_view::npos) {
            throw UsageError("option " + std::string(name) + " takes no value");
        }
    } else if (equals != std::string_view::npos) {
        value = std::string(arg.substr(equals + 1));
    } else if (next != end) {
        value = std::string(*next++);
    } else {
        throw UsageError("option " + std::string(name) + " needs a value");
    }
    raw.values.emplace(option->name, std::move(value));
}

RawArguments scanArguments(const CommandRule &command, std::span<const std::string_view> args)
{
    RawArguments raw;
    bool optionsEnded = false;
    for (auto it = args.begin(); it != args.end();) {
        const std::string_view arg = *it++;
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            raw.operands.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            raw.helpRequested = true;
        } else if (arg.starts_with("--")) {
            addOption(command, arg, it, args.end(), raw);
        } else {
            throw UsageError("unknown option '" + std::string(arg) + "' for '" +
                             std::string(command.name) + "'");
        }
    }
    return raw;
}

TextFormat parseTextFormat(std::string_view value)
{
    if (value == "list") {
        return TextFormat::List;
    }
    if (value == "table") {
        return TextFormat::Table;
    }
    if (value == "matrix") {
        return TextFormat::Matrix;
    }
    if (value == "community") {
        return TextFormat::Community;
    }
    throw UsageError("unknown format '" + std::string(value) +
                     "' for --format (use list, table, matrix or community)");
}

std::int32_t parseCount(std::string_view value, std::string_view option)
{
    std::int32_t count = 0;
    const char *first = value.data();
    const char *last = first + value.size();
    const auto [end, error] = std::from_chars(first, last, count);
    if (value.empty() || error != std::errc() || end != last || count < 0) {
        throw UsageError(std::string(option) + " needs a whole number from 0 to 2147483647, not '" +
                         std::string(value) + "'");
    }
    return count;
}

void requireOperands(const RawArguments &raw, std::size_t count, std::string_view what)
{
    if (raw.operands.size() < count) {
        throw UsageError("missing " + std::string(what));
    }
    if (raw.operands.size() > count) {
        throw UsageError("unexpected argument '" + raw.operands[count] + "'");
    }
}

std::optional<TextFormat> optionalFormat(const RawArguments &raw)
{
    if (!raw.has(kFormat)) {
        return std::nullopt;
    }
    return parseTextFormat(raw.values.find(kFormat.name)->second);
}

const std::string &valueOf(const RawArguments &raw, const OptionRule &option)
{
    return raw.values.find(option.name)->second;
}

void fillAnalysis(const RawArguments &raw, CommandLine &line)
{
    line.format = optionalFormat(raw);
    line.json = raw.has(kJson);
    requireOperands(raw, 1, "INPUT (a Quorvella document or a text file)");
    line.paths = raw.operands;
    if (raw.has(kSampleSize)) {
        line.sampleSize = parseCount(valueOf(raw, kSampleSize), kSampleSize.name);
    }
    if (raw.has(kCollection)) {
        line.collectionName = valueOf(raw, kCollection);
    }
    line.pooled = raw.has(kPooled);
    if (line.pooled && line.collectionName) {
        throw UsageError("--collection and --pooled exclude each other");
    }
    if (raw.has(kSize)) {
        line.size = parseCount(valueOf(raw, kSize), kSize.name);
    }
}

// estimators: --level in per cent, as the preferences offer it.
void fillEstimators(const RawArguments &raw, CommandLine &line)
{
    fillAnalysis(raw, line);
    if (raw.has(kLevel)) {
        const std::string &level = valueOf(raw, kLevel);
        if (level != "95" && level != "99") {
            throw UsageError("--level needs 95 or 99, not '" + level + "'");
        }
        line.level = level == "99" ? 99 : 95;
    }
}

// Splits a comma-separated list and reads each item with `read`.
template <typename T, typename Read> std::vector<T> parseList(std::string_view value, Read read)
{
    std::vector<T> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        items.push_back(read(value.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            return items;
        }
        start = comma + 1;
    }
}

template <typename T> bool readWhole(std::string_view text, T &number)
{
    const char *last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, number);
    return !text.empty() && error == std::errc() && end == last;
}

std::int64_t parseWhole(std::string_view text, const OptionRule &option, std::string_view what)
{
    std::int64_t number = 0;
    if (!readWhole(text, number)) {
        throw UsageError(std::string(option.name) + " needs " + std::string(what) + ", not '" +
                         std::string(text) + "'");
    }
    return number;
}

double parseReal(std::string_view text, const OptionRule &option)
{
    double number = 0;
    if (!readWhole(text, number)) {
        throw UsageError(std::string(option.name) + " needs numbers like 0.95, not '" +
                         std::string(text) + "'");
    }
    return number;
}

void fillDiversityOptions(const RawArguments &raw, DiversityOptions &options)
{
    if (raw.has(kOrders)) {
        options.orders = parseList<int>(valueOf(raw, kOrders), [](std::string_view item) {
            const std::int64_t q = parseWhole(item, kOrders, "orders 0, 1 or 2");
            return static_cast<int>(std::clamp<std::int64_t>(q, INT32_MIN, INT32_MAX));
        });
    }
    if (raw.has(kSizes)) {
        options.sizes = parseList<std::int64_t>(valueOf(raw, kSizes), [](std::string_view item) {
            return parseWhole(item, kSizes, "whole sample sizes");
        });
        std::sort(options.sizes.begin(), options.sizes.end());
        options.sizes.erase(std::unique(options.sizes.begin(), options.sizes.end()),
                            options.sizes.end());
    }
    if (raw.has(kEndpoint)) {
        options.endpoint = parseWhole(valueOf(raw, kEndpoint), kEndpoint, "a whole sample size");
    }
    const auto boundedInt = [&raw](const OptionRule &option, std::string_view what) {
        const std::int64_t value = parseWhole(valueOf(raw, option), option, what);
        return static_cast<int>(std::clamp<std::int64_t>(value, -1, INT32_MAX));
    };
    if (raw.has(kKnots)) {
        options.knots = boundedInt(kKnots, "a whole number of knots");
    }
    if (raw.has(kBootstrap)) {
        options.bootstrapReplicates = boundedInt(kBootstrap, "a whole number of replicates");
    }
    if (raw.has(kCoverage)) {
        options.coverageTargets =
            parseList<double>(valueOf(raw, kCoverage),
                              [](std::string_view item) { return parseReal(item, kCoverage); });
    }
    if (raw.has(kSeed) && !readWhole(std::string_view(valueOf(raw, kSeed)), options.seed)) {
        throw UsageError("--seed needs a whole number from 0 to 18446744073709551615, not '" +
                         valueOf(raw, kSeed) + "'");
    }
    if (raw.has(kLevel)) {
        options.level = parseReal(valueOf(raw, kLevel), kLevel);
    }
    try {
        validateDiversityOptions(options);
    } catch (const std::invalid_argument &error) {
        throw UsageError(error.what());
    }
}

void fillDiversity(const RawArguments &raw, CommandLine &line)
{
    fillAnalysis(raw, line);
    line.incidence = raw.has(kIncidence);
    if (line.incidence && (line.pooled || line.collectionName)) {
        throw UsageError("--incidence excludes --collection and --pooled");
    }
    fillDiversityOptions(raw, line.diversity);
}

void fillValidate(const RawArguments &raw, CommandLine &line)
{
    line.format = optionalFormat(raw);
    if (!line.format) {
        throw UsageError("validate needs --format list, table, matrix or community");
    }
    requireOperands(raw, 1, "FILE to validate");
    line.paths = raw.operands;
}

void fillImport(const RawArguments &raw, CommandLine &line)
{
    line.format = optionalFormat(raw);
    if (!line.format) {
        throw UsageError("import needs --format list, table, matrix or community");
    }
    if (!raw.has(kInto) || valueOf(raw, kInto).empty()) {
        throw UsageError("import needs --into DOCUMENT");
    }
    line.into = valueOf(raw, kInto);
    if (raw.operands.empty()) {
        throw UsageError("missing FILE to import");
    }
    line.paths = raw.operands;
}

void fillExport(const RawArguments &raw, CommandLine &line)
{
    if (raw.has(kOutput)) {
        if (valueOf(raw, kOutput).empty()) {
            throw UsageError("--output needs a file name");
        }
        line.output = valueOf(raw, kOutput);
    }
    if (raw.operands.empty()) {
        throw UsageError(
            "missing what to export (metrics, group, collection NAME or species-list)");
    }
    const std::string &what = raw.operands.front();
    std::size_t named = 1;
    if (what == "metrics") {
        line.exportKind = ExportKind::Metrics;
    } else if (what == "group") {
        line.exportKind = ExportKind::Group;
    } else if (what == "species-list") {
        line.exportKind = ExportKind::SpeciesList;
    } else if (what == "collection") {
        line.exportKind = ExportKind::Collection;
        if (raw.operands.size() < 2) {
            throw UsageError("export collection needs the NAME of a collection");
        }
        line.collectionName = raw.operands[1];
        named = 2;
    } else {
        throw UsageError("unknown export '" + what +
                         "' (use metrics, group, collection NAME or species-list)");
    }
    RawArguments rest;
    rest.operands.assign(raw.operands.begin() + static_cast<std::ptrdiff_t>(named),
                         raw.operands.end());
    requireOperands(rest, 1, "DOCUMENT to export from");
    line.paths = rest.operands;
}

} // namespace

std::string_view textFormatName(TextFormat format)
{
    switch (format) {
    case TextFormat::List:
        return "list";
    case TextFormat::Table:
        return "table";
    case TextFormat::Matrix:
        return "matrix";
    case TextFormat::Community:
        return "community";
    }
    return "list";
}

CommandLine parseCommandLine(std::span<const std::string_view> args)
{
    CommandLine line;
    if (args.empty()) {
        throw UsageError("missing command");
    }
    const std::string_view first = args.front();
    if (first == "--help" || first == "-h" || first == "help") {
        line.command = Command::Help;
        return line;
    }
    if (first == "--version") {
        line.command = Command::Version;
        return line;
    }
    const auto &rules = commandRules();
    const auto rule = std::find_if(rules.begin(), rules.end(),
                                   [first](const CommandRule &r) { return r.name == first; });
    if (rule == rules.end()) {
        throw UsageError(first.starts_with('-') ? "unknown option '" + std::string(first) + "'"
                                                : "unknown command '" + std::string(first) + "'");
    }
    const RawArguments raw = scanArguments(*rule, args.subspan(1));
    if (raw.helpRequested) {
        line.command = Command::Help;
        return line;
    }
    line.command = rule->command;
    switch (rule->command) {
    case Command::Validate:
        fillValidate(raw, line);
        break;
    case Command::Import:
        fillImport(raw, line);
        break;
    case Command::Export:
        fillExport(raw, line);
        break;
    case Command::Diversity:
        fillDiversity(raw, line);
        break;
    case Command::Estimators:
        fillEstimators(raw, line);
        break;
    default:
        fillAnalysis(raw, line);
        break;
    }
    return line;
}

} // namespace quorvella::cli
