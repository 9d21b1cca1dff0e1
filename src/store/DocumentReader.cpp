#include "store/DocumentReader.h"

#include "store/DocumentFile.h"
#include "store/DocumentFileProblem.h"
#include "store/DocumentSchema.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/StoredNumber.h"

#include <algorithm>
#include <set>
#include <sqlite3.h>
#include <sstream>
#include <stdexcept>
#include <string>

namespace quorvella {
namespace {

std::int64_t pragmaValue(const SqliteDatabase &db, const char *sql)
{
    SqliteStatement statement(db, sql);
    return statement.step() ? statement.columnInteger(0) : 0;
}

[[noreturn]] void damaged(const std::string &detail)
{
    throw DocumentFileProblem("it is damaged (" + detail + ")");
}

std::vector<std::string> splitColumns(const char *columns)
{
    std::vector<std::string> names;
    std::istringstream stream(columns);
    std::string name;
    while (std::getline(stream, name, ',')) {
        names.push_back(name.substr(name.find_first_not_of(' ')));
    }
    return names;
}

std::int64_t readId(const SqliteStatement &row, const char *table)
{
    const SqliteValue value = row.column(0);
    const std::int64_t id = value.type() == SQLITE_INTEGER ? value.integer() : 0;
    if (id <= 0) {
        damaged(std::string("a ") + table + " row has no valid id");
    }
    return id;
}

// Reads the values of one row, naming the record and the column of a bad one.
class RowReader
{
public:
    RowReader(const SqliteStatement &row, const char *table, const char *columns)
        : row_(row), table_(table), columns_(columns), id_(readId(row, table))
    {}

    std::int64_t id() const { return id_; }

    template <typename Read> auto get(int index, Read read) const
    {
        try {
            return read(row_.column(index));
        } catch (const BadStoredValue &bad) {
            fail(index, bad.what());
        }
    }

    [[noreturn]] void fail(int index, const std::string &what) const
    {
        const std::string column = splitColumns(columns_).at(static_cast<std::size_t>(index));
        damaged(std::string(table_) + " " + std::to_string(id_) + ": the column " + column +
                " holds " + what);
    }

private:
    const SqliteStatement &row_;
    const char *table_;
    const char *columns_;
    std::int64_t id_;
};

std::size_t taxonRowCount(const SqliteDatabase &db)
{
    SqliteStatement count(db, "SELECT count(*) FROM taxon");
    return count.step()
               ? static_cast<std::size_t>(std::max<std::int64_t>(count.columnInteger(0), 0))
               : 0;
}

} // namespace

Store DocumentReader::read()
{
    checkIdentity();
    checkIntegrity();
    return readRecords();
}

Store DocumentReader::readRecords()
{
    checkColumns("census", DocumentSchema::censusColumns);
    checkColumns("taxon", DocumentSchema::taxonColumns);
    Store store;
    std::vector<Census> censuses = readCensuses();
    std::vector<RecordId> censusIds; // ascending, as read
    censusIds.reserve(censuses.size());
    for (const Census &census : censuses) {
        censusIds.push_back(census.id);
    }
    store.restore({std::move(censuses), {}});
    stopIfCancelled();
    readTaxa(store, censusIds);
    return store;
}

void DocumentReader::stopIfCancelled() const
{
    if (cancelled_ && cancelled_()) {
        throw DocumentOpenCancelled();
    }
}

void DocumentReader::checkIdentity()
{
    if (pragmaValue(db_, "PRAGMA application_id") != DocumentFile::applicationId) {
        throw DocumentFileProblem(
            "it is not a Quorvella document (it is an SQLite database of another application)");
    }
    const std::int64_t version = pragmaValue(db_, "PRAGMA user_version");
    if (version > DocumentFile::formatVersion) {
        throw DocumentFileProblem("it was written by a newer version of Quorvella (file format " +
                                  std::to_string(version) + "; this version reads format " +
                                  std::to_string(DocumentFile::formatVersion) + ")");
    }
    if (version < 1) {
        damaged("unknown file format " + std::to_string(version));
    }
}

void DocumentReader::checkIntegrity()
{
    SqliteStatement check(db_, "PRAGMA quick_check(1)");
    if (check.step()) {
        const std::string verdict = check.columnText(0);
        if (verdict != "ok") {
            damaged(verdict);
        }
    }
}

void DocumentReader::checkColumns(const char *table, const char *columns)
{
    std::set<std::string> present;
    SqliteStatement info(db_, std::string("PRAGMA table_info(") + table + ")");
    while (info.step()) {
        present.insert(info.columnText(1));
    }
    if (present.empty()) {
        damaged(std::string("the table \"") + table + "\" is missing");
    }
    for (const std::string &column : splitColumns(columns)) {
        if (!present.contains(column)) {
            damaged(std::string("the table \"") + table + "\" has no column \"" + column + "\"");
        }
    }
}

std::vector<Census> DocumentReader::readCensuses()
{
    std::vector<Census> censuses;
    SqliteStatement rows(db_, std::string("SELECT ") + DocumentSchema::censusColumns +
                                  " FROM census ORDER BY id");
    while (rows.step()) {
        const RowReader row(rows, "census", DocumentSchema::censusColumns);
        Census census;
        census.id = row.id();
        census.censusName = row.get(1, readStoredText);
        census.abundance = row.get(2, readStoredInt32);
        census.richness = row.get(3, readStoredInt32);
        census.buzasGibson = row.get(4, readStoredDouble);
        census.chao = row.get(5, readStoredDouble);
        census.shannon = row.get(6, readStoredDouble);
        census.simpson = row.get(7, readStoredDouble);
        census.peters = row.get(8, readStoredDouble);
        census.pielou = row.get(9, readStoredDouble);
        census.pie = row.get(10, readStoredDouble);
        census.rarefactionRichness = row.get(11, readStoredDouble);
        census.rarefactionSampleSize = row.get(12, readStoredInt32);
        censuses.push_back(std::move(census));
    }
    return censuses;
}

void DocumentReader::readTaxa(Store &store, const std::vector<RecordId> &censusIds)
{
    constexpr std::size_t chunkRows = 16384; // between two questions to the cancel hook
    Store::TaxonLoader loader(store, taxonRowCount(db_));
    SqliteStatement rows(db_, std::string("SELECT ") + DocumentSchema::taxonColumns +
                                  " FROM taxon ORDER BY id");
    // Both lists ascend by id: the collections' ids are passed side by side
    // with the taxa's, and a taxon's collection is looked up only when it
    // differs from the one before.
    auto nextCensus = censusIds.begin();
    RecordId knownCensus = 0;
    std::size_t read = 0;
    while (rows.step()) {
        if (++read % chunkRows == 0) {
            stopIfCancelled();
        }
        const RowReader row(rows, "taxon", DocumentSchema::taxonColumns);
        TaxonView taxon{row.id(), row.get(1, readStoredTextView), row.get(2, readStoredInt32),
                        std::nullopt, true};
        while (nextCensus != censusIds.end() && *nextCensus < taxon.id) {
            ++nextCensus;
        }
        if (nextCensus != censusIds.end() && *nextCensus == taxon.id) {
            damaged("the id " + std::to_string(taxon.id) + " belongs to a collection and a taxon");
        }
        if (const SqliteValue census = rows.column(3); census.type() != SQLITE_NULL) {
            if (census.type() != SQLITE_INTEGER) {
                row.fail(3, "a value that is not a collection id");
            }
            taxon.census = census.integer();
            if (*taxon.census != knownCensus &&
                !std::binary_search(censusIds.begin(), censusIds.end(), *taxon.census)) {
                damaged("taxon " + std::to_string(taxon.id) + " belongs to collection " +
                        std::to_string(*taxon.census) + ", which the file does not hold");
            }
            knownCensus = *taxon.census;
        }
        const auto include = row.get(4, readStoredInt32);
        if (!include || (*include != 0 && *include != 1)) {
            row.fail(4, "a value other than 0 or 1");
        }
        taxon.includeTaxon = *include == 1;
        try {
            loader.add(taxon); // refuses what the checks above let through only if SQLite erred
        } catch (const std::invalid_argument &refused) {
            damaged(refused.what());
        }
    }
    stopIfCancelled();
}

} // namespace quorvella
