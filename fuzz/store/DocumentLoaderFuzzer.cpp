// Feeds arbitrary bytes to the document loader as a file. Every input must
// either load or be refused with DocumentFileError; anything else (a crash, a
// sanitizer report, another exception) is a fault. A document that loads must
// also save and load again to the same records.

#include "store/DocumentFile.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Memory-backed when possible: every input is written to a file and every
// loaded document saved again, and syncing a real disk would slow the run.
fs::path scratchParent()
{
    std::error_code error;
    return fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// libFuzzer ends the process without running exit handlers, so each run
// removes the folders of earlier runs whose process is gone.
void removeStaleScratchFolders(const fs::path &parent)
{
    const std::string prefix = "quorvella-loader-fuzz-";
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(parent, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            fs::remove_all(entry.path(), error);
        }
    }
}

const fs::path &scratchFolder()
{
    static const fs::path folder = [] {
        const fs::path parent = scratchParent();
        removeStaleScratchFolders(parent);
        fs::path path = parent / ("quorvella-loader-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

void checkSavedCopy(const quorvella::Store &loaded)
{
    const fs::path copy = scratchFolder() / "copy.qvl";
    quorvella::DocumentFile::save(loaded, copy);
    const quorvella::Store again = quorvella::DocumentFile::load(copy);
    const auto taxa = loaded.createArrayOfAllTaxa();
    const auto taxaAgain = again.createArrayOfAllTaxa();
    const auto censuses = loaded.createArrayOfAllCensuses();
    const auto censusesAgain = again.createArrayOfAllCensuses();
    if (taxa.size() != taxaAgain.size() || censuses.size() != censusesAgain.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < taxa.size(); ++i) {
        if (taxa[i].id != taxaAgain[i].id || !taxa[i].sameAttributes(taxaAgain[i])) {
            std::abort();
        }
    }
    for (std::size_t i = 0; i < censuses.size(); ++i) {
        if (censuses[i].id != censusesAgain[i].id ||
            !censuses[i].sameAttributes(censusesAgain[i])) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const fs::path file = scratchFolder() / "input.qvl";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    try {
        const quorvella::Store loaded = quorvella::DocumentFile::load(file);
        checkSavedCopy(loaded);
    } catch (const quorvella::DocumentFileError &) {
        // A refused file is a correct answer.
    }
    return 0;
}
