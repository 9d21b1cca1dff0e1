#pragma once

// The texts of `quorvella --help` and `quorvella --version`. Plain C++ with
// no Qt, so that the build can turn the same text into the manual page.

#include <string>

namespace quorvella {

// The manual printed by `quorvella --help`.
std::string programHelpText();

// "quorvella X.Y.Z", the version of the build.
std::string programVersionText();

} // namespace quorvella
