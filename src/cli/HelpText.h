#pragma once

// The texts of --help, --version and the synopsis shown after a usage error.

#include <string>

namespace quorvella::cli {

// The manual page printed by --help.
std::string helpText();

// The short synopsis printed on standard error after a usage error.
std::string usageText();

// "quorvella-cli X.Y.Z", the version of the build.
std::string versionText();

} // namespace quorvella::cli
