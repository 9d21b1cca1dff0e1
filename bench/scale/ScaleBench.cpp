// Community-sequencing scale: a 1000-sample by 20 000-taxon table (about
// 40 MB of text, 2 million non-zero cells; CommunityTable.h).
//
// Targets on the two-core reference machine:
// - BM_ValidateAndParseMatrix: checking the matrix (UTF-8, then the table)
//   and reading its cells in one scan at 200 MB/s or more (bytes_per_second).
// - BM_CliMetrics, BM_CliSampleRarefy, BM_CliChao2: the whole quorvella-cli
//   process on the matrix in 1 s or less, peak_MB (the child's peak resident
//   memory) 300 or less.
// - BM_GroupSampleCurve: the sample-based rarefaction curve of the matrix's
//   1000 collections (the group's matrix, Chao-2 and every point) in 300 ms
//   or less.
// - BM_ReadCommunityTable: the matrix transposed as a tab-separated community
//   table (comments, taxonomy column), checked and read into counts; /1 on
//   one thread, /2 in the two parts an import reads (bytes_per_second).
// - BM_ReadCommunityFile: reading that table's file whole and checking it as
//   UTF-8, the step before its reading (bytes_per_second).
// - BM_CliImport: importing the matrix into a new document in 1.5 s or less,
//   peak_MB 300 or less; BM_CliImportCommunity the same for the table
//   transposed as a tab-separated community table.
// - BM_OpenImportedDocument: reading the imported document into a store, the
//   store's share of opening it in the application (1 s or less in all).
//
// Every process-level figure comes from a child process (posix_spawn, wait4),
// so the peak memory is that of the work alone. `scale_bench --once OP FILE`
// is the child form of the in-process benchmarks.

#include "CommunityTable.h"
#include "analysis/EcoCollectionGroup.h"
#include "store/DocumentFile.h"
#include "textio/CollectionGroupReader.h"
#include "textio/CommunityTable.h"
#include "textio/TextFile.h"
#include "textio/Utf8.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace quorvella::bench {
namespace {

namespace fs = std::filesystem;

std::string selfPath;

const fs::path &workFolder()
{
    static const fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("quorvella-scale-" + std::to_string(getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

void writeFile(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

const std::string &matrixText()
{
    static const std::string text = makeCommunityMatrix();
    return text;
}

const fs::path &matrixFile()
{
    static const fs::path path = [] {
        fs::path file = workFolder() / "community-matrix.csv";
        writeFile(file, matrixText());
        return file;
    }();
    return path;
}

struct ChildRun
{
    double seconds = 0;
    double cpuSeconds = 0; // user and system: less disturbed by other load than wall time
    double peakMegabytes = 0;
};

double secondsOf(const timeval &time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs a program to its end with its output discarded; its wall time and
// peak resident memory.
ChildRun spawnAndWait(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + arguments[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(arguments[0] + " " + arguments[1] + " failed");
    }
    return {std::chrono::duration<double>(end - start).count(),
            secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime),
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

// Children are started by a small launcher forked before the benchmarks
// allocate anything. A child started straight from this process would report
// this process's peak memory as its own: the kernel carries the larger peak
// of the memory a child shared until its exec.
struct Launcher
{
    int requests = -1; // to the launcher: argument count, then each length and bytes
    int replies = -1;  // from it: a success flag and a ChildRun
};
Launcher launcher;

bool readExactly(int descriptor, void *data, std::size_t size)
{
    auto *bytes = static_cast<char *>(data);
    while (size > 0) {
        const ssize_t count = ::read(descriptor, bytes, size);
        if (count <= 0) {
            return false;
        }
        bytes += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

void writeExactly(int descriptor, const void *data, std::size_t size)
{
    const auto *bytes = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t count = ::write(descriptor, bytes, size);
        if (count <= 0) {
            throw std::runtime_error("the launcher is gone");
        }
        bytes += count;
        size -= static_cast<std::size_t>(count);
    }
}

[[noreturn]] void serveLaunches(int requests, int replies)
{
    std::size_t count = 0;
    while (readExactly(requests, &count, sizeof count)) {
        std::vector<std::string> arguments(count);
        for (std::string &argument : arguments) {
            std::size_t length = 0;
            readExactly(requests, &length, sizeof length);
            argument.resize(length);
            readExactly(requests, argument.data(), length);
        }
        ChildRun run;
        bool ok = true;
        try {
            run = spawnAndWait(arguments);
        } catch (const std::exception &) {
            ok = false;
        }
        writeExactly(replies, &ok, sizeof ok);
        writeExactly(replies, &run, sizeof run);
    }
    _exit(0);
}

void startLauncher()
{
    int requests[2];
    int replies[2];
    if (pipe(requests) != 0 || pipe(replies) != 0) {
        throw std::runtime_error("cannot make the launcher's pipes");
    }
    if (fork() == 0) {
        close(requests[1]);
        close(replies[0]);
        serveLaunches(requests[0], replies[1]);
    }
    close(requests[0]);
    close(replies[1]);
    launcher = {requests[1], replies[0]};
}

// Runs a program to its end through the launcher; its wall time, CPU time
// and peak resident memory.
ChildRun runChild(const std::vector<std::string> &arguments)
{
    const std::size_t count = arguments.size();
    writeExactly(launcher.requests, &count, sizeof count);
    for (const std::string &argument : arguments) {
        const std::size_t length = argument.size();
        writeExactly(launcher.requests, &length, sizeof length);
        writeExactly(launcher.requests, argument.data(), length);
    }
    bool ok = false;
    ChildRun run;
    if (!readExactly(launcher.replies, &ok, sizeof ok) ||
        !readExactly(launcher.replies, &run, sizeof run) || !ok) {
        throw std::runtime_error(arguments[0] + " " + arguments[1] + " failed");
    }
    return run;
}

void measureChild(benchmark::State &state, const std::vector<std::string> &arguments,
                  const fs::path &removeBefore = {})
{
    double peak = 0;
    double cpu = 0;
    for (auto _ : state) {
        if (!removeBefore.empty()) {
            fs::remove(removeBefore);
        }
        const ChildRun run = runChild(arguments);
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMegabytes);
        cpu += run.cpuSeconds;
    }
    state.counters["peak_MB"] = peak;
    state.counters["cpu_s"] = cpu / static_cast<double>(state.iterations());
}

// What a reader keeps of a matrix: each row's cells, in one array.
struct ReadMatrix
{
    std::vector<std::size_t> rowStart{0};
    std::vector<GroupCell> cells;
};

// Checks the text's UTF-8 and the matrix, and reads it, as a file's import does.
bool checkAndReadMatrix(const std::string &text, ReadMatrix &matrix)
{
    if (findInvalidUtf8(text)) {
        return false;
    }
    const ValidationResult check = readCollectionGroup(text, [&matrix](const GroupRow &row) {
        matrix.cells.insert(matrix.cells.end(), row.cells.begin(), row.cells.end());
        matrix.rowStart.push_back(matrix.cells.size());
    });
    return check.isValid();
}

void BM_ValidateAndParseMatrix(benchmark::State &state)
{
    const std::string &text = matrixText();
    for (auto _ : state) {
        ReadMatrix matrix;
        if (!checkAndReadMatrix(text, matrix)) {
            throw std::logic_error("the community matrix must be valid");
        }
        benchmark::DoNotOptimize(matrix);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["peak_MB"] =
        runChild({selfPath, "--once", "read-validate-parse", matrixFile().string()}).peakMegabytes;
}

// The matrix's collections and taxa as the group takes them from a document.
GroupTaxa matrixGroupTaxa()
{
    std::vector<std::optional<std::string>> names;
    std::vector<std::vector<GroupCell>> rows;
    std::vector<std::string> species;
    readCollectionGroup(matrixText(), [&](const GroupRow &row) {
        names.emplace_back(std::string(row.name));
        rows.emplace_back(row.cells.begin(), row.cells.end());
        species.assign(row.speciesNames.begin(), row.speciesNames.end());
    });
    GroupTaxa taxa(std::move(names));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (const GroupCell &cell : rows[row]) {
            taxa.add(row, species[cell.species], cell.abundance);
        }
    }
    return taxa;
}

void BM_GroupSampleCurve(benchmark::State &state)
{
    const GroupTaxa taxa = matrixGroupTaxa();
    std::size_t points = 0;
    for (auto _ : state) {
        EcoCollectionGroup group(taxa);
        points = group.sampleBasedRarefactionCurve().size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["collections"] = static_cast<double>(points);
    state.counters["taxa"] = static_cast<double>(taxa.size());
}
BENCHMARK(BM_GroupSampleCurve)->Iterations(3)->Unit(benchmark::kMillisecond);

const std::string &communityText()
{
    static const std::string text = makeCommunityTable();
    return text;
}

const fs::path &communityFile()
{
    static const fs::path path = [] {
        fs::path file = workFolder() / "community-table.tsv";
        writeFile(file, communityText());
        return file;
    }();
    return path;
}

// The community table's file read whole and checked as UTF-8, the step an
// import takes before the table is read (the file is in the page cache).
void BM_ReadCommunityFile(benchmark::State &state)
{
    const fs::path &file = communityFile();
    std::size_t bytes = 0;
    for (auto _ : state) {
        TextFileResult read = readTextFile(file);
        if (!read.ok()) {
            throw std::logic_error(read.error);
        }
        bytes = read.text->size();
        benchmark::DoNotOptimize(read);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ReadCommunityFile)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

// Data lines of at least this many bytes are read in two parts; one part
// never splits.
std::size_t partBytesForThreads(std::int64_t threads)
{
    return threads == 1 ? std::numeric_limits<std::size_t>::max() : communityPartBytes;
}

void BM_ReadCommunityTable(benchmark::State &state)
{
    const std::string &text = communityText();
    const std::size_t partBytes = partBytesForThreads(state.range(0));
    for (auto _ : state) {
        CommunityCounts counts = readCommunityCounts(text, {}, partBytes);
        if (counts.fault || counts.cells.empty()) {
            throw std::logic_error("the community table must read without a fault");
        }
        benchmark::DoNotOptimize(counts);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ReadCommunityTable)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

#ifdef QUORVELLA_CLI_PATH
void BM_CliCommand(benchmark::State &state, const char *command)
{
    measureChild(state, {QUORVELLA_CLI_PATH, command, "--format", "matrix", matrixFile().string()});
}

void BM_CliImport(benchmark::State &state)
{
    const fs::path document = workFolder() / "imported.qvl";
    measureChild(state,
                 {QUORVELLA_CLI_PATH, "import", "--format", "matrix", matrixFile().string(),
                  "--into", document.string()},
                 document);
    state.counters["document_MB"] = static_cast<double>(fs::file_size(document)) / 1e6;
}

// The same table transposed, tab-separated, with comments and taxonomy.
void BM_CliImportCommunity(benchmark::State &state)
{
    const fs::path document = workFolder() / "community.qvl";
    measureChild(state,
                 {QUORVELLA_CLI_PATH, "import", "--format", "community", communityFile().string(),
                  "--into", document.string()},
                 document);
}

BENCHMARK_CAPTURE(BM_CliCommand, metrics, "metrics")
    ->Name("BM_CliMetrics")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CliCommand, sample_rarefy, "sample-rarefy")
    ->Name("BM_CliSampleRarefy")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CliCommand, chao2, "chao2")
    ->Name("BM_CliChao2")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
// A child process that reads the document the matrix import wrote.
void BM_OpenImportedDocument(benchmark::State &state)
{
    const fs::path document = workFolder() / "opened.qvl";
    runChild({QUORVELLA_CLI_PATH, "import", "--format", "matrix", matrixFile().string(), "--into",
              document.string()});
    measureChild(state, {selfPath, "--once", "open", document.string()});
}

BENCHMARK(BM_CliImport)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliImportCommunity)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenImportedDocument)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK(BM_ValidateAndParseMatrix)->Iterations(3)->Unit(benchmark::kMillisecond);

// The child form: one operation on a file, then exit; the parent reads the
// peak memory.
int runOnce(std::string_view operation, const std::string &path)
{
    if (operation == "read-validate-parse") {
        TextFileResult file = readTextFile(path);
        ReadMatrix matrix;
        return file.ok() && checkAndReadMatrix(*file.text, matrix) && matrix.rowStart.size() > 1
                   ? 0
                   : 1;
    }
    if (operation == "read-community") { // for counting the reader's instructions
        TextFileResult file = readTextFile(path);
        return file.ok() && !readCommunityCounts(*file.text, {}).fault ? 0 : 1;
    }
    if (operation == "open") {
        return DocumentFile::load(path).taxonCount() > 0 ? 0 : 1;
    }
    return 2;
}

} // namespace
} // namespace quorvella::bench

int main(int argc, char **argv)
{
    using namespace quorvella::bench;
    selfPath = fs::canonical("/proc/self/exe").string();
    if (argc == 4 && std::string_view(argv[1]) == "--once") {
        return runOnce(argv[2], argv[3]);
    }
    startLauncher();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(workFolder(), ignored);
    return 0;
}
