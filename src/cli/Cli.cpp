#include "cli/Cli.h"

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/HelpText.h"

#include <new>

namespace quorvella::cli {
namespace {

void runCommand(const CommandLine &line, std::ostream &out, std::ostream &err)
{
    switch (line.command) {
    case Command::Help:
        out << helpText();
        break;
    case Command::Version:
        out << versionText();
        break;
    case Command::Metrics:
        runMetrics(line, out);
        break;
    case Command::Rarefy:
        runRarefy(line, out);
        break;
    case Command::SampleRarefy:
        runSampleRarefy(line, out);
        break;
    case Command::Chao2:
        runChao2(line, out);
        break;
    case Command::Diversity:
        runDiversity(line, out);
        break;
    case Command::Estimators:
        runEstimators(line, out, err);
        break;
    case Command::Validate:
        runValidate(line);
        break;
    case Command::Import:
        runImport(line);
        break;
    case Command::Export:
        runExport(line, out);
        break;
    }
}

int status(ExitStatus s)
{
    return static_cast<int>(s);
}

} // namespace

int runCli(std::span<const std::string_view> args, std::ostream &out, std::ostream &err)
{
    try {
        runCommand(parseCommandLine(args), out, err);
        return status(ExitStatus::Success);
    } catch (const UsageError &error) {
        err << "quorvella-cli: " << error.what() << "\n" << usageText();
        return status(ExitStatus::Usage);
    } catch (const Failure &error) {
        err << error.what() << "\n";
    } catch (const std::bad_alloc &) {
        err << "quorvella-cli: not enough memory for this input\n";
    } catch (const std::exception &error) {
        err << "quorvella-cli: " << error.what() << "\n";
    } catch (...) {
        err << "quorvella-cli: unexpected failure\n";
    }
    return status(ExitStatus::Failure);
}

} // namespace quorvella::cli
