#include "TemporaryFolder.h"
#include "store/DocumentFile.h"

#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>

namespace quorvella {
namespace {

namespace fs = std::filesystem;

void runSql(const fs::path &file, const std::string &sql)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char *error = nullptr;
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(result, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

// A valid document with a few records, as this version saves it.
void writeGoodDocument(const fs::path &file, int collections = 3)
{
    Store store;
    for (int c = 0; c < collections; ++c) {
        const RecordId census = store.insertCensus(Census{.censusName = "c" + std::to_string(c)});
        for (int t = 0; t < 20; ++t) {
            store.insertTaxon(Taxon{.taxonName = "a rather long taxon name " + std::to_string(t),
                                    .abundance = t,
                                    .census = census});
        }
    }
    DocumentFile::save(store, file);
}

// A valid document changed by raw SQL, as another tool might.
std::function<void(const fs::path &)> editedDocument(std::string sql)
{
    return [sql](const fs::path &file) {
        writeGoodDocument(file);
        runSql(file, sql);
    };
}

void overwriteBytes(const fs::path &file, std::size_t from, std::size_t count, char byte)
{
    std::string bytes = readBytes(file);
    for (std::size_t i = from; i < from + count && i < bytes.size(); ++i) {
        bytes[i] = byte;
    }
    writeBytes(file, bytes);
}

TEST(BadDocumentFile, EachKindGivesAClearErrorAndLeavesTheFileAlone)
{
    struct Row
    {
        const char *what;
        std::function<void(const fs::path &)> make;
        const char *reason; // a part of the reason
    };
    const Row rows[] = {
        {"missing", [](const fs::path &) {}, "the file does not exist"},
        {"empty", [](const fs::path &f) { writeBytes(f, ""); }, "the file is empty"},
        {"folder", [](const fs::path &f) { fs::create_directory(f); }, "it is a folder"},
        {"named pipe", [](const fs::path &f) { ::mkfifo(f.c_str(), 0600); },
         "it is not a regular file"},
        {"plain text", [](const fs::path &f) { writeBytes(f, "label,A,B\nS1,1,2\n"); },
         "not an SQLite database"},
        {"binary noise", [](const fs::path &f) { writeBytes(f, std::string(5000, '\x7f')); },
         "not an SQLite database"},
        {"SQLite header only",
         [](const fs::path &f) { writeBytes(f, std::string("SQLite format 3\0", 16)); }, "it is"},
        {"another application's database",
         [](const fs::path &f) { runSql(f, "CREATE TABLE notes (id INTEGER, body TEXT);"); },
         "SQLite database of another application"},
        {"newer format", editedDocument("PRAGMA user_version = 2;"),
         "newer version of Quorvella (file format 2; this version reads format 1)"},
        {"format zero", editedDocument("PRAGMA user_version = 0;"), "unknown file format 0"},
        {"truncated",
         [](const fs::path &f) {
             writeGoodDocument(f, 200);
             fs::resize_file(f, fs::file_size(f) / 2);
         },
         "damaged"},
        {"corrupted pages",
         [](const fs::path &f) {
             writeGoodDocument(f, 200);
             overwriteBytes(f, 4096 * 3, 4096 * 4, '\x55');
         },
         "damaged"},
        {"missing table", editedDocument("DROP TABLE taxon;"), "the table \"taxon\" is missing"},
        {"missing column", editedDocument("ALTER TABLE taxon DROP COLUMN includeTaxon;"),
         "the table \"taxon\" has no column \"includeTaxon\""},
        {"text as abundance", editedDocument("UPDATE taxon SET abundance = 'many' WHERE id = 5;"),
         "taxon 5: the column abundance holds text, not a count"},
        {"count beyond 32 bits",
         editedDocument("UPDATE census SET richness = 3000000000 WHERE id = 1;"),
         "census 1: the column richness holds the count 3000000000, beyond the 32-bit range"},
        {"short number blob", editedDocument("UPDATE census SET chao = x'0102' WHERE id = 1;"),
         "census 1: the column chao holds 2 bytes, not the 8 bytes of a number"},
        {"number as name", editedDocument("UPDATE census SET censusName = x'00' WHERE id = 1;"),
         "census 1: the column censusName holds binary data, not a name"},
        {"include flag 2", editedDocument("UPDATE taxon SET includeTaxon = 2 WHERE id = 3;"),
         "taxon 3: the column includeTaxon holds a value other than 0 or 1"},
        {"taxon of a missing collection",
         editedDocument("UPDATE taxon SET census = 999 WHERE id = 3;"),
         "taxon 3 belongs to collection 999, which the file does not hold"},
        {"id shared by both kinds",
         editedDocument("INSERT INTO taxon (id, taxonName, includeTaxon) VALUES (1, 'x', 1);"),
         "the id 1 belongs to a collection and a taxon"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        TemporaryFolder folder;
        const fs::path file = folder / "bad.qvl";
        row.make(file);
        const std::string before = fs::is_regular_file(file) ? readBytes(file) : "";
        const auto namesBefore = folder.fileNames();
        try {
            DocumentFile::load(file);
            ADD_FAILURE() << "loaded";
        } catch (const DocumentFileError &error) {
            EXPECT_EQ(error.action(), DocumentFileError::Action::Open);
            EXPECT_NE(error.reason().find(row.reason), std::string::npos) << error.reason();
            const std::string sentence = error.what();
            EXPECT_EQ(
                sentence.rfind("The document \"" + file.string() + "\" could not be opened: ", 0),
                0u)
                << sentence;
        }
        if (fs::is_regular_file(file)) {
            EXPECT_EQ(readBytes(file), before);
        }
        EXPECT_EQ(folder.fileNames(), namesBefore);
    }
}

TEST(BadDocumentFile, ALargeDocumentReadInTwoHalvesMeetsTheFaultOneReadingMeetsFirst)
{
    // 5001 collections of 20 taxa: collection c has the id 21c + 1 and its
    // taxa the next 20, so the later half begins near the id 52 500.
    struct Row
    {
        const char *what;
        const char *sql;
        const char *reason;
    };
    const Row rows[] = {
        {"later half", "UPDATE taxon SET includeTaxon = 2 WHERE id = 105018;",
         "taxon 105018: the column includeTaxon holds a value other than 0 or 1"},
        {"both halves",
         "UPDATE taxon SET abundance = 'many' WHERE id = 103000;"
         "UPDATE taxon SET includeTaxon = 2 WHERE id = 3;",
         "taxon 3: the column includeTaxon holds a value other than 0 or 1"},
        {"later collection missing", "UPDATE taxon SET census = 999999 WHERE id = 84005;",
         "taxon 84005 belongs to collection 999999, which the file does not hold"},
        {"later id shared",
         "INSERT INTO taxon (id, taxonName, includeTaxon) VALUES (84001, 'x', 1);",
         "the id 84001 belongs to a collection and a taxon"},
    };
    TemporaryFolder folder;
    const fs::path good = folder / "good.qvl";
    writeGoodDocument(good, 5001);
    ASSERT_EQ(DocumentFile::load(good).taxonCount(), 100020u);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path file = folder / "bad.qvl";
        writeBytes(file, readBytes(good));
        runSql(file, row.sql);
        try {
            DocumentFile::load(file);
            ADD_FAILURE() << "loaded";
        } catch (const DocumentFileError &error) {
            EXPECT_EQ(error.reason(), std::string("it is damaged (") + row.reason + ")");
        }
    }
}

TEST(BadDocumentFile, EveryTruncationIsRefusedWithoutACrash)
{
    TemporaryFolder folder;
    const fs::path good = folder / "good.qvl";
    writeGoodDocument(good, 40);
    const std::string bytes = readBytes(good);
    const fs::path cut = folder / "cut.qvl";
    for (std::size_t size = 1; size < bytes.size(); size += 997) {
        writeBytes(cut, bytes.substr(0, size));
        EXPECT_THROW(DocumentFile::load(cut), DocumentFileError) << size << " bytes";
    }
}

TEST(BadDocumentFile, ExtraTablesAndColumnsOfLaterToolsAreTolerated)
{
    TemporaryFolder folder;
    const fs::path file = folder / "extended.qvl";
    writeGoodDocument(file);
    runSql(file, "ALTER TABLE census ADD COLUMN remark TEXT; CREATE TABLE notes (body TEXT);");
    EXPECT_EQ(DocumentFile::load(file).censusCount(), 3u);
}

} // namespace
} // namespace quorvella
