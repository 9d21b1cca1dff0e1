#include "store/DocumentFile.h"

#include "TemporaryFolder.h"
#include "store/DocumentSaveStream.h"
#include "store/FileReplacement.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteError.h"
#include "store/SqliteStatement.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvella {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double quietNaN = std::numeric_limits<double>::quiet_NaN();

double nanWithPayload(std::uint64_t payload, bool negative)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(quietNaN) | payload;
    if (negative) {
        bits |= 1ull << 63;
    }
    return std::bit_cast<double>(bits);
}

// Every kind of value a double attribute may hold.
const std::optional<double> doubleValues[] = {
    std::nullopt,
    0.0,
    -0.0,
    1.0,
    -2.5,
    0.1,
    1.0 / 3.0,
    static_cast<double>(0.1f), // a single-precision result widened
    123456789.0,
    1e300,
    -1e-300,
    std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::max(),
    std::numeric_limits<double>::lowest(),
    inf,
    -inf,
    quietNaN,
    nanWithPayload(0x1234, false),
    nanWithPayload(0, true),
};

const std::optional<std::int32_t> intValues[] = {std::nullopt,
                                                 0,
                                                 1,
                                                 -1,
                                                 std::numeric_limits<std::int32_t>::max(),
                                                 std::numeric_limits<std::int32_t>::min()};

const std::optional<std::string> names[] = {
    std::nullopt,
    "",
    "Globigerina bulloides",
    "trailing space ",
    "\"quoted\", with comma\r\nand line end",
    std::string("embedded\0nul", 12),
    "\xC3\x89lphidium \xE2\x80\x94 \xF0\x9F\xA6\xA0",
    "'); DROP TABLE taxon; --",
};

// A store that holds every value above somewhere, with orphans and with gaps
// in its ids (deleted records).
Store storeWithEveryValue()
{
    Store store;
    std::size_t n = 0;
    for (const auto &value : doubleValues) {
        const std::size_t i = n++;
        const auto pick = [&](std::size_t offset) {
            return doubleValues[(i + offset) % std::size(doubleValues)];
        };
        Census census;
        census.censusName = names[i % std::size(names)];
        census.abundance = intValues[i % std::size(intValues)];
        census.richness = intValues[(i + 1) % std::size(intValues)];
        census.buzasGibson = value;
        census.chao = pick(1);
        census.shannon = pick(2);
        census.simpson = pick(3);
        census.peters = pick(4);
        census.pielou = pick(5);
        census.pie = pick(6);
        census.rarefactionRichness = pick(7);
        census.rarefactionSampleSize = intValues[(i + 2) % std::size(intValues)];
        const RecordId id = store.insertCensus(census);
        for (std::size_t t = 0; t < i % 4; ++t) {
            Taxon taxon;
            taxon.census = id;
            taxon.taxonName = names[(i + t) % std::size(names)];
            taxon.abundance = intValues[(i + t) % std::size(intValues)];
            taxon.includeTaxon = (i + t) % 3 != 0;
            store.insertTaxon(taxon);
        }
        if (i % 5 == 0) {
            store.insertTaxon(Taxon{.taxonName = names[i % std::size(names)],
                                    .abundance = 7,
                                    .includeTaxon = i % 2 == 0}); // an orphan
        }
        if (i % 6 == 0) {
            const RecordId gone = store.insertCensus(Census{.censusName = "deleted"});
            store.deleteCensuses(std::span(&gone, 1));
        }
    }
    return store;
}

void expectSameRecords(const Store &loaded, const Store &saved)
{
    const auto censuses = loaded.createArrayOfAllCensuses();
    const auto savedCensuses = saved.createArrayOfAllCensuses();
    ASSERT_EQ(censuses.size(), savedCensuses.size());
    for (std::size_t i = 0; i < censuses.size(); ++i) {
        EXPECT_EQ(censuses[i].id, savedCensuses[i].id);
        EXPECT_TRUE(censuses[i].sameAttributes(savedCensuses[i])) << "collection " << i;
    }
    const auto taxa = loaded.createArrayOfAllTaxa();
    const auto savedTaxa = saved.createArrayOfAllTaxa();
    ASSERT_EQ(taxa.size(), savedTaxa.size());
    for (std::size_t i = 0; i < taxa.size(); ++i) {
        EXPECT_EQ(taxa[i].id, savedTaxa[i].id);
        EXPECT_TRUE(taxa[i].sameAttributes(savedTaxa[i])) << "taxon " << i;
    }
}

TEST(DocumentFile, RoundTripKeepsEveryValueOrderAndOrphan)
{
    TemporaryFolder folder;
    const Store saved = storeWithEveryValue();
    const auto file = folder / "every value.qvl";
    DocumentFile::save(saved, file);
    const Store loaded = DocumentFile::load(file);
    expectSameRecords(loaded, saved);
    EXPECT_FALSE(loaded.isModified());
    // Bits, not just equality: each NaN payload and the sign of zero survive.
    const auto censuses = loaded.createArrayOfAllCensuses();
    for (std::size_t i = 0; i < std::size(doubleValues); ++i) {
        const auto &expected = doubleValues[i];
        const auto &actual = censuses[i].buzasGibson;
        ASSERT_EQ(actual.has_value(), expected.has_value());
        if (expected) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(*actual),
                      std::bit_cast<std::uint64_t>(*expected));
        }
    }
}

// The fixture was saved from storeWithEveryValue() by the writer that also
// kept an index of the taxa's collections, as every file before December 2026
// does: such files open with every value, and save again as they are now.
TEST(DocumentFile, FilesWithTheCensusIndexOpenAndSaveAgain)
{
    const Store earlier =
        DocumentFile::load(QUORVELLA_SOURCE_DIR "/tests/store/data/every-value-with-census-index.qvl");
    expectSameRecords(earlier, storeWithEveryValue());
    TemporaryFolder folder;
    const auto file = folder / "saved again.qvl";
    DocumentFile::save(earlier, file);
    expectSameRecords(DocumentFile::load(file), earlier);
}

// Taxa go in batches by kind: an id one above the last with the taxon
// included, the same excluded, an id after a gap. Runs of each kind as long
// as a batch, one less and one more, with values repeating in the same places
// and changing to and from NULL, are stored as they are, each row exactly as
// a statement naming every column stores it.
TEST(DocumentFile, TaxaInRunsOfEveryKindAndLengthAreStoredAsTheyAre)
{
    Store saved;
    const RecordId first = saved.insertCensus(Census{.censusName = "first"});
    const RecordId second = saved.insertCensus(Census{.censusName = "second"});
    RecordId id = saved.nextRecordId();
    std::vector<TaxonView> taxa;
    std::size_t row = 0;
    for (const std::size_t length : {1u, 2u, 1023u, 1024u, 1025u, 2049u}) {
        for (const int kind : {0, 1, 2, 0}) {
            for (std::size_t i = 0; i < length; ++i, ++row) {
                id += kind == 2 ? 2 : 1;
                TaxonView taxon{id, std::nullopt, std::nullopt, std::nullopt, kind != 1};
                if (row % 11 != 0) {
                    taxon.taxonName = *names[2];
                }
                if (row % 3 != 0) {
                    taxon.abundance = static_cast<std::int32_t>(row % 5) - 2;
                }
                if (row % 7 >= 2) {
                    taxon.census = row % 7 < 4 ? first : second;
                }
                taxa.push_back(taxon);
            }
        }
    }
    {
        Store::TaxonLoader loader(saved, taxa.size());
        for (const TaxonView &taxon : taxa) {
            loader.add(taxon);
        }
    }
    TemporaryFolder folder;
    const auto file = folder / "runs.qvl";
    DocumentFile::save(saved, file);
    expectSameRecords(DocumentFile::load(file), saved);

    const SqliteDatabase db(file, SqliteDatabase::Mode::ReadOnly);
    SqliteStatement rows(db, "SELECT id, typeof(taxonName), typeof(abundance), typeof(census), "
                             "typeof(includeTaxon) FROM taxon ORDER BY id");
    for (const TaxonView &taxon : taxa) {
        ASSERT_TRUE(rows.step());
        EXPECT_EQ(rows.columnInteger(0), taxon.id);
        EXPECT_EQ(rows.columnText(1), taxon.taxonName ? "text" : "null");
        EXPECT_EQ(rows.columnText(2), taxon.abundance ? "integer" : "null");
        EXPECT_EQ(rows.columnText(3), taxon.census ? "integer" : "null");
        EXPECT_EQ(rows.columnText(4), "integer");
    }
    EXPECT_FALSE(rows.step());
}

TEST(DocumentFile, NamesThatLookLikeUrisAreFileNames)
{
    TemporaryFolder folder;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    Store store;
    store.insertCensus(Census{.censusName = "uri"});
    DocumentFile::save(store, "file:odd?mode=memory.qvl");
    EXPECT_EQ(DocumentFile::load("file:odd?mode=memory.qvl").censusCount(), 1u);
    std::filesystem::current_path(previous);
    EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"file:odd?mode=memory.qvl"}));
}

TEST(DocumentFile, LongestFileNamesSave)
{
    TemporaryFolder folder;
    // 250 bytes: three-byte characters, so a cut could split one.
    std::string name;
    while (name.size() + 3 <= 246) {
        name += "\xE2\x80\x94";
    }
    name += ".qvl";
    Store store;
    store.insertCensus();
    DocumentFile::save(store, folder / name);
    EXPECT_EQ(DocumentFile::load(folder / name).censusCount(), 1u);
    EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{name}));
}

TEST(DocumentFile, EmptyDocumentRoundTrips)
{
    TemporaryFolder folder;
    const auto file = folder / "empty.qvl";
    DocumentFile::save(Store{}, file);
    const Store loaded = DocumentFile::load(file);
    EXPECT_EQ(loaded.censusCount(), 0u);
    EXPECT_EQ(loaded.taxonCount(), 0u);
}

TEST(DocumentFile, CancelHookIsAskedBetweenChunksAndEndsTheReading)
{
    TemporaryFolder folder;
    Store saved;
    const RecordId census = saved.insertCensus();
    for (int i = 0; i < 40000; ++i) {
        saved.insertTaxon(
            Taxon{.taxonName = "t" + std::to_string(i % 50), .abundance = 1, .census = census});
    }
    const auto file = folder / "large.qvl";
    DocumentFile::save(saved, file);
    int asked = 0;
    EXPECT_EQ(DocumentFile::load(file, [&] { return ++asked < 0; }).taxonCount(), 40000u);
    EXPECT_GE(asked, 3); // before the taxa, between chunks of them, at the end
    asked = 0;
    // Yes at the second question, in the middle of the taxa: no later question.
    EXPECT_THROW(DocumentFile::load(file, [&] { return ++asked == 2; }), DocumentOpenCancelled);
    EXPECT_EQ(asked, 2);
    // Yes after the last row, while the structure check may still run: it is
    // interrupted, and the open ends as cancelled, not as a damaged file.
    asked = 0;
    EXPECT_THROW(DocumentFile::load(file, [&] { return ++asked >= 4; }), DocumentOpenCancelled);
    EXPECT_EQ(asked, 4);
    // The interrupt itself: the running statement fails at its next step.
    const SqliteDatabase db(file, SqliteDatabase::Mode::ReadOnly);
    SqliteStatement rows(db, "SELECT id FROM taxon");
    ASSERT_TRUE(rows.step());
    db.interrupt();
    try {
        rows.step();
        ADD_FAILURE() << "the statement ran on";
    } catch (const SqliteError &error) {
        EXPECT_EQ(error.code(), SQLITE_INTERRUPT);
    }
}

TEST(DocumentFile, LargeDocumentReadInTwoHalvesHoldsEveryRecordAsSaved)
{
    // Enough taxa for a second connection to read the later half; every kind
    // of value, orphans and deleted ids on both sides of the middle.
    TemporaryFolder folder;
    Store saved;
    std::vector<RecordId> collections;
    for (int c = 0; c < 40; ++c) {
        collections.push_back(saved.insertCensus(Census{.censusName = "c" + std::to_string(c)}));
    }
    std::vector<RecordId> deleted;
    for (int i = 0; i < 120000; ++i) {
        Taxon taxon{.taxonName = "taxon " + std::to_string(i % 7001),
                    .abundance = i % 13,
                    .census = collections[static_cast<std::size_t>(i % 40)],
                    .includeTaxon = i % 5 != 0};
        if (i % 17 == 0) {
            taxon.taxonName.reset();
        }
        if (i % 19 == 0) {
            taxon.abundance.reset();
        }
        if (i % 1009 == 0) {
            taxon.census.reset();
        }
        const RecordId id = saved.insertTaxon(taxon);
        if (i % 11 == 0) {
            deleted.push_back(id);
        }
    }
    saved.deleteTaxa(deleted);
    const auto file = folder / "large.qvl";
    DocumentFile::save(saved, file);
    Store loaded = DocumentFile::load(file);
    const std::vector<Taxon> before = saved.createArrayOfAllTaxa();
    const std::vector<Taxon> after = loaded.createArrayOfAllTaxa();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(after[i].id, before[i].id);
        ASSERT_TRUE(after[i].sameAttributes(before[i])) << before[i].id;
    }
    const auto idsOf = [](const std::vector<TaxonView> &taxa) {
        std::vector<RecordId> ids;
        for (const TaxonView &taxon : taxa) {
            ids.push_back(taxon.id);
        }
        return ids;
    };
    for (const RecordId census : collections) { // each spans both halves
        EXPECT_EQ(idsOf(loaded.taxonViewsOfCensus(census)),
                  idsOf(saved.taxonViewsOfCensus(census)));
    }
    EXPECT_EQ(loaded.nextRecordId(), before.back().id + 1);
}

TEST(DocumentFile, LoadedStoreContinuesIdsAfterTheSavedOnes)
{
    TemporaryFolder folder;
    Store saved;
    const RecordId a = saved.insertCensus();
    const RecordId b = saved.insertCensus();
    saved.deleteCensuses(std::span(&b, 1));
    DocumentFile::save(saved, folder / "ids.qvl");
    Store loaded = DocumentFile::load(folder / "ids.qvl");
    EXPECT_NE(loaded.findCensus(a), nullptr);
    EXPECT_GT(loaded.insertCensus(), a);
    EXPECT_EQ(loaded.createArrayOfAllCensuses().front().id, a);
}

TEST(DocumentFile, SavingReplacesTheFileAndLeavesNothingElse)
{
    TemporaryFolder folder;
    const auto file = folder / "doc.qvl";
    Store store;
    store.insertCensus(Census{.censusName = "first"});
    DocumentFile::save(store, file);
    store.insertCensus(Census{.censusName = "second"});
    DocumentFile::save(store, file);
    EXPECT_EQ(DocumentFile::load(file).censusCount(), 2u);
    EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"doc.qvl"}));
}

// A save killed half-way (kill -9) leaves its temporary file; the next open
// or save of that document removes it, but never the file of a save still in
// progress or a file that only looks similar.
TEST(DocumentFile, OpenAndSaveRemoveTheTemporaryFilesOfKilledSaves)
{
    for (const bool bySaving : {false, true}) {
        TemporaryFolder folder;
        const auto file = folder / "doc.qvl";
        DocumentFile::save(Store{}, file);
        const pid_t child = ::fork();
        if (child == 0) {
            FileReplacement killed(file);
            writeBytes(killed.temporaryPath(), "half a document");
            ::raise(SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        ASSERT_EQ(folder.fileNames().size(), 2u); // the document and the killed save's file

        const FileReplacement inProgress(file);
        const std::vector<std::string> others{".doc.qvl.saving-ABC", ".doc.qvl.saving-ABCDEFG",
                                              "doc.qvl.saving-ABCDEF", ".doc.qvl.saving-AB.DEF",
                                              ".other.qvl.saving-ABCDEF"};
        for (const std::string &name : others) {
            writeBytes(folder / name, "not a killed save of doc.qvl");
        }
        if (bySaving) {
            DocumentFile::save(Store{}, file);
        } else {
            DocumentFile::load(file);
        }
        std::vector<std::string> expected = others;
        expected.push_back("doc.qvl");
        expected.push_back(inProgress.temporaryPath().filename().string());
        std::vector<std::string> left = folder.fileNames();
        std::sort(expected.begin(), expected.end());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, expected) << (bySaving ? "save" : "open");
    }
}

TEST(DocumentFile, SavingThroughASymbolicLinkKeepsTheLink)
{
    TemporaryFolder folder;
    DocumentFile::save(Store{}, folder / "real.qvl");
    std::filesystem::create_symlink(folder / "real.qvl", folder / "link.qvl");
    Store store;
    store.insertCensus();
    DocumentFile::save(store, folder / "link.qvl");
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.qvl"));
    EXPECT_EQ(DocumentFile::load(folder / "real.qvl").censusCount(), 1u);
}

// A document of one collection "old"; the bytes of its file.
std::string saveOldDocument(const std::filesystem::path &file)
{
    Store old;
    old.insertCensus(Census{.censusName = "old"});
    DocumentFile::save(old, file);
    return readBytes(file);
}

TEST(DocumentFile, FailedSaveLeavesTheOldFileAndNoLitter)
{
    TemporaryFolder folder;
    const auto file = folder / "kept.qvl";
    const std::string before = saveOldDocument(file);

    Store changed;
    changed.insertCensus(Census{.censusName = "new"});
    struct Row
    {
        const char *what;
        std::filesystem::path target;
        const char *reason;
    };
    std::filesystem::create_directory(folder / "folder.qvl");
    const Row rows[] = {
        {"missing folder", folder / "no such folder" / "x.qvl", "does not exist"},
        {"a folder in the way", folder / "folder.qvl", "folder"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        try {
            DocumentFile::save(changed, row.target);
            ADD_FAILURE() << "saved";
        } catch (const DocumentFileError &error) {
            EXPECT_EQ(error.action(), DocumentFileError::Action::Save);
            EXPECT_NE(std::string(error.what()).find(row.target.string()), std::string::npos);
            EXPECT_NE(error.reason().find(row.reason), std::string::npos) << error.reason();
        }
    }
    if (::geteuid() != 0) { // root may write anywhere
        namespace fs = std::filesystem;
        fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(DocumentFile::save(changed, file), DocumentFileError);
        fs::permissions(folder.path(), fs::perms::owner_all);
        fs::permissions(file, fs::perms::owner_read);
        try {
            DocumentFile::save(changed, file);
            ADD_FAILURE() << "a write-protected document was replaced";
        } catch (const DocumentFileError &error) {
            EXPECT_EQ(error.reason(), "the file is write-protected");
        }
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(DocumentFile::load(file).createArrayOfAllCensuses().front().censusName, "old");
}

// A disk that fills up while saving: the file-size limit makes every write past
// 64 KiB fail, as a full disk would, while this lives.
class FullDisk
{
public:
    FullDisk()
    {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FullDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = std::signal(SIGXFSZ, SIG_IGN);
};

TEST(DocumentFile, DiskFullDuringSaveLeavesTheOldDocument)
{
    TemporaryFolder folder;
    const auto file = folder / "full.qvl";
    const std::string before = saveOldDocument(file);

    Store large;
    for (int i = 0; i < 5000; ++i) {
        large.insertCensus(Census{.censusName = "collection number " + std::to_string(i)});
    }
    bool refused = false;
    try {
        const FullDisk full;
        DocumentFile::save(large, file);
    } catch (const DocumentFileError &error) {
        refused = true;
        EXPECT_EQ(error.action(), DocumentFileError::Action::Save);
        // SQLite reports a refused write of this kind as an I/O error; a
        // really full disk gives "the disk is full".
        EXPECT_EQ(error.reason().rfind("writing to the disk failed", 0), 0u) << error.reason();
    }

    EXPECT_TRUE(refused);
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"full.qvl"}));
}

// Adds a collection of `count` counted taxa, names shared with earlier ones.
void addCountedCollection(Store &store, std::size_t count)
{
    const RecordId census = store.insertCensus(Census{.censusName = "streamed"});
    std::vector<CountedTaxon> taxa;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = "OTU_" + std::to_string(i % 5000);
        taxa.push_back({store.internTaxonName(name), static_cast<std::int32_t>(i % 97 + 1)});
    }
    store.insertCountedTaxa(census, taxa);
}

// A save written while the store grows holds exactly what the store holds at
// the commit: a loaded part with every value, orphans and gaps in its ids,
// then records sent in chunks, then a small rest sent by the commit.
TEST(DocumentSaveStream, WritesTheStoreAsItGrew)
{
    TemporaryFolder folder;
    const auto file = folder / "streamed.qvl";
    Store store = storeWithEveryValue();
    {
        DocumentSaveStream save(file);
        save.send(store);
        for (const std::size_t count : {70000u, 1u, 0u, 140000u, 3u}) {
            addCountedCollection(store, count);
            save.send(store);
        }
        store.insertTaxon(Taxon{.taxonName = "orphan at the end", .abundance = 2});
        save.commit(store);
    }
    expectSameRecords(DocumentFile::load(file), store);
    EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"streamed.qvl"}));
}

// A stream that ends without a commit, or whose commit fails, leaves the
// document as it was and nothing beside it.
TEST(DocumentSaveStream, UnfinishedOrFailedSaveLeavesTheOldDocument)
{
    TemporaryFolder folder;
    const auto file = folder / "kept.qvl";
    const std::string before = saveOldDocument(file);

    enum class End { Abandoned, StoreShrank, DiskFull };
    for (const End end : {End::Abandoned, End::StoreShrank, End::DiskFull}) {
        SCOPED_TRACE(static_cast<int>(end));
        Store store;
        try {
            const std::optional<FullDisk> full =
                end == End::DiskFull ? std::make_optional<FullDisk>() : std::nullopt;
            DocumentSaveStream save(file);
            for (int i = 0; i < 3; ++i) {
                addCountedCollection(store, 70000);
                save.send(store);
            }
            if (end == End::StoreShrank) {
                const RecordId first = store.createArrayOfAllCensuses().front().id;
                store.deleteCensuses(std::span(&first, 1));
                EXPECT_THROW(save.commit(store), std::logic_error);
            } else if (end == End::DiskFull) {
                save.commit(store);
                ADD_FAILURE() << "saved on a full disk";
            }
        } catch (const DocumentFileError &error) {
            EXPECT_EQ(error.action(), DocumentFileError::Action::Save);
            EXPECT_EQ(error.reason().rfind("writing to the disk failed", 0), 0u) << error.reason();
        }
        EXPECT_EQ(readBytes(file), before);
        EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"kept.qvl"}));
    }
}

} // namespace
} // namespace quorvella
