#pragma once

#include "store/Census.h"
#include "store/IdOrder.h"
#include "store/RecordId.h"
#include "store/StoreChanges.h"
#include "store/Taxon.h"
#include "store/TaxonTable.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvella {

// The records of one document, in memory: collections (Census) and their taxa
// (Taxon), with identity, store order (insertion order = ascending id), a
// modified flag and change notifications. Not thread-safe; one thread only.
//
// Delete rule: deleting a collection deletes its taxa with it. Every delete
// returns the removed records, and restore() puts them back with their ids,
// so the document's undo can reverse any delete exactly.
class Store
{
public:
    using Observer = std::function<void(const StoreChanges &)>;
    using ObserverId = std::uint64_t;

    Store() = default;
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;
    Store(Store &&) noexcept = default;
    Store &operator=(Store &&) noexcept = default;

    // --- inserting, updating, deleting ----------------------------------

    // Inserts a copy of the record with a new id (the id given is ignored) and
    // returns that id. A taxon's census must be empty or name a collection of
    // this store, otherwise std::invalid_argument.
    RecordId insertCensus(Census census = {});
    RecordId insertTaxon(Taxon taxon = {});

    // The fast step of large imports, the same as insertTaxon for each taxon
    // (in one notification) without a record per taxon: counted, included taxa of the collection
    // `census` (which must exist, otherwise std::invalid_argument) with new
    // ids in the order given, each named by a number from internTaxonName.
    NameTable::Number internTaxonName(std::string_view name) { return taxa_.internName(name); }
    void insertCountedTaxa(RecordId census, std::span<const CountedTaxon> taxa);

    // Replaces every attribute of the record with the same id. Unknown id or a
    // taxon's census naming no collection: std::invalid_argument. Writing the
    // values a record already has changes nothing and notifies nothing.
    void updateCensus(const Census &census);
    void updateTaxon(const Taxon &taxon);

    // Deletes the records with these ids (unknown ids are skipped); deleting a
    // collection also deletes its taxa. Returns what was removed.
    DeletedRecords deleteCensuses(std::span<const RecordId> ids);
    DeletedRecords deleteTaxa(std::span<const RecordId> ids);

    // Puts deleted records back with their original ids and attributes, so
    // they take their original places in store order. An id already in use:
    // std::invalid_argument, and nothing is restored.
    void restore(const DeletedRecords &records);
    void restore(DeletedRecords &&records);

    // The fast way in for a document being read: taxa whose ids ascend above
    // every id in the store, each of a collection already in it or of none.
    // A taxon that breaks this is refused with std::invalid_argument before
    // it is added. Nothing is notified; the store is marked modified. The
    // store must not change otherwise while a loader lives.
    class TaxonLoader
    {
    public:
        // `expected`: how many taxa will come, to reserve room once.
        TaxonLoader(Store &store, std::size_t expected);
        void add(const TaxonView &taxon);

    private:
        Store &store_;
        TaxonTable::Appender appender_;
        std::vector<RecordId> censusIds_; // ascending
        std::size_t nextCensus_ = 0;      // the first census id not below the last taxon's
        RecordId lastCensus_ = 0;
    };

    // Takes every taxon of `later`, a store of the same collections whose
    // taxa's ids are all above every id held here (the second half of a
    // document read in two halves, each by its own TaxonLoader). A taxon
    // id held as a collection's here, a collection unknown here or ids that
    // do not ascend: std::invalid_argument, and nothing is taken. Nothing is
    // notified; the store is marked modified.
    void appendTaxaOf(Store &&later);

    // Deletes every taxon without a collection, writing the log line
    // "orphaned taxon <name> removed from database" for each.
    DeletedRecords removeOrphanedTaxa();

    // Takes every record of `other` (e.g. a freshly loaded document) in place
    // of this store's records, keeping this store's observers, which receive
    // one notification with `reset` set. The modified flag takes other's.
    void replaceAllRecords(Store &&other);

    // --- reading ----------------------------------------------------------

    const Census *findCensus(RecordId id) const; // nullptr when absent
    // A copy: taxa are held packed (TaxonTable), not as Taxon objects.
    std::optional<Taxon> findTaxon(RecordId id) const;
    // The same without a copy, valid until the store changes.
    std::optional<TaxonView> findTaxonView(RecordId id) const;

    // Every record of a kind, in store order (orphans included for taxa).
    std::vector<Census> createArrayOfAllCensuses() const;
    std::vector<Taxon> createArrayOfAllTaxa() const;

    // Visits every taxon in store order without copying the records (for the
    // passes over a whole large document). The visitor must not change the store.
    template <typename Visit> void forEachTaxon(Visit visit) const
    {
        Taxon taxon; // one record refilled for every visit
        taxa_.forEach([&](TaxonTable::Slot slot) {
            taxa_.read(slot, taxon);
            visit(static_cast<const Taxon &>(taxon));
        });
    }

    // The same without materialising records: the fastest pass over every
    // taxon (the document file's writer). Views stay valid until the store changes.
    template <typename Visit> void forEachTaxonView(Visit visit) const
    {
        taxa_.forEach([&](TaxonTable::Slot slot) { visit(taxa_.view(slot)); });
    }

    // The records with ids from firstId up to but not including endId, in
    // store order: what was added since a reader last looked, when the store
    // only grows (a save written while an import is still being read).
    template <typename Visit>
    void forEachCensusIn(RecordId firstId, RecordId endId, Visit visit) const
    {
        censusOrder_.forEachIn(firstId, endId, [&](RecordId id) { visit(censuses_.at(id)); });
    }
    template <typename Visit>
    void forEachTaxonViewIn(RecordId firstId, RecordId endId, Visit visit) const
    {
        taxa_.forEachIn(firstId, endId, [&](TaxonTable::Slot slot) { visit(taxa_.view(slot)); });
    }

    // The taxa of one collection in store order; empty for an unknown id.
    std::vector<Taxon> taxaOfCensus(RecordId censusId) const;
    // The same as views (no name copied), valid until the store changes.
    std::vector<TaxonView> taxonViewsOfCensus(RecordId censusId) const;
    std::size_t taxonCountOfCensus(RecordId censusId) const;

    std::size_t censusCount() const { return censuses_.size(); }
    // The id the next inserted record gets: every record held, deleted or
    // restored so far has a smaller one, so records prepared away from the
    // store may be numbered from here and restored.
    RecordId nextRecordId() const { return nextId_; }
    std::size_t taxonCount() const { return taxa_.size(); }

    // The store's half of the document's three queries. hasTaxonData asks
    // about the selected collection (none selected: false).
    bool hasTaxonData(std::optional<RecordId> selectedCensus) const;
    bool hasCensusData() const { return !censuses_.empty(); }
    bool hasAtLeastThreeCensuses() const { return censuses_.size() > 2; }
    // Some collection holds a taxon with a positive count (included or not).
    bool hasCountedTaxa() const;

    // --- modified flag ------------------------------------------------------

    // Set by every change; cleared by whoever saved the records.
    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    // --- change notifications -----------------------------------------------

    ObserverId addObserver(Observer observer);
    void removeObserver(ObserverId id);

    // An observer hears of the changes made after it was added. It may read
    // and change the store (its own changes notify afresh) but must not
    // throw: notifications are sent from Batch's destructor.
    // Changes between beginBatch() and the matching endBatch() reach the
    // observers as one notification when the outermost batch ends. Batches
    // nest. Outside a batch every change notifies at once.
    void beginBatch();
    void endBatch();

    // RAII form of beginBatch/endBatch.
    class Batch
    {
    public:
        explicit Batch(Store &store) : store_(store) { store_.beginBatch(); }
        ~Batch() { store_.endBatch(); }
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        Store &store_;
    };

private:
    enum class Change { Inserted, Updated, Deleted };
    template <typename Record> struct Pending
    {
        Change change;
        Record deletedValue; // the record as it was when deleted
    };

    void checkRestorable(const DeletedRecords &records) const;
    void requireCensusOrNone(const std::optional<RecordId> &census) const;
    void eraseTaxon(TaxonTable::Slot slot, DeletedRecords &removed);
    void noteCensus(RecordId id, Change change, const Census *deleted = nullptr);
    void noteTaxon(RecordId id, Change change, const Taxon *deleted = nullptr);
    bool inInsertedTaxonRun(RecordId id) const;
    bool inDeletedTaxonRun(RecordId id) const;
    void spillTaxonRuns();
    std::vector<Taxon> collectInsertedTaxa(std::vector<RecordId> &&fromMap);
    void changed();
    void flushNotifications();
    StoreChanges collectPendingChanges();

    std::unordered_map<RecordId, Census> censuses_;
    IdOrder censusOrder_;
    TaxonTable taxa_;
    RecordId nextId_ = 1;
    bool modified_ = false;

    std::map<ObserverId, Observer> observers_;
    ObserverId nextObserverId_ = 1;
    int batchDepth_ = 0;
    bool pendingReset_ = false;
    std::map<RecordId, Pending<Census>> pendingCensuses_;
    std::map<RecordId, Pending<Taxon>> pendingTaxa_;
    // Changes of a batch that need no folding are kept out of pendingTaxa_
    // (a node per taxon would cost large imports and their undo the most):
    // taxa inserted with ids ascending above every id in pendingTaxa_, and
    // taxa deleted with ids descending (their values as deleted). An id
    // noted again moves the runs into pendingTaxa_ first.
    std::vector<RecordId> insertedTaxonRun_;
    std::vector<Taxon> deletedTaxonRun_;
};

} // namespace quorvella
