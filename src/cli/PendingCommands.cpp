// Temporary: the analysis and file commands join as the core lands.
#include "cli/Commands.h"
#include "cli/ExitStatus.h"

namespace quorvella::cli {
namespace {
[[noreturn]] void pending()
{
    throw Failure("quorvella-cli: this command is not available in this build yet");
}
} // namespace
void runMetrics(const CommandLine &, std::ostream &)
{
    pending();
}
void runRarefy(const CommandLine &, std::ostream &)
{
    pending();
}
void runSampleRarefy(const CommandLine &, std::ostream &)
{
    pending();
}
void runChao2(const CommandLine &, std::ostream &)
{
    pending();
}
void runValidate(const CommandLine &)
{
    pending();
}
void runImport(const CommandLine &)
{
    pending();
}
void runExport(const CommandLine &, std::ostream &)
{
    pending();
}
} // namespace quorvella::cli
