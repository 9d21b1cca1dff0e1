#include "store/DocumentWriter.h"

#include "store/DocumentFile.h"
#include "store/DocumentSchema.h"
#include "store/FileReplacement.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/Store.h"
#include "store/StoredNumber.h"
#include "store/TaxonRowInserter.h"

#include <string>

namespace quorvella {
namespace {

std::string insertStatement(const char *table, const char *columns, int count)
{
    std::string sql = std::string("INSERT INTO ") + table + " (" + columns + ") VALUES (?";
    for (int i = 1; i < count; ++i) {
        sql += ", ?";
    }
    return sql + ")";
}

} // namespace

void DocumentWriter::write(SqliteDatabase &db, const Store &store,
                           const FileReplacement &replacement)
{
    DocumentWriter writer(db);
    writer.begin();
    writer.writeCensuses(store.createArrayOfAllCensuses());
    // The names are bound without a copy: the store's interned bytes stay put.
    writer.writeTaxa([&](auto add) {
        std::size_t written = 0;
        store.forEachTaxonView([&](const TaxonView &taxon) {
            add(taxon);
            if (++written % taxaBetweenWritesToDisk == 0) {
                replacement.startWritingToDisk();
            }
        });
    });
    writer.finish();
}

DocumentWriter::DocumentWriter(SqliteDatabase &db) : db_(db)
{}

DocumentWriter::~DocumentWriter() = default;

void DocumentWriter::begin()
{
    // The database is a new file that replaces the document only once it is
    // complete, and FileReplacement syncs it to the disk before the rename:
    // it needs neither a rollback journal nor syncs of its own. Pages of
    // 16 KB make a large save about a tenth faster than SQLite's 4 KB (fewer
    // pages to split and write); every SQLite reads any page size. A cache of
    // 8 MB holds the pages the rows still change; the rest go to the file as
    // the rows come, where FileReplacement starts writing them to the disk,
    // so the sync at the end waits for little (a 2 M-taxon save: the same
    // instructions as with 32 MB, 24 MB less memory, 10 ms to sync, not 70).
    db_.execute("PRAGMA page_size = 16384; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -8192; "
                "PRAGMA temp_store = FILE;");
    db_.execute("BEGIN");
    db_.execute(DocumentSchema::createTables);
    taxa_ = std::make_unique<TaxonRowInserter>(db_);
}

void DocumentWriter::finish()
{
    taxa_.reset();
    db_.execute(("PRAGMA application_id = " + std::to_string(DocumentFile::applicationId) +
                 "; PRAGMA user_version = " + std::to_string(DocumentFile::formatVersion) + ";")
                    .c_str());
    db_.execute("COMMIT");
}

void DocumentWriter::writeCensuses(std::span<const Census> censuses)
{
    SqliteStatement insert(db_, insertStatement("census", DocumentSchema::censusColumns,
                                                DocumentSchema::censusColumnCount));
    for (const Census &census : censuses) {
        insert.bindInteger(0, census.id);
        if (census.censusName) {
            insert.bindText(1, *census.censusName);
        }
        bindStoredInt32(insert, 2, census.abundance);
        bindStoredInt32(insert, 3, census.richness);
        bindStoredDouble(insert, 4, census.buzasGibson);
        bindStoredDouble(insert, 5, census.chao);
        bindStoredDouble(insert, 6, census.shannon);
        bindStoredDouble(insert, 7, census.simpson);
        bindStoredDouble(insert, 8, census.peters);
        bindStoredDouble(insert, 9, census.pielou);
        bindStoredDouble(insert, 10, census.pie);
        bindStoredDouble(insert, 11, census.rarefactionRichness);
        bindStoredInt32(insert, 12, census.rarefactionSampleSize);
        insert.step();
        insert.reset();
    }
}

void DocumentWriter::addTaxon(const TaxonView &taxon)
{
    taxa_->add(taxon);
}

void DocumentWriter::endTaxa()
{
    taxa_->flush();
}

} // namespace quorvella
