#include "log/Log.h"

#include <cstdio>
#include <utility>

namespace quorvella {
namespace {

LogSink &currentSink()
{
    static LogSink sink;
    return sink;
}

} // namespace

void logLine(std::string_view line)
{
    if (const LogSink &sink = currentSink()) {
        sink(line);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

LogSink setLogSink(LogSink sink)
{
    return std::exchange(currentSink(), std::move(sink));
}

} // namespace quorvella
