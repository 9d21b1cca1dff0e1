#include "store/DocumentReader.h"

#include "store/DocumentFile.h"
#include "store/DocumentFileProblem.h"
#include "store/DocumentRows.h"
#include "store/DocumentSchema.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/StoredNumber.h"

#include <atomic>
#include <chrono>
#include <limits>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

namespace quorvella {
namespace {

std::int64_t pragmaValue(const SqliteDatabase &db, const char *sql)
{
    SqliteStatement statement(db, sql);
    return statement.step() ? statement.columnInteger(0) : 0;
}

std::vector<RecordId> idsOf(const std::vector<Census> &censuses)
{
    std::vector<RecordId> ids; // ascending, as read
    ids.reserve(censuses.size());
    for (const Census &census : censuses) {
        ids.push_back(census.id);
    }
    return ids;
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
    const std::vector<Census> censuses = readCensuses();
    store.restore({censuses, {}});
    stopIfCancelled();
    readTaxa(store, censuses);
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

void DocumentReader::readTaxa(Store &store, const std::vector<Census> &censuses)
{
    const std::size_t taxa = taxonRowCount(db_);
    if (const std::optional<RecordId> middle =
            laterHalf_ ? middleTaxonId(db_, taxa) : std::nullopt) {
        readTaxaInHalves(store, censuses, taxa, *middle);
        return;
    }
    TaxonRows(db_, idsOf(censuses))
        .read(store, taxa, std::numeric_limits<RecordId>::min(),
              std::numeric_limits<RecordId>::max(), [this] { stopIfCancelled(); });
}

void DocumentReader::readTaxaInHalves(Store &store, const std::vector<Census> &censuses,
                                      std::size_t taxa, RecordId middle)
{
    const std::vector<RecordId> censusIds = idsOf(censuses);
    // The later half goes into a store of the same collections, which is
    // then appended: each half checks its rows as one reading would, and
    // a fault of the earlier half is the one one reading would meet first.
    Store later;
    later.restore({censuses, {}});
    std::atomic<bool> stop = false;
    std::future<void> laterRead = std::async(std::launch::async, [&] {
        TaxonRows(*laterHalf_, censusIds)
            .read(later, taxa / 2 + 1, middle, std::numeric_limits<RecordId>::max(), [&stop] {
                if (stop) {
                    throw DocumentOpenCancelled();
                }
            });
    });
    const auto stopLater = [&] { stop = true; };
    try {
        TaxonRows(db_, censusIds)
            .read(store, taxa, std::numeric_limits<RecordId>::min(), middle,
                  [this] { stopIfCancelled(); });
    } catch (...) {
        waitAskingCancelHook(laterRead, {}, true, stopLater);
        throw;
    }
    if (waitAskingCancelHook(laterRead, cancelled_, false, stopLater)) {
        throw DocumentOpenCancelled();
    }
    laterRead.get();
    try {
        store.appendTaxaOf(std::move(later));
    } catch (const std::invalid_argument &refused) {
        damaged(refused.what());
    }
}

bool waitAskingCancelHook(const std::future<void> &work, const OpenCancelHook &cancelled, bool stop,
                          const std::function<void()> &onStop)
{
    using namespace std::chrono_literals;
    while (work.wait_for(stop ? 1ms : 20ms) != std::future_status::ready) {
        stop = stop || (cancelled && cancelled());
        if (stop) {
            onStop();
        }
    }
    return stop;
}

} // namespace quorvella
