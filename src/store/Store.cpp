#include "store/Store.h"

#include "log/Log.h"

#include <algorithm>
#include <iterator>
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
    taxon.id = nextId_;
    taxa_.append(taxon);
    const RecordId id = nextId_++;
    noteTaxon(id, Change::Inserted);
    changed();
    return id;
}

void Store::insertCountedTaxa(RecordId census, std::span<const CountedTaxon> taxa)
{
    requireCensusOrNone(census);
    if (taxa.empty()) {
        return;
    }
    const RecordId first = nextId_;
    taxa_.appendCounted(census, first, taxa);
    nextId_ += static_cast<RecordId>(taxa.size());
    for (RecordId id = first; id < nextId_ && !observers_.empty(); ++id) {
        noteTaxon(id, Change::Inserted);
    }
    changed();
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
    const std::optional<TaxonTable::Slot> slot = taxa_.find(taxon.id);
    if (!slot) {
        throw std::invalid_argument("updateTaxon: no taxon with id " + std::to_string(taxon.id));
    }
    requireCensusOrNone(taxon.census);
    if (taxa_.sameAttributes(*slot, taxon)) {
        return;
    }
    taxa_.update(*slot, taxon);
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
        // Deleting a collection deletes its taxa, from the last one (copy:
        // erasing edits the list; the list then only ever loses its end).
        const std::vector<TaxonTable::Slot> members = taxa_.slotsOfCensus(id);
        const std::size_t firstRemoved = removed.taxa.size();
        for (auto member = members.rbegin(); member != members.rend(); ++member) {
            eraseTaxon(*member, removed);
        }
        std::reverse(removed.taxa.begin() + static_cast<std::ptrdiff_t>(firstRemoved),
                     removed.taxa.end());
        noteCensus(id, Change::Deleted, &found->second);
        removed.censuses.push_back(std::move(found->second));
        censuses_.erase(found);
        censusOrder_.erase(id);
        changed();
    }
    taxa_.compactIfMostlyDead();
    return removed;
}

DeletedRecords Store::deleteTaxa(std::span<const RecordId> ids)
{
    DeletedRecords removed;
    Batch batch(*this);
    for (const RecordId id : ids) {
        if (const std::optional<TaxonTable::Slot> slot = taxa_.find(id)) {
            eraseTaxon(*slot, removed);
        }
    }
    taxa_.compactIfMostlyDead();
    return removed;
}

void Store::eraseTaxon(TaxonTable::Slot slot, DeletedRecords &removed)
{
    removed.taxa.push_back(taxa_.record(slot));
    noteTaxon(removed.taxa.back().id, Change::Deleted, &removed.taxa.back());
    taxa_.erase(slot);
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
    taxa_.insertMany(records.taxa);
    for (const Taxon &taxon : records.taxa) {
        nextId_ = std::max(nextId_, taxon.id + 1);
        noteTaxon(taxon.id, Change::Inserted);
    }
    changed();
}

Store::TaxonLoader::TaxonLoader(Store &store, std::size_t expected)
    : store_(store), appender_(store.taxa_)
{
    store_.taxa_.reserve(store_.taxa_.size() + expected);
    censusIds_.reserve(store_.censuses_.size());
    store_.censusOrder_.forEach([&](RecordId id) { censusIds_.push_back(id); });
}

void Store::TaxonLoader::add(const TaxonView &taxon)
{
    // Taxon ids ascend (the appender checks), so the collections' ids are
    // passed once, side by side with them.
    while (nextCensus_ < censusIds_.size() && censusIds_[nextCensus_] < taxon.id) {
        ++nextCensus_;
    }
    if (taxon.id <= 0 || (nextCensus_ < censusIds_.size() && censusIds_[nextCensus_] == taxon.id)) {
        throw std::invalid_argument("load: record id " + std::to_string(taxon.id) +
                                    " is invalid or already in use");
    }
    if (taxon.census && *taxon.census != lastCensus_) {
        store_.requireCensusOrNone(taxon.census);
        lastCensus_ = *taxon.census;
    }
    appender_.append(taxon);
    store_.nextId_ = std::max(store_.nextId_, taxon.id + 1);
    store_.modified_ = true;
}

void Store::appendTaxaOf(Store &&later)
{
    // `later`'s loader checked its taxa against its collections: the same
    // collections here make them valid here.
    for (const auto &[id, census] : later.censuses_) {
        if (!censuses_.contains(id)) {
            throw std::invalid_argument("appendTaxaOf: collection " + std::to_string(id) +
                                        " is not in the store");
        }
    }
    if (later.censuses_.size() != censuses_.size()) {
        throw std::invalid_argument("appendTaxaOf: the stores hold different collections");
    }
    taxa_.appendTable(std::move(later.taxa_));
    nextId_ = std::max(nextId_, later.nextId_);
    modified_ = true;
}

void Store::checkRestorable(const DeletedRecords &records) const
{
    // The collections in a hash set (few); the taxa, which may be a whole
    // document being loaded, as a sorted list of ids.
    std::unordered_set<RecordId> incomingCensuses;
    std::vector<RecordId> incomingTaxa;
    incomingTaxa.reserve(records.taxa.size());
    const auto refuse = [](RecordId id) {
        throw std::invalid_argument("restore: record id " + std::to_string(id) +
                                    " is invalid or already in use");
    };
    for (const Census &census : records.censuses) {
        if (census.id <= 0 || censuses_.contains(census.id) || taxa_.contains(census.id) ||
            !incomingCensuses.insert(census.id).second) {
            refuse(census.id);
        }
    }
    for (const Taxon &taxon : records.taxa) {
        if (taxon.id <= 0 || censuses_.contains(taxon.id) || taxa_.contains(taxon.id) ||
            incomingCensuses.contains(taxon.id)) {
            refuse(taxon.id);
        }
        if (taxon.census && !censuses_.contains(*taxon.census) &&
            !incomingCensuses.contains(*taxon.census)) {
            throw std::invalid_argument("restore: taxon " + std::to_string(taxon.id) +
                                        " belongs to a collection that does not exist");
        }
        incomingTaxa.push_back(taxon.id);
    }
    if (!std::is_sorted(incomingTaxa.begin(), incomingTaxa.end())) {
        std::sort(incomingTaxa.begin(), incomingTaxa.end());
    }
    if (const auto twice = std::adjacent_find(incomingTaxa.begin(), incomingTaxa.end());
        twice != incomingTaxa.end()) {
        refuse(*twice);
    }
}

DeletedRecords Store::removeOrphanedTaxa()
{
    std::vector<RecordId> orphans;
    taxa_.forEach([&](TaxonTable::Slot slot) {
        if (!taxa_.census(slot)) {
            logLine("orphaned taxon " + std::string(taxa_.name(slot).value_or("(null)")) +
                    " removed from database");
            orphans.push_back(taxa_.id(slot));
        }
    });
    return deleteTaxa(orphans);
}

void Store::replaceAllRecords(Store &&other)
{
    censuses_ = std::move(other.censuses_);
    taxa_ = std::move(other.taxa_);
    censusOrder_ = std::move(other.censusOrder_);
    nextId_ = other.nextId_;
    pendingCensuses_.clear();
    pendingTaxa_.clear();
    insertedTaxonRun_.clear();
    deletedTaxonRun_.clear();
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

// --- reading ------------------------------------------------------------------

const Census *Store::findCensus(RecordId id) const
{
    const auto found = censuses_.find(id);
    return found == censuses_.end() ? nullptr : &found->second;
}

std::optional<Taxon> Store::findTaxon(RecordId id) const
{
    const std::optional<TaxonTable::Slot> slot = taxa_.find(id);
    return slot ? std::optional(taxa_.record(*slot)) : std::nullopt;
}

std::optional<TaxonView> Store::findTaxonView(RecordId id) const
{
    const std::optional<TaxonTable::Slot> slot = taxa_.find(id);
    return slot ? std::optional(taxa_.view(*slot)) : std::nullopt;
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
    taxa_.forEach([&](TaxonTable::Slot slot) { all.push_back(taxa_.record(slot)); });
    return all;
}

namespace {

// The records of some slots, made by `make`, in the slots' order.
template <typename Make>
auto recordsOfSlots(const std::vector<TaxonTable::Slot> &slots, Make make)
    -> std::vector<decltype(make(TaxonTable::Slot{}))>
{
    std::vector<decltype(make(TaxonTable::Slot{}))> records;
    records.reserve(slots.size());
    for (const TaxonTable::Slot slot : slots) {
        records.push_back(make(slot));
    }
    return records;
}

} // namespace

std::vector<Taxon> Store::taxaOfCensus(RecordId censusId) const
{
    return recordsOfSlots(taxa_.slotsOfCensus(censusId),
                          [this](TaxonTable::Slot slot) { return taxa_.record(slot); });
}

std::vector<TaxonView> Store::taxonViewsOfCensus(RecordId censusId) const
{
    return recordsOfSlots(taxa_.slotsOfCensus(censusId),
                          [this](TaxonTable::Slot slot) { return taxa_.view(slot); });
}

std::size_t Store::taxonCountOfCensus(RecordId censusId) const
{
    return taxa_.slotsOfCensus(censusId).size();
}

bool Store::hasTaxonData(std::optional<RecordId> selectedCensus) const
{
    return selectedCensus && taxonCountOfCensus(*selectedCensus) > 0;
}

bool Store::hasCountedTaxa() const
{
    return taxa_.any([&](TaxonTable::Slot slot) {
        return taxa_.census(slot) && taxa_.abundance(slot).value_or(0) > 0;
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
    const bool aboveFolded = pendingTaxa_.empty() || id > pendingTaxa_.rbegin()->first;
    if (change == Change::Inserted && aboveFolded &&
        (insertedTaxonRun_.empty() || id > insertedTaxonRun_.back()) && !inDeletedTaxonRun(id)) {
        insertedTaxonRun_.push_back(id);
        return;
    }
    if (change == Change::Deleted && !pendingTaxa_.contains(id) &&
        (deletedTaxonRun_.empty() || id < deletedTaxonRun_.back().id) && !inInsertedTaxonRun(id)) {
        deletedTaxonRun_.push_back(*deleted);
        return;
    }
    if (inInsertedTaxonRun(id) || inDeletedTaxonRun(id)) {
        spillTaxonRuns();
    }
    fold(pendingTaxa_, id, change, deleted);
}

bool Store::inInsertedTaxonRun(RecordId id) const
{
    return std::binary_search(insertedTaxonRun_.begin(), insertedTaxonRun_.end(), id);
}

bool Store::inDeletedTaxonRun(RecordId id) const
{
    // The run descends.
    const auto at = std::lower_bound(deletedTaxonRun_.begin(), deletedTaxonRun_.end(), id,
                                     [](const Taxon &taxon, RecordId x) { return taxon.id > x; });
    return at != deletedTaxonRun_.end() && at->id == id;
}

void Store::spillTaxonRuns()
{
    // The runs and pendingTaxa_ hold different ids, so nothing folds here.
    for (const RecordId id : std::exchange(insertedTaxonRun_, {})) {
        fold(pendingTaxa_, id, Change::Inserted, static_cast<const Taxon *>(nullptr));
    }
    for (const Taxon &taxon : std::exchange(deletedTaxonRun_, {})) {
        fold(pendingTaxa_, taxon.id, Change::Deleted, &taxon);
    }
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
    std::vector<RecordId> inserted;
    for (auto &[id, entry] : pendingTaxa_) {
        switch (entry.change) {
        case Change::Inserted:
            inserted.push_back(id);
            break;
        case Change::Updated:
            changes.updatedTaxa.push_back(*findTaxon(id));
            break;
        case Change::Deleted:
            changes.deletedTaxa.push_back(std::move(entry.deletedValue));
            break;
        }
    }
    changes.insertedTaxa = collectInsertedTaxa(std::move(inserted));
    // The deleted run descends: merged into store order with the folded ones.
    if (!deletedTaxonRun_.empty()) {
        std::vector<Taxon> folded = std::move(changes.deletedTaxa);
        changes.deletedTaxa.clear();
        changes.deletedTaxa.reserve(folded.size() + deletedTaxonRun_.size());
        std::merge(std::make_move_iterator(folded.begin()), std::make_move_iterator(folded.end()),
                   std::make_move_iterator(deletedTaxonRun_.rbegin()),
                   std::make_move_iterator(deletedTaxonRun_.rend()),
                   std::back_inserter(changes.deletedTaxa),
                   [](const Taxon &a, const Taxon &b) { return a.id < b.id; });
    }
    pendingCensuses_.clear();
    pendingTaxa_.clear();
    insertedTaxonRun_.clear();
    deletedTaxonRun_.clear();
    return changes;
}

std::vector<Taxon> Store::collectInsertedTaxa(std::vector<RecordId> &&fromMap)
{
    std::vector<RecordId> ids = std::move(fromMap);
    if (!insertedTaxonRun_.empty()) {
        std::vector<RecordId> merged;
        merged.reserve(ids.size() + insertedTaxonRun_.size());
        std::merge(ids.begin(), ids.end(), insertedTaxonRun_.begin(), insertedTaxonRun_.end(),
                   std::back_inserter(merged));
        ids = std::move(merged);
    }
    std::vector<Taxon> taxa;
    taxa.reserve(ids.size());
    if (ids.empty()) {
        return taxa;
    }
    // One walk over the slots of the ids' range instead of a search per id:
    // every id noted as inserted is alive.
    auto next = ids.begin();
    taxa_.forEachIn(ids.front(), ids.back() + 1, [&](TaxonTable::Slot slot) {
        if (next != ids.end() && taxa_.id(slot) == *next) {
            taxa.push_back(taxa_.record(slot));
            ++next;
        }
    });
    return taxa;
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
