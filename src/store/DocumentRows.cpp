#include "store/DocumentRows.h"

#include "store/DocumentFile.h"
#include "store/DocumentFileProblem.h"
#include "store/DocumentReader.h"
#include "store/DocumentSchema.h"
#include "store/SqliteDatabase.h"
#include "store/StoredNumber.h"

#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <sstream>
#include <stdexcept>

namespace quorvella {
namespace {

// Whether the taxon table is exactly as this program creates it, so that its
// id is SQLite's row id: an integer on every row, each once, found by a seek.
bool taxonTableAsCreated(const SqliteDatabase &db)
{
    const std::string created = DocumentSchema::createTables;
    const std::size_t start = created.find("CREATE TABLE taxon");
    const std::size_t end = created.find(';', start);
    SqliteStatement schema(db, "SELECT sql FROM sqlite_schema WHERE type = 'table' AND "
                               "name = 'taxon'");
    return schema.step() && schema.columnText(0) == created.substr(start, end - start);
}

} // namespace

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

std::size_t taxonRowCount(const SqliteDatabase &db)
{
    SqliteStatement count(db, "SELECT count(*) FROM taxon");
    return count.step()
               ? static_cast<std::size_t>(std::max<std::int64_t>(count.columnInteger(0), 0))
               : 0;
}

std::optional<RecordId> middleTaxonId(const SqliteDatabase &db, std::size_t taxa)
{
    if (taxa < DocumentReader::twoHalvesTaxa || !taxonTableAsCreated(db)) {
        return std::nullopt;
    }
    // Each on its own, so that each is one step down the table's tree (both in
    // one SELECT would scan the table).
    SqliteStatement range(db, "SELECT (SELECT min(id) FROM taxon), (SELECT max(id) FROM taxon)");
    if (!range.step() || range.columnType(0) != SQLITE_INTEGER) {
        return std::nullopt;
    }
    const std::int64_t low = range.columnInteger(0);
    const std::int64_t high = range.columnInteger(1);
    if (low <= 0 || high - low < 2) { // an invalid id is met by one reading
        return std::nullopt;
    }
    return low + (high - low) / 2;
}

void TaxonRows::read(Store &store, std::size_t expected, RecordId from, RecordId to,
                     const std::function<void()> &stopIfCancelled) const
{
    constexpr std::size_t chunkRows = 16384; // between two questions to the cancel hook
    Store::TaxonLoader loader(store, expected);
    const bool whole =
        from == std::numeric_limits<RecordId>::min() && to == std::numeric_limits<RecordId>::max();
    SqliteStatement rows(db_, std::string("SELECT ") + DocumentSchema::taxonColumns +
                                  " FROM taxon" + (whole ? "" : " WHERE id >= ?1 AND id < ?2") +
                                  " ORDER BY id");
    if (!whole) {
        rows.bindInteger(0, from);
        rows.bindInteger(1, to);
    }
    // Both lists ascend by id: the collections' ids are passed side by side
    // with the taxa's, and a taxon's collection is looked up only when it
    // differs from the one before.
    auto nextCensus = censusIds_.begin();
    RecordId knownCensus = 0;
    std::size_t read = 0;
    while (rows.step()) {
        if (++read % chunkRows == 0) {
            stopIfCancelled();
        }
        const RowReader row(rows, "taxon", DocumentSchema::taxonColumns);
        TaxonView taxon{row.id(), row.get(1, readStoredTextView), row.get(2, readStoredInt32),
                        std::nullopt, true};
        while (nextCensus != censusIds_.end() && *nextCensus < taxon.id) {
            ++nextCensus;
        }
        if (nextCensus != censusIds_.end() && *nextCensus == taxon.id) {
            damaged("the id " + std::to_string(taxon.id) + " belongs to a collection and a taxon");
        }
        if (const SqliteValue census = rows.column(3); census.type() != SQLITE_NULL) {
            if (census.type() != SQLITE_INTEGER) {
                row.fail(3, "a value that is not a collection id");
            }
            taxon.census = census.integer();
            if (*taxon.census != knownCensus &&
                !std::binary_search(censusIds_.begin(), censusIds_.end(), *taxon.census)) {
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
