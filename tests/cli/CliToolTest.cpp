// Runs the built quorvella-cli on small inputs and compares the exact bytes
// of its standard output, the start of its standard error, its exit status
// and the files it leaves behind. One table of cases; each case runs in a
// fresh temporary folder.

#include "ToolRunner.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quorvella::cli::test {
namespace {

namespace fs = std::filesystem;

using Args = std::vector<std::string>;

struct ExpectedFile
{
    std::string path;                   // "{tmp}/..."
    std::optional<std::string> content; // nullopt: the file must not exist
};

struct ToolCase
{
    std::string name;
    std::vector<Args> setup; // runs that must succeed before the one under test
    Args args;
    int status = 0;
    std::string out;      // exact bytes
    std::string errStart; // empty: nothing on standard error; else its beginning
    std::vector<ExpectedFile> files;
};

const std::string kUsageStart = "quorvella-cli: ";

std::vector<ToolCase> toolCases()
{
    return {
        // ---- help, version, usage errors ------------------------------------------------
        {"version", {}, {"--version"}, 0, "quorvella-cli " QUORVELLA_PROJECT_VERSION "\n", "", {}},
        {"no command", {}, {}, 2, "", "quorvella-cli: missing command\nusage:\n", {}},
        {"unknown command",
         {},
         {"frobnicate"},
         2,
         "",
         "quorvella-cli: unknown command 'frobnicate'\n",
         {}},
        {"unknown option",
         {},
         {"metrics", "--colour", "x"},
         2,
         "",
         "quorvella-cli: unknown option '--colour' for 'metrics'\n",
         {}},
        {"option of another command",
         {},
         {"chao2", "--pooled", "x"},
         2,
         "",
         "quorvella-cli: unknown option '--pooled' for 'chao2'\n",
         {}},
        {"bad format name",
         {},
         {"validate", "--format", "csv", "x"},
         2,
         "",
         "quorvella-cli: unknown format 'csv' for --format (use list, table or matrix)\n",
         {}},
        {"negative sample size",
         {},
         {"metrics", "--sample-size", "-5", "x"},
         2,
         "",
         "quorvella-cli: --sample-size needs a whole number from 0 to 2147483647, not '-5'\n",
         {}},
        {"sample size not a number",
         {},
         {"metrics", "--sample-size=5x", "x"},
         2,
         "",
         "quorvella-cli: --sample-size needs a whole number from 0 to 2147483647, not '5x'\n",
         {}},
        {"size beyond 32 bits",
         {},
         {"rarefy", "--size", "2147483648", "x"},
         2,
         "",
         "quorvella-cli: --size needs a whole number from 0 to 2147483647, not '2147483648'\n",
         {}},
        {"option without value",
         {},
         {"validate", "x", "--format"},
         2,
         "",
         "quorvella-cli: option --format needs a value\n",
         {}},
        {"flag with value",
         {},
         {"metrics", "--json=yes", "x"},
         2,
         "",
         "quorvella-cli: option --json takes no value\n",
         {}},
        {"repeated option",
         {},
         {"rarefy", "--size", "3", "--size", "4", "x"},
         2,
         "",
         "quorvella-cli: option --size is given more than once\n",
         {}},
        {"collection and pooled",
         {},
         {"rarefy", "--pooled", "--collection", "A", "x"},
         2,
         "",
         "quorvella-cli: --collection and --pooled exclude each other\n",
         {}},
        {"missing input",
         {},
         {"metrics", "--json"},
         2,
         "",
         "quorvella-cli: missing INPUT (a Quorvella document or a text file)\n",
         {}},
        {"two inputs",
         {},
         {"chao2", "a", "b"},
         2,
         "",
         "quorvella-cli: unexpected argument 'b'\n",
         {}},
        {"validate without format",
         {},
         {"validate", "x"},
         2,
         "",
         "quorvella-cli: validate needs --format list, table or matrix\n",
         {}},
        {"import without document",
         {},
         {"import", "--format", "list", "x"},
         2,
         "",
         "quorvella-cli: import needs --into DOCUMENT\n",
         {}},
        {"import without files",
         {},
         {"import", "--format", "list", "--into", "d.qvl"},
         2,
         "",
         "quorvella-cli: missing FILE to import\n",
         {}},
        {"export of nothing named",
         {},
         {"export", "d.qvl"},
         2,
         "",
         "quorvella-cli: unknown export 'd.qvl' (use metrics, group, collection NAME or "
         "species-list)\n",
         {}},
        {"export collection without document",
         {},
         {"export", "collection", "S1"},
         2,
         "",
         "quorvella-cli: missing DOCUMENT to export from\n",
         {}},
    };
}

std::string substitute(std::string text, const fs::path &tmp)
{
    const auto replace = [&text](const std::string &from, const std::string &to) {
        for (std::size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
        }
    };
    replace("{data}", QUORVELLA_CLI_TEST_DATA);
    replace("{tmp}", tmp.string());
    return text;
}

Args substitute(const Args &args, const fs::path &tmp)
{
    Args result;
    for (const std::string &arg : args) {
        result.push_back(substitute(arg, tmp));
    }
    return result;
}

class CliTool : public testing::TestWithParam<ToolCase>
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "quorvella-cli-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        tmp_ = pattern;
    }
    void TearDown() override { fs::remove_all(tmp_); }

    fs::path tmp_;
};

TEST_P(CliTool, WritesExactOutput)
{
    const ToolCase &c = GetParam();
    for (const Args &setup : c.setup) {
        const ToolRun run = runTool(substitute(setup, tmp_), tmp_);
        ASSERT_EQ(run.exitStatus, 0) << "setup run failed: " << run.err;
    }
    const ToolRun run = runTool(substitute(c.args, tmp_), tmp_);
    EXPECT_EQ(run.exitStatus, c.status);
    EXPECT_EQ(run.out, substitute(c.out, tmp_));
    const std::string errStart = substitute(c.errStart, tmp_);
    if (errStart.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_EQ(run.err.substr(0, errStart.size()), errStart) << "whole stderr: " << run.err;
    }
    if (c.status == 2) {
        EXPECT_NE(run.err.find("usage:\n    quorvella-cli metrics"), std::string::npos);
    }
    for (const ExpectedFile &file : c.files) {
        const fs::path path = substitute(file.path, tmp_);
        if (file.content) {
            EXPECT_EQ(readBytes(path), *file.content) << path;
        } else {
            EXPECT_FALSE(fs::exists(path)) << path;
        }
    }
    // Nothing but the expected files may be left in the folder (no temporary files).
    for (const auto &entry : fs::directory_iterator(tmp_)) {
        const bool expected = std::any_of(c.files.begin(), c.files.end(), [&](const auto &f) {
            return fs::path(substitute(f.path, tmp_)) == entry.path() && f.content;
        });
        EXPECT_TRUE(expected) << "unexpected file left: " << entry.path();
    }
}

std::string caseName(const testing::TestParamInfo<ToolCase> &info)
{
    std::string name;
    for (const char c : info.param.name) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, CliTool, testing::ValuesIn(toolCases()), caseName);

TEST(CliToolHelp, HelpIsAManualPage)
{
    const fs::path tmp = fs::temp_directory_path();
    for (const Args &args : {Args{"--help"}, Args{"-h"}, Args{"rarefy", "--help"}}) {
        const ToolRun run = runTool(args, tmp);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.err, "");
        for (const char *section : {"NAME\n", "SYNOPSIS\n", "DESCRIPTION\n", "COMMANDS\n",
                                    "OPTIONS\n", "EXIT STATUS\n", "EXAMPLES\n"}) {
            EXPECT_NE(run.out.find(section), std::string::npos) << section;
        }
    }
}

} // namespace
} // namespace quorvella::cli::test
