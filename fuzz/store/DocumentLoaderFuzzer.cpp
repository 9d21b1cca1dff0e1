// Feeds arbitrary bytes to the document loader as a file. Every input must
// either load or be refused with DocumentFileError; anything else (a crash, a
// sanitizer report, another exception) is a fault. A document that loads must
// also save and load again to the same records.

#include "store/DocumentFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path &scratchFolder()
{
    static const fs::path folder = [] {
        fs::path path =
            fs::temp_directory_path() / ("quorvella-loader-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratchFolder(), ignored);
        });
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
