#include "store/Store.h"

#include "log/Log.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <utility>

namespace quorvella {

// --- inserting, updating, deleting ------------------------------------------

RecordId Store::insertCensus(Census census)
{
    census.id = nextId_++;
    const RecordId id = census.id;
    censuses_.emplace(id, std::move(census));
    censusOrder_.insert(id);
    noteCensus(id, Change::Inserted);
    changed();
    return id;
}

RecordId Store::insertTaxon(Taxon taxon)
{
    requireCensusOrNone(taxon.census);
    taxon.id = nextId_++;
    const RecordId id = taxon.id;
    linkTaxon(taxon);
    taxa_.emplace(id, std::move(taxon));
    taxonOrder_.insert(id);
    noteTaxon(id, Change::Inserted);
    changed();
    return id;
}

void Store::updateCensus(const Census &census)
{
    const auto found = censuses_.find(census.id);
    if (found == censuses_.end()) {
        throw std::invalid_argument("updateCensus: no collection with id " +
                                    std::to_string(census.id));
    }
    if (found->second.sameAttributes(census)) {
        return;
    }
    found->second = census;
    noteCensus(census.id, Change::Updated);
    changed();
}

void Store::updateTaxon(const Taxon &taxon)
{
    const auto found = taxa_.find(taxon.id);
    if (found == taxa_.end()) {
        throw std::invalid_argument("updateTaxon: no taxon with id " + std::to_string(taxon.id));
    }
    requireCensusOrNone(taxon.census);
    if (found->second.sameAttributes(taxon)) {
        return;
    }
    unlinkTaxon(found->second);
    found->second = taxon;
    linkTaxon(taxon);
    noteTaxon(taxon.id, Change::Updated);
    changed();
}

DeletedRecords Store::deleteCensuses(std::span<const RecordId> ids)
{
    DeletedRecords removed;
    Batch batch(*this);
    for (const RecordId id : ids) {
        const auto found = censuses_.find(id);
        if (found == censuses_.end()) {
            continue;
        }
        // Deleting a collection deletes its taxa (copy: erasing edits the set).
        if (const auto members = taxaByCensus_.find(id); members != taxaByCensus_.end()) {
            std::vector<RecordId> memberIds;
            memberIds.reserve(members->second.size());
            members->second.forEach([&](RecordId taxonId) { memberIds.push_back(taxonId); });
            for (const RecordId taxonId : memberIds) {
                eraseTaxon(taxonId, removed);
            }
        }
        noteCensus(id, Change::Deleted, &found->second);
        removed.censuses.push_back(std::move(found->second));
        censuses_.erase(found);
        censusOrder_.erase(id);
        changed();
    }
    return removed;
}

DeletedRecords Store::deleteTaxa(std::span<const RecordId> ids)
{
    DeletedRecords removed;
    Batch batch(*this);
    for (const RecordId id : ids) {
        eraseTaxon(id, removed);
    }
    return removed;
}

void Store::eraseTaxon(RecordId id, DeletedRecords &removed)
{
    const auto found = taxa_.find(id);
    if (found == taxa_.end()) {
        return;
    }
    unlinkTaxon(found->second);
    noteTaxon(id, Change::Deleted, &found->second);
    removed.taxa.push_back(std::move(found->second));
    taxa_.erase(found);
    taxonOrder_.erase(id);
    changed();
}

void Store::restore(const DeletedRecords &records)
{
    restore(DeletedRecords(records));
}

void Store::restore(DeletedRecords &&records)
{
    checkRestorable(records); // a refused restore changes nothing
    if (records.censuses.empty() && records.taxa.empty()) {
        return;
    }
    Batch batch(*this);
    std::vector<RecordId> ids;
    ids.reserve(std::max(records.censuses.size(), records.taxa.size()));
    censuses_.reserve(censuses_.size() + records.censuses.size());
    for (Census &census : records.censuses) {
        const RecordId id = census.id;
        ids.push_back(id);
        censuses_.emplace(id, std::move(census));
        nextId_ = std::max(nextId_, id + 1);
        noteCensus(id, Change::Inserted);
    }
    censusOrder_.insertMany(ids);
    ids.clear();
    taxa_.reserve(taxa_.size() + records.taxa.size());
    for (Taxon &taxon : records.taxa) {
        const RecordId id = taxon.id;
        ids.push_back(id);
        linkTaxon(taxon);
        taxa_.emplace(id, std::move(taxon));
        nextId_ = std::max(nextId_, id + 1);
        noteTaxon(id, Change::Inserted);
    }
    taxonOrder_.insertMany(ids);
    changed();
}

void Store::checkRestorable(const DeletedRecords &records) const
{
    std::unordered_set<RecordId> incoming;
    incoming.reserve(records.censuses.size() + records.taxa.size());
    const auto claim = [&](RecordId id) {
        if (id <= 0 || censuses_.contains(id) || taxa_.contains(id) ||
            !incoming.insert(id).second) {
            throw std::invalid_argument("restore: record id " + std::to_string(id) +
                                        " is invalid or already in use");
        }
    };
    for (const Census &census : records.censuses) {
        claim(census.id);
    }
    for (const Taxon &taxon : records.taxa) {
        claim(taxon.id);
    }
    for (const Taxon &taxon : records.taxa) {
        if (taxon.census && !censuses_.contains(*taxon.census) &&
            !incoming.contains(*taxon.census)) {
            throw std::invalid_argument("restore: taxon " + std::to_string(taxon.id) +
                                        " belongs to a collection that does not exist");
        }
    }
}

DeletedRecords Store::removeOrphanedTaxa()
{
    std::vector<RecordId> orphans;
    taxonOrder_.forEach([&](RecordId id) {
        const Taxon &taxon = taxa_.at(id);
        if (!taxon.census) {
            logLine("orphaned taxon " + taxon.taxonName.value_or("(null)") +
                    " removed from database");
            orphans.push_back(id);
        }
    });
    return deleteTaxa(orphans);
}

void Store::replaceAllRecords(Store &&other)
{
    censuses_ = std::move(other.censuses_);
    taxa_ = std::move(other.taxa_);
    censusOrder_ = std::move(other.censusOrder_);
    taxonOrder_ = std::move(other.taxonOrder_);
    taxaByCensus_ = std::move(other.taxaByCensus_);
    nextId_ = other.nextId_;
    pendingCensuses_.clear();
    pendingTaxa_.clear();
    pendingReset_ = true;
    if (batchDepth_ == 0) {
        flushNotifications();
    }
    modified_ = other.modified_;
}

void Store::requireCensusOrNone(const std::optional<RecordId> &census) const
{
    if (census && !censuses_.contains(*census)) {
        throw std::invalid_argument("taxon refers to collection " + std::to_string(*census) +
                                    ", which is not in the store");
    }
}

void Store::linkTaxon(const Taxon &taxon)
{
    if (taxon.census) {
        taxaByCensus_[*taxon.census].insert(taxon.id);
    }
}

void Store::unlinkTaxon(const Taxon &taxon)
{
    if (!taxon.census) {
        return;
    }
    const auto members = taxaByCensus_.find(*taxon.census);
    if (members == taxaByCensus_.end()) {
        return;
    }
    members->second.erase(taxon.id);
    if (members->second.empty()) {
        taxaByCensus_.erase(members);
    }
}

// --- reading ------------------------------------------------------------------

const Census *Store::findCensus(RecordId id) const
{
    const auto found = censuses_.find(id);
    return found == censuses_.end() ? nullptr : &found->second;
}

const Taxon *Store::findTaxon(RecordId id) const
{
    const auto found = taxa_.find(id);
    return found == taxa_.end() ? nullptr : &found->second;
}

std::vector<Census> Store::createArrayOfAllCensuses() const
{
    std::vector<Census> all;
    all.reserve(censuses_.size());
    censusOrder_.forEach([&](RecordId id) { all.push_back(censuses_.at(id)); });
    return all;
}

std::vector<Taxon> Store::createArrayOfAllTaxa() const
{
    std::vector<Taxon> all;
    all.reserve(taxa_.size());
    taxonOrder_.forEach([&](RecordId id) { all.push_back(taxa_.at(id)); });
    return all;
}

std::vector<Taxon> Store::taxaOfCensus(RecordId censusId) const
{
    std::vector<Taxon> members;
    const auto found = taxaByCensus_.find(censusId);
    if (found != taxaByCensus_.end()) {
        members.reserve(found->second.size());
        found->second.forEach([&](RecordId id) { members.push_back(taxa_.at(id)); });
    }
    return members;
}

std::size_t Store::taxonCountOfCensus(RecordId censusId) const
{
    const auto found = taxaByCensus_.find(censusId);
    return found == taxaByCensus_.end() ? 0 : found->second.size();
}

bool Store::hasTaxonData(std::optional<RecordId> selectedCensus) const
{
    return selectedCensus && taxonCountOfCensus(*selectedCensus) > 0;
}

bool Store::hasCountedTaxa() const
{
    return std::any_of(taxa_.begin(), taxa_.end(), [](const auto &entry) {
        const Taxon &taxon = entry.second;
        return taxon.census && taxon.abundance.value_or(0) > 0;
    });
}

// --- change notifications -------------------------------------------------------

Store::ObserverId Store::addObserver(Observer observer)
{
    const ObserverId id = nextObserverId_++;
    observers_.emplace(id, std::move(observer));
    return id;
}

void Store::removeObserver(ObserverId id)
{
    observers_.erase(id);
}

void Store::beginBatch()
{
    ++batchDepth_;
}

void Store::endBatch()
{
    if (batchDepth_ > 0 && --batchDepth_ == 0) {
        flushNotifications();
    }
}

namespace {

// Folds one more change of a record into what the current batch reports.
template <typename Record, typename PendingMap, typename Change>
void fold(PendingMap &pending, RecordId id, Change change, const Record *deleted)
{
    const auto found = pending.find(id);
    if (found == pending.end()) {
        pending.emplace(id,
                        typename PendingMap::mapped_type{change, deleted ? *deleted : Record{}});
        return;
    }
    auto &entry = found->second;
    if (change == Change::Deleted) {
        if (entry.change == Change::Inserted) {
            pending.erase(found); // came and went within the batch
        } else {
            entry = {Change::Deleted, *deleted};
        }
    } else if (change == Change::Inserted && entry.change == Change::Deleted) {
        entry = {Change::Updated, Record{}}; // deleted and put back: it may differ
    }
    // Inserted or updated, then updated: stays as it was.
}

} // namespace

void Store::noteCensus(RecordId id, Change change, const Census *deleted)
{
    if (observers_.empty()) {
        return; // nobody to tell: spares large loads and imports the bookkeeping
    }
    fold(pendingCensuses_, id, change, deleted);
}

void Store::noteTaxon(RecordId id, Change change, const Taxon *deleted)
{
    if (observers_.empty()) {
        return;
    }
    fold(pendingTaxa_, id, change, deleted);
}

void Store::changed()
{
    modified_ = true;
    if (batchDepth_ == 0) {
        flushNotifications();
    }
}

StoreChanges Store::collectPendingChanges()
{
    StoreChanges changes;
    changes.reset = std::exchange(pendingReset_, false);
    for (auto &[id, entry] : pendingCensuses_) {
        switch (entry.change) {
        case Change::Inserted:
            changes.insertedCensuses.push_back(censuses_.at(id));
            break;
        case Change::Updated:
            changes.updatedCensuses.push_back(censuses_.at(id));
            break;
        case Change::Deleted:
            changes.deletedCensuses.push_back(std::move(entry.deletedValue));
            break;
        }
    }
    for (auto &[id, entry] : pendingTaxa_) {
        switch (entry.change) {
        case Change::Inserted:
            changes.insertedTaxa.push_back(taxa_.at(id));
            break;
        case Change::Updated:
            changes.updatedTaxa.push_back(taxa_.at(id));
            break;
        case Change::Deleted:
            changes.deletedTaxa.push_back(std::move(entry.deletedValue));
            break;
        }
    }
    pendingCensuses_.clear();
    pendingTaxa_.clear();
    return changes;
}

void Store::flushNotifications()
{
    const StoreChanges changes = collectPendingChanges();
    if (changes.empty()) {
        return;
    }
    // A copy, so that an observer may add or remove observers while notified.
    const std::map<ObserverId, Observer> observers = observers_;
    for (const auto &[id, observer] : observers) {
        observer(changes);
    }
}

} // namespace quorvella
