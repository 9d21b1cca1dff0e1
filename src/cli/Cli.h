#pragma once

// The whole tool behind main(): parses the command line, runs the command,
// writes its result to `out` and every message to `err`, and answers the
// exit status. Nothing escapes as an exception.

#include <ostream>
#include <span>
#include <string_view>

namespace quorvella::cli {

int runCli(std::span<const std::string_view> args, std::ostream &out, std::ostream &err);

} // namespace quorvella::cli
