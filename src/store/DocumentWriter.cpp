#include "store/DocumentWriter.h"

#include "store/DocumentFile.h"
#include "store/DocumentSchema.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/Store.h"
#include "store/StoredNumber.h"

#include <algorithm>
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

} // namespace

// Inserts rows through a statement of many rows: a step per row costs more
// than writing the row (half of a large save). In each run of rows, the rows
// past the last full statement go one by one.
class DocumentWriter::RowInserter
{
public:
    static constexpr int rowsPerStatement = 64;

    RowInserter(SqliteDatabase &db, const char *table, const char *columns, int columnCount)
        : many_(db, insertStatement(table, columns, columnCount, rowsPerStatement)),
          one_(db, insertStatement(table, columns, columnCount)), columnCount_(columnCount)
    {}

    void startRun(std::size_t rowCount)
    {
        rowsInFullStatements_ = rowCount - rowCount % rowsPerStatement;
        written_ = 0;
    }

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
    std::size_t rowsInFullStatements_ = 0;
    std::size_t written_ = 0;
};

void DocumentWriter::write(SqliteDatabase &db, const Store &store)
{
    DocumentWriter writer(db);
    writer.begin();
    writer.writeCensuses(store.createArrayOfAllCensuses());
    // The names are bound without a copy: the store's interned bytes stay put.
    writer.writeTaxa(store.taxonCount(), [&store](auto add) { store.forEachTaxonView(add); });
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
    // pages to split and write); every SQLite reads any page size.
    db_.execute("PRAGMA page_size = 16384; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -32768; "
                "PRAGMA temp_store = FILE;");
    db_.execute("BEGIN");
    db_.execute(DocumentSchema::createTables);
    db_.execute(DocumentSchema::createIndexes); // kept up to date row by row
    taxa_ = std::make_unique<RowInserter>(db_, "taxon", DocumentSchema::taxonColumns,
                                          DocumentSchema::taxonColumnCount);
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

void DocumentWriter::startTaxa(std::size_t count)
{
    taxa_->startRun(count);
}

void DocumentWriter::addTaxon(const TaxonView &taxon)
{
    // An id one above the largest written is left to SQLite, which gives a
    // row without one exactly that id: it appends the row without searching
    // the table for the id first (a tenth of a large save).
    const bool nextId = taxon.id == largestTaxonId_ + 1;
    largestTaxonId_ = std::max(largestTaxonId_, taxon.id);
    taxa_->add([&taxon, nextId](SqliteStatement &statement, int first) {
        if (nextId) {
            statement.bindNull(first);
        } else {
            statement.bindInteger(first, taxon.id);
        }
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
}

} // namespace quorvella
