#pragma once

// The product's fixed log lines ("Quorvella - Could not end editing when
// adding a new collection", "orphaned taxon Abies removed from database").
// Every layer writes them through logLine(); the core sends them to standard
// error, and the desktop application routes them to Qt's message handler.

#include <functional>
#include <string_view>

namespace quorvella {

using LogSink = std::function<void(std::string_view line)>;

// Writes one log line. The line carries no level and no trailing newline.
void logLine(std::string_view line);

// Replaces where log lines go; an empty sink restores standard error.
// Returns the sink that was in place, so tests can restore it.
LogSink setLogSink(LogSink sink);

} // namespace quorvella
