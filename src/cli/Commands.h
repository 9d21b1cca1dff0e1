#pragma once

// One function per command of quorvella-cli. Each writes its result to
// `out` and throws Failure for bad input or a failed write.

#include "cli/CommandLine.h"

#include <ostream>

namespace quorvella::cli {

void runMetrics(const CommandLine &line, std::ostream &out);
void runRarefy(const CommandLine &line, std::ostream &out);
void runSampleRarefy(const CommandLine &line, std::ostream &out);
void runChao2(const CommandLine &line, std::ostream &out);
void runDiversity(const CommandLine &line, std::ostream &out);
// Writes the reasons for values it cannot compute to `err`; they do not fail
// the run.
void runEstimators(const CommandLine &line, std::ostream &out, std::ostream &err);
void runValidate(const CommandLine &line);
void runImport(const CommandLine &line);
void runExport(const CommandLine &line, std::ostream &out);

} // namespace quorvella::cli
