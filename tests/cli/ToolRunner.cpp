#include "ToolRunner.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/wait.h>

extern char **environ;

namespace quorvella::cli::test {

std::string readBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TempFolder::TempFolder()
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvella-cli-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("could not make a temporary folder");
    }
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ToolRun runTool(const std::vector<std::string> &args, const std::filesystem::path &workDir)
{
    const std::filesystem::path outPath = workDir / "stdout.bin";
    const std::filesystem::path errPath = workDir / "stderr.bin";

    std::vector<std::string> argv{QUORVELLA_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char *> argvPointers;
    for (std::string &arg : argv) {
        argvPointers.push_back(arg.data());
    }
    argvPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, argvPointers[0], &actions, nullptr, argvPointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("could not start " + argv[0]);
    }
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);

    ToolRun run;
    run.exitStatus = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    run.out = readBytes(outPath);
    run.err = readBytes(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}

} // namespace quorvella::cli::test
