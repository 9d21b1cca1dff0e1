#include "textio/TextFile.h"

#include "textio/Utf8.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvella {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("quorvella-textio-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
    }

    fs::path put(const std::string &name, const std::string &bytes)
    {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string contents(const fs::path &path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::size_t entries() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    fs::path folder_;
};

struct ReadRow
{
    const char *label;
    std::string bytes;
    std::uintmax_t limit;
    std::optional<std::string> text;
    const char *errorPart; // a piece the error text must hold
};

TEST_F(TextFileTest, ReadsOrSaysWhyNot)
{
    const ReadRow rows[] = {
        {"utf8", "A,1\r\nGlobig\xC3\xA9rina,2", 100, "A,1\r\nGlobig\xC3\xA9rina,2", ""},
        {"bom dropped",
         "\xEF\xBB\xBF"
         "3 1 4",
         100, "3 1 4", ""},
        {"empty", "", 100, "", ""},
        {"exactly the limit", "12345", 5, "12345", ""},
        {"over the limit", "123456", 5, std::nullopt, "larger than"},
        {"latin-1", "caf\xE9", 100, std::nullopt, "byte offset 3"},
    };
    for (const ReadRow &row : rows) {
        const fs::path path = put("in.txt", row.bytes);
        const TextFileResult result = readTextFile(path, row.limit);
        EXPECT_EQ(result.text, row.text) << row.label;
        EXPECT_NE(result.error.find(row.errorPart), std::string::npos)
            << row.label << ": " << result.error;
        if (!row.text) {
            EXPECT_NE(result.error.find(path.string()), std::string::npos) << result.error;
        }
    }
}

// A file is checked piece by piece as it is read: a character or a fault
// around the end of a piece (64 KiB each) or of the file is judged as in the
// whole text, also in a large file, whose pages are made before the reading.
TEST_F(TextFileTest, ChecksEveryPlaceAsTheWholeText)
{
    const std::string sequences[] = {
        "\xC3\xA9",
        "\xE2\x80\xA8",
        "\xF0\x9F\xA6\xA0",
        "\xE2\x80"
        "A",
        "\xF0\x9F\xA6"
        "A",
        "\x80",
        "\xED\xA0\x80",
        "\xF4\x90\x80\x80",
    };
    constexpr std::size_t piece = 65536;
    for (const std::size_t size : {3 * piece, std::size_t(5) << 20}) {
        std::vector<std::size_t> places{size - 3, size - 2, size - 1};
        for (std::size_t place = size - piece - 5; place <= size - piece + 1; ++place) {
            places.push_back(place);
        }
        for (const std::size_t place : places) {
            for (const std::string &sequence : sequences) {
                std::string bytes(size, 'a');
                bytes.replace(place, sequence.size(), sequence);
                const Utf8DecodeResult whole = decodeUtf8(bytes);
                const TextFileResult read = readTextFile(put("in.txt", bytes));
                ASSERT_EQ(read.ok(), whole.ok()) << place << " of " << size;
                EXPECT_EQ(read.text.has_value() && *read.text == bytes, whole.ok());
                if (!whole.ok()) {
                    EXPECT_NE(read.error.find(whole.error), std::string::npos) << read.error;
                }
            }
        }
    }
}

TEST_F(TextFileTest, RefusesMissingFilesAndFolders)
{
    EXPECT_NE(readTextFile(folder_ / "missing.txt").error.find("No such file"), std::string::npos);
    EXPECT_NE(readTextFile(folder_).error.find("not a file"), std::string::npos);
}

TEST_F(TextFileTest, RefusesAHugeFileBeforeReadingIt)
{
    // A sparse 2 GB file: refused by its size, without reading 2 GB.
    const fs::path path = folder_ / "huge.csv";
    std::ofstream(path, std::ios::binary).close();
    fs::resize_file(path, 2ull * 1024 * 1024 * 1024);
    const TextFileResult result = readTextFile(path);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("64 MB"), std::string::npos) << result.error;
}

TEST_F(TextFileTest, WritesANewFileAndReplacesAnOldOne)
{
    const fs::path path = folder_ / "out.csv";
    ASSERT_TRUE(writeFileAtomically(path, "first\r").ok);
    EXPECT_EQ(contents(path), "first\r");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writeFileAtomically(path, "second\r").ok);
    EXPECT_EQ(contents(path), "second\r");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(), 1u); // no temporary file left behind
}

TEST_F(TextFileTest, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    // A file-size limit makes the write fail part way, as a full disk does.
    const fs::path path = put("out.csv", "old");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteResult result = writeFileAtomically(path, "a much longer new text\r");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("File too large"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(path.string()), std::string::npos) << result.error;
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(TextFileTest, FailsIntoAMissingFolderOrOverAFolder)
{
    EXPECT_NE(writeFileAtomically(folder_ / "no" / "out.csv", "x").error.find("No such file"),
              std::string::npos);
    fs::create_directory(folder_ / "sub");
    const WriteResult overFolder = writeFileAtomically(folder_ / "sub", "x");
    EXPECT_FALSE(overFolder.ok);
    EXPECT_TRUE(fs::is_directory(folder_ / "sub"));
    EXPECT_EQ(entries(), 1u);
}

} // namespace
} // namespace quorvella
