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

// Calls slice(from, to) for consecutive ranges of at most sliceSize of count.
template <typename Slice> void forEachSlice(std::size_t count, std::size_t sliceSize, Slice slice)
{
    for (std::size_t from = 0; from < count; from += sliceSize)
        slice(from, std::min(count, from + sliceSize));
}

void addRemoval(std::vector<StoreEditStep> &steps, const DeletedRecords &records,
                std::size_t sliceSize)
{
    // Taxa first (deleting a collection takes its taxa with it), the last
    // first: a collection's list of taxa then only ever loses its end.
    const std::vector<Taxon> &taxa = records.taxa;
    forEachSlice(taxa.size(), sliceSize, [&](std::size_t from, std::size_t to) {
        steps.push_back([&taxa, from, to](Store &store) {
            std::vector<RecordId> ids;
            ids.reserve(to - from);
            for (std::size_t i = taxa.size() - from; i > taxa.size() - to; --i)
                ids.push_back(taxa[i - 1].id);
            store.deleteTaxa(ids);
        });
    });
    if (!records.censuses.empty())
        steps.push_back(
            [&records](Store &store) { store.deleteCensuses(idsOf(records.censuses)); });
}

void addRestore(std::vector<StoreEditStep> &steps, const DeletedRecords &records,
                std::size_t sliceSize)
{
    // The collections before the taxa that belong to them.
    if (!records.censuses.empty())
        steps.push_back([&records](Store &store) { store.restore({records.censuses, {}}); });
    const std::vector<Taxon> &taxa = records.taxa;
    forEachSlice(taxa.size(), sliceSize, [&](std::size_t from, std::size_t to) {
        steps.push_back([&taxa, from, to](Store &store) {
            const auto begin = taxa.begin() + static_cast<std::ptrdiff_t>(from);
            store.restore(
                {{}, std::vector<Taxon>(begin, begin + static_cast<std::ptrdiff_t>(to - from))});
        });
    });
}

void update(Store &store, const Census &census)
{
    store.updateCensus(census);
}

void update(Store &store, const Taxon &taxon)
{
    store.updateTaxon(taxon);
}

// Writes each record's values before (undo) or after (redo) the edit.
template <typename Updates>
void addUpdates(std::vector<StoreEditStep> &steps, const Updates &updates, bool before)
{
    if (updates.empty())
        return;
    steps.push_back([&updates, before](Store &store) {
        for (const auto &[id, change] : updates)
            update(store, before ? change.first : change.second);
    });
}

void runAll(const std::vector<StoreEditStep> &steps, Store &store)
{
    Store::Batch batch(store);
    for (const StoreEditStep &step : steps)
        step(store);
}

} // namespace

bool StoreEdit::empty() const
{
    return recordCount() == 0;
}

std::size_t StoreEdit::recordCount() const
{
    return inserted.censuses.size() + inserted.taxa.size() + deleted.censuses.size() +
           deleted.taxa.size() + updatedCensuses.size() + updatedTaxa.size();
}

void StoreEdit::undo(Store &store) const
{
    runAll(undoSteps(recordCount() + 1), store);
}

void StoreEdit::redo(Store &store) const
{
    runAll(redoSteps(recordCount() + 1), store);
}

std::vector<StoreEditStep> StoreEdit::undoSteps(std::size_t sliceSize) const
{
    std::vector<StoreEditStep> steps;
    addRemoval(steps, inserted, sliceSize);
    addRestore(steps, deleted, sliceSize);
    addUpdates(steps, updatedCensuses, true);
    addUpdates(steps, updatedTaxa, true);
    return steps;
}

std::vector<StoreEditStep> StoreEdit::redoSteps(std::size_t sliceSize) const
{
    std::vector<StoreEditStep> steps;
    addUpdates(steps, updatedTaxa, false);
    addUpdates(steps, updatedCensuses, false);
    addRemoval(steps, deleted, sliceSize);
    addRestore(steps, inserted, sliceSize);
    return steps;
}

DeletedRecords renumberedRecords(const Store &filled, RecordId firstId)
{
    const RecordId offset = firstId - 1;
    DeletedRecords records{filled.createArrayOfAllCensuses(), filled.createArrayOfAllTaxa()};
    for (Census &census : records.censuses)
        census.id += offset;
    for (Taxon &taxon : records.taxa) {
        taxon.id += offset;
        if (taxon.census)
            *taxon.census += offset;
    }
    return records;
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
