#include "log/Log.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvella {
namespace {

TEST(Log, SinkReceivesLinesAndCanBeRestored)
{
    std::vector<std::string> lines;
    LogSink previous = setLogSink([&](std::string_view line) { lines.emplace_back(line); });
    logLine("orphaned taxon a removed from database");
    logLine("");
    setLogSink(previous);
    logLine("goes to stderr, not the vector");
    EXPECT_EQ(lines, (std::vector<std::string>{"orphaned taxon a removed from database", ""}));
}

} // namespace
} // namespace quorvella
