#pragma once

// What one user command did to a store, enough to undo and redo it exactly:
// the records it inserted (final values), the records it deleted (values
// before deletion) and, for each record it updated, the values before and
// after. Ids are kept, so records come back at their places.

#include "store/Store.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace quorvella {

// One part of applying an edit, touching at most a slice of its records.
using StoreEditStep = std::function<void(Store &store)>;

struct StoreEdit
{
    DeletedRecords inserted;
    DeletedRecords deleted;
    std::map<RecordId, std::pair<Census, Census>> updatedCensuses; // before, after
    std::map<RecordId, std::pair<Taxon, Taxon>> updatedTaxa;

    bool empty() const;
    // How many records the edit touches.
    std::size_t recordCount() const;

    // Applies the reverse of the edit, then the edit again.
    void undo(Store &store) const;
    void redo(Store &store) const;

    // The same as steps that each insert, delete or restore at most
    // sliceSize records, so that a large edit can be applied between turns
    // of the event loop. Run in order (each in a batch of its own, or all
    // in one), they do exactly what undo() and redo() do. The steps refer to
    // this edit, which must outlive them.
    std::vector<StoreEditStep> undoSteps(std::size_t sliceSize) const;
    std::vector<StoreEditStep> redoSteps(std::size_t sliceSize) const;
};

// The records of a store that was filled away from the document (e.g. an
// import read on another thread into a store of its own, numbered from 1),
// renumbered so that they start at firstId and may be restored into the
// document's store.
DeletedRecords renumberedRecords(const Store &filled, RecordId firstId);

// Collects a StoreEdit while a command runs: observes the store's
// notifications and takes the before-values of updates from noteBefore(),
// which the command calls before each update.
class StoreEditRecorder
{
public:
    explicit StoreEditRecorder(Store &store);
    ~StoreEditRecorder();
    StoreEditRecorder(const StoreEditRecorder &) = delete;
    StoreEditRecorder &operator=(const StoreEditRecorder &) = delete;

    void noteBefore(const Census &census);
    void noteBefore(const Taxon &taxon);

    // Stops observing and hands over what was recorded.
    StoreEdit finish();

private:
    void record(const StoreChanges &changes);

    Store &m_store;
    Store::ObserverId m_observer;
    bool m_observing = true;
    StoreEdit m_edit;
    std::map<RecordId, Census> m_censusBefore;
    std::map<RecordId, Taxon> m_taxonBefore;
};

} // namespace quorvella
