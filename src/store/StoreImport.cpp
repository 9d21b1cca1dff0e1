#include "store/StoreImport.h"

#include "textio/ImportParsing.h"

#include <utility>

namespace quorvella {
namespace {

RecordId insertTaxon(Store &store, RecordId census, const ImportedTaxon &imported)
{
    Taxon taxon;
    taxon.taxonName = imported.name;
    taxon.abundance = imported.abundance;
    taxon.census = census;
    taxon.includeTaxon = true;
    return store.insertTaxon(std::move(taxon));
}

void insertCollection(Store &store, const ImportedCollection &collection,
                      std::vector<RecordId> &inserted)
{
    Census census;
    census.censusName = collection.name;
    const RecordId censusId = store.insertCensus(std::move(census));
    inserted.push_back(censusId);
    for (const ImportedTaxon &imported : collection.taxa) {
        insertTaxon(store, censusId, imported);
    }
}

// Runs `insertAll` in one batch, so observers hear of the whole import once.
// Should an insertion fail (out of memory), the records already inserted are
// deleted again: an import lands whole or not at all.
template <typename InsertAll>
std::vector<RecordId> insertAtomically(Store &store, InsertAll insertAll)
{
    Store::Batch batch(store);
    std::vector<RecordId> inserted;
    try {
        insertAll(inserted);
    } catch (...) {
        store.deleteCensuses(inserted);
        throw;
    }
    return inserted;
}

std::vector<RecordId> insertCollections(Store &store,
                                        const std::vector<ImportedCollection> &collections)
{
    return insertAtomically(store, [&](std::vector<RecordId> &inserted) {
        for (const ImportedCollection &collection : collections) {
            insertCollection(store, collection, inserted);
        }
    });
}

} // namespace

std::vector<RecordId> addTaxaToCensusFromString(Store &store, RecordId census, ImportFormat format,
                                                std::string_view text)
{
    const ImportedCollection parsed =
        format == ImportFormat::AbundanceList ? parseAbundanceList(text) : parseCollection(text);
    Store::Batch batch(store);
    std::vector<RecordId> inserted;
    try {
        for (const ImportedTaxon &imported : parsed.taxa) {
            inserted.push_back(insertTaxon(store, census, imported));
        }
    } catch (...) {
        store.deleteTaxa(inserted);
        throw;
    }
    return inserted;
}

StoreImportResult addAbundanceListToMOCFromString(Store &store, std::string_view text)
{
    return {insertCollections(store, {parseAbundanceList(text)}), std::nullopt};
}

StoreImportResult addCollectionToMOCFromString(Store &store, std::string_view text)
{
    return {insertCollections(store, {parseCollection(text)}), std::nullopt};
}

StoreImportResult addCollectionGroupToMOCFromString(Store &store, std::string_view text)
{
    // Each row goes into the store as soon as it is read.
    std::vector<std::string> completionNames;
    std::vector<RecordId> inserted = insertAtomically(store, [&](std::vector<RecordId> &ids) {
        completionNames = parseCollectionGroup(text, [&](const ImportedCollection &collection) {
            insertCollection(store, collection, ids);
        });
    });
    return {std::move(inserted), std::move(completionNames)};
}

CommunityImportResult addCommunityTableToMOCFromString(Store &store, std::string_view text,
                                                       const CommunityOptions &options)
{
    CommunityReadResult read = readCommunityTable(text, options);
    if (read.fault) {
        return {{}, std::move(read.fault)};
    }
    return {addCommunityGroupToMOC(store, read.group), std::nullopt};
}

StoreImportResult addCommunityGroupToMOC(Store &store, const ImportedCollectionGroup &group)
{
    return {insertCollections(store, group.collections), group.completionNames};
}

} // namespace quorvella
