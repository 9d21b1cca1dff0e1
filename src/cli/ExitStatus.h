#pragma once

// The tool's exit statuses and the two kinds of failure that end a run with
// them. Commands throw these; the dispatcher turns them into a message on
// standard error and the matching status.

#include <stdexcept>
#include <string>

namespace quorvella::cli {

enum class ExitStatus : int {
    Success = 0,
    Failure = 1, // bad input or a failed write
    Usage = 2,   // the command line itself is wrong
};

// Bad input or a failed write: the message says what failed and why.
class Failure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A command line that cannot be run: the message says what is wrong; the
// dispatcher adds the usage synopsis.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace quorvella::cli
