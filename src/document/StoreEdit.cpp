#include "document/StoreEdit.h"

#include <algorithm>

namespace quorvella {
namespace {

template <typename Record> std::vector<RecordId> idsOf(const std::vector<Record> &records)
{
    std::vector<RecordId> ids;
    ids.reserve(records.size());
    for (const Record &record : records)
        ids.push_back(record.id);
    return ids;
}

void remove(Store &store, const DeletedRecords &records)
{
    // Taxa first: deleting a collection takes its taxa with it.
    store.deleteTaxa(idsOf(records.taxa));
    store.deleteCensuses(idsOf(records.censuses));
}

} // namespace

bool StoreEdit::empty() const
{
    return inserted.censuses.empty() && inserted.taxa.empty() && deleted.censuses.empty() &&
           deleted.taxa.empty() && updatedCensuses.empty() && updatedTaxa.empty();
}

void StoreEdit::undo(Store &store) const
{
    Store::Batch batch(store);
    remove(store, inserted);
    store.restore(deleted);
    for (const auto &[id, change] : updatedCensuses)
        store.updateCensus(change.first);
    for (const auto &[id, change] : updatedTaxa)
        store.updateTaxon(change.first);
}

void StoreEdit::redo(Store &store) const
{
    Store::Batch batch(store);
    for (const auto &[id, change] : updatedTaxa)
        store.updateTaxon(change.second);
    for (const auto &[id, change] : updatedCensuses)
        store.updateCensus(change.second);
    remove(store, deleted);
    store.restore(inserted);
}

StoreEditRecorder::StoreEditRecorder(Store &store)
    : m_store(store),
      m_observer(store.addObserver([this](const StoreChanges &changes) { record(changes); }))
{}

StoreEditRecorder::~StoreEditRecorder()
{
    if (m_observing)
        m_store.removeObserver(m_observer);
}

void StoreEditRecorder::noteBefore(const Census &census)
{
    m_censusBefore.try_emplace(census.id, census);
}

void StoreEditRecorder::noteBefore(const Taxon &taxon)
{
    m_taxonBefore.try_emplace(taxon.id, taxon);
}

void StoreEditRecorder::record(const StoreChanges &changes)
{
    auto append = [](auto &to, const auto &from) { to.insert(to.end(), from.begin(), from.end()); };
    append(m_edit.inserted.censuses, changes.insertedCensuses);
    append(m_edit.inserted.taxa, changes.insertedTaxa);
    append(m_edit.deleted.censuses, changes.deletedCensuses);
    append(m_edit.deleted.taxa, changes.deletedTaxa);
    for (const Census &after : changes.updatedCensuses) {
        if (auto before = m_censusBefore.find(after.id); before != m_censusBefore.end())
            m_edit.updatedCensuses.insert_or_assign(after.id, std::pair{before->second, after});
    }
    for (const Taxon &after : changes.updatedTaxa) {
        if (auto before = m_taxonBefore.find(after.id); before != m_taxonBefore.end())
            m_edit.updatedTaxa.insert_or_assign(after.id, std::pair{before->second, after});
    }
}

StoreEdit StoreEditRecorder::finish()
{
    if (m_observing) {
        m_store.removeObserver(m_observer);
        m_observing = false;
    }
    return std::move(m_edit);
}

} // namespace quorvella
