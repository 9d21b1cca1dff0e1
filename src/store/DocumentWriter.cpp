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

std::string insertStatement(const char *table, const char *columns, int count, int rows = 1)
{
    std::string row = "(?";
    for (int i = 1; i < count; ++i) {
        row += ", ?";
    }
    row += ")";
    std::string sql = std::string("INSERT INTO ") + table + " (" + columns + ") VALUES " + row;
    for (int i = 1; i < rows; ++i) {
        sql += ", " + row;
    }
    return sql;
}

// Inserts rows through a statement of many rows: a step per row costs more
// than writing the row (half of a large save). The rows past the last full
// statement go one by one.
class RowInserter
{
public:
    static constexpr int rowsPerStatement = 64;

    RowInserter(SqliteDatabase &db, const char *table, const char *columns, int columnCount,
                std::size_t rowCount)
        : many_(db, insertStatement(table, columns, columnCount, rowsPerStatement)),
          one_(db, insertStatement(table, columns, columnCount)), columnCount_(columnCount),
          rowsInFullStatements_(rowCount - rowCount % rowsPerStatement)
    {}

    // Calls bind(statement, index of the row's first parameter), which binds
    // every parameter of the row, then steps the statement when it is full.
    template <typename Bind> void add(Bind bind)
    {
        const bool inMany = written_ < rowsInFullStatements_;
        const int row = inMany ? static_cast<int>(written_ % rowsPerStatement) : 0;
        SqliteStatement &statement = inMany ? many_ : one_;
        bind(statement, row * columnCount_);
        ++written_;
        if (!inMany || row == rowsPerStatement - 1) {
            statement.step();
            statement.resetKeepingBindings();
        }
    }

private:
    SqliteStatement many_;
    SqliteStatement one_;
    int columnCount_;
    std::size_t rowsInFullStatements_;
    std::size_t written_ = 0;
};

} // namespace

void DocumentWriter::write(SqliteDatabase &db, const Store &store)
{
    // The database is a new file that replaces the document only once it is
    // complete, and FileReplacement syncs it to the disk before the rename:
    // it needs neither a rollback journal nor syncs of its own. Pages of
    // 16 KB make a large save about a tenth faster than SQLite's 4 KB (fewer
    // pages to split and write); every SQLite reads any page size.
    db.execute("PRAGMA page_size = 16384; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
               "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -32768; "
               "PRAGMA temp_store = FILE;");
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
    RowInserter insert(db, "taxon", DocumentSchema::taxonColumns, DocumentSchema::taxonColumnCount,
                       store.taxonCount());
    // The names are bound without a copy: the store's interned bytes stay put.
    store.forEachTaxonView([&](const TaxonView &taxon) {
        insert.add([&](SqliteStatement &statement, int first) {
            statement.bindInteger(first, taxon.id);
            if (taxon.taxonName) {
                statement.bindText(first + 1, *taxon.taxonName);
            } else {
                statement.bindNull(first + 1);
            }
            bindStoredInt32(statement, first + 2, taxon.abundance);
            if (taxon.census) {
                statement.bindInteger(first + 3, *taxon.census);
            } else {
                statement.bindNull(first + 3);
            }
            statement.bindInteger(first + 4, taxon.includeTaxon ? 1 : 0);
        });
    });
}

} // namespace quorvella
