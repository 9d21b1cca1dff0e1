#pragma once

// Runs the built quorvella-cli as a child process and captures what it
// writes, so tests compare the exact bytes a user or a script would see.

#include <filesystem>
#include <string>
#include <vector>

namespace quorvella::cli::test {

struct ToolRun
{
    int exitStatus = -1; // -1: the tool did not exit normally (a crash)
    std::string out;
    std::string err;
};

ToolRun runTool(const std::vector<std::string> &args, const std::filesystem::path &workDir);

std::string readBytes(const std::filesystem::path &path);

// A fresh folder of its own under the system's temporary folder, removed
// with everything in it when the object goes, so that runs in parallel never
// share a file.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace quorvella::cli::test
