#include "store/DocumentWriter.h"

#include "store/DocumentFile.h"
#include "store/DocumentSchema.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/Store.h"
#include "store/StoredNumber.h"

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

void DocumentWriter::write(SqliteDatabase &db, const Store &store)
{
    // The database is a new file that replaces the document only once it is
    // complete, so it needs no rollback journal of its own.
    db.execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = FULL;");
    db.execute("BEGIN");
    db.execute(DocumentSchema::createTables);
    writeCensuses(db, store);
    writeTaxa(db, store);
    db.execute(DocumentSchema::createIndexes);
    db.execute(("PRAGMA application_id = " + std::to_string(DocumentFile::applicationId) +
                "; PRAGMA user_version = " + std::to_string(DocumentFile::formatVersion) + ";")
                   .c_str());
    db.execute("COMMIT");
}

void DocumentWriter::writeCensuses(SqliteDatabase &db, const Store &store)
{
    SqliteStatement insert(db, insertStatement("census", DocumentSchema::censusColumns,
                                               DocumentSchema::censusColumnCount));
    for (const Census &census : store.createArrayOfAllCensuses()) {
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

void DocumentWriter::writeTaxa(SqliteDatabase &db, const Store &store)
{
    SqliteStatement insert(db, insertStatement("taxon", DocumentSchema::taxonColumns,
                                               DocumentSchema::taxonColumnCount));
    store.forEachTaxon([&](const Taxon &taxon) {
        insert.bindInteger(0, taxon.id);
        if (taxon.taxonName) {
            insert.bindText(1, *taxon.taxonName);
        }
        bindStoredInt32(insert, 2, taxon.abundance);
        if (taxon.census) {
            insert.bindInteger(3, *taxon.census);
        }
        insert.bindInteger(4, taxon.includeTaxon ? 1 : 0);
        insert.step();
        insert.reset();
    });
}

} // namespace quorvella
