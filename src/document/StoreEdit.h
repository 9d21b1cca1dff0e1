#pragma once

// What one user command did to a store, enough to undo and redo it exactly:
// the records it inserted (final values), the records it deleted (values
// before deletion) and, for each record it updated, the values before and
// after. Ids are kept, so records come back at their places.

#include "store/Store.h"

#include <map>
#include <optional>

namespace quorvella {

struct StoreEdit
{
    DeletedRecords inserted;
    DeletedRecords deleted;
    std::map<RecordId, std::pair<Census, Census>> updatedCensuses; // before, after
    std::map<RecordId, std::pair<Taxon, Taxon>> updatedTaxa;

    bool empty() const;

    // Applies the reverse of the edit, then the edit again.
    void undo(Store &store) const;
    void redo(Store &store) const;
};

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
