#include "cli/CommandLine.h"

#include "cli/ExitStatus.h"

#include <gtest/gtest.h>
#include <string_view>
#include <vector>

namespace quorvella::cli {
namespace {

CommandLine parse(std::vector<std::string_view> args)
{
    return parseCommandLine(args);
}

TEST(CommandLine, ReadsEveryCommandsOperandsAndOptions)
{
    const CommandLine metrics = parse({"metrics", "--format=matrix", "--sample-size", "20", "f"});
    EXPECT_EQ(metrics.command, Command::Metrics);
    EXPECT_EQ(metrics.format, TextFormat::Matrix);
    EXPECT_EQ(metrics.sampleSize, 20);
    EXPECT_FALSE(metrics.json);
    EXPECT_EQ(metrics.paths, std::vector<std::string>{"f"});

    EXPECT_EQ(parse({"metrics", "doc.qvl"}).sampleSize, 50);

    const CommandLine rarefy =
        parse({"rarefy", "--json", "--collection", "S 1", "--size", "0", "doc.qvl"});
    EXPECT_EQ(rarefy.collectionName, "S 1");
    EXPECT_EQ(rarefy.size, 0);
    EXPECT_TRUE(rarefy.json);
    EXPECT_FALSE(rarefy.pooled);
    EXPECT_TRUE(parse({"rarefy", "--pooled", "d"}).pooled);

    const CommandLine import =
        parse({"import", "--format", "table", "a.txt", "--into", "d.qvl", "--", "-b.txt"});
    EXPECT_EQ(import.command, Command::Import);
    EXPECT_EQ(import.paths, (std::vector<std::string>{"a.txt", "-b.txt"}));
    EXPECT_EQ(import.into, "d.qvl");

    const CommandLine exportOne =
        parse({"export", "collection", "metrics", "--output", "o.csv", "d.qvl"});
    EXPECT_EQ(exportOne.exportKind, ExportKind::Collection);
    EXPECT_EQ(exportOne.collectionName, "metrics");
    EXPECT_EQ(exportOne.output, "o.csv");
    EXPECT_EQ(exportOne.paths, std::vector<std::string>{"d.qvl"});

    EXPECT_EQ(parse({"export", "species-list", "d"}).exportKind, ExportKind::SpeciesList);
    EXPECT_EQ(parse({"--version"}).command, Command::Version);
    EXPECT_EQ(parse({"chao2", "--help"}).command, Command::Help);
}

TEST(CommandLine, RefusesWhatItCannotRun)
{
    const std::vector<std::vector<std::string_view>> refused = {
        {},
        {"metrics"},
        {"metrics", "-x", "f"},
        {"metrics", "--size", "3", "f"},
        {"metrics", "--format", "tsv", "f"},
        {"metrics", "--sample-size", "", "f"},
        {"metrics", "--sample-size", "+3", "f"},
        {"rarefy", "--size", "-1", "f"},
        {"rarefy", "--collection", "a", "--pooled", "f"},
        {"validate", "f"},
        {"validate", "--format", "list"},
        {"validate", "--format", "list", "f", "g"},
        {"import", "--format", "list", "--into", "", "f"},
        {"export", "group"},
        {"export", "group", "--output=", "d"},
        {"export", "collection"},
        {"export", "metrics", "d", "e"},
    };
    for (const auto &args : refused) {
        EXPECT_THROW(parseCommandLine(args), UsageError) << (args.empty() ? "" : args.front());
    }
}

} // namespace
} // namespace quorvella::cli
