#include "store/StoreImport.h"

#include "textio/CollectionGroupReader.h"
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

RecordId insertNamedCensus(Store &store, std::string_view name, std::vector<RecordId> &inserted)
{
    Census census;
    census.censusName = std::string(name);
    inserted.push_back(store.insertCensus(std::move(census)));
    return inserted.back();
}

// A matrix's rows straight into the store, without a record or a name copy
// per cell: each header name is interned once, at its first cell.
class GroupRowInserter
{
public:
    GroupRowInserter(Store &store, std::vector<RecordId> &inserted)
        : store_(store), inserted_(inserted)
    {}

    void insert(const GroupRow &row)
    {
        const RecordId census = insertNamedCensus(store_, row.name, inserted_);
        names_.resize(row.speciesNames.size(), NameTable::none);
        taxa_.clear();
        for (const GroupCell &cell : row.cells) {
            NameTable::Number &name = names_[cell.species];
            if (name == NameTable::none) {
                name = store_.internTaxonName(row.speciesNames[cell.species]);
            }
            taxa_.push_back({name, cell.abundance});
        }
        store_.insertCountedTaxa(census, taxa_);
    }

private:
    Store &store_;
    std::vector<RecordId> &inserted_;
    std::vector<NameTable::Number> names_; // by header column; none until first used
    std::vector<CountedTaxon> taxa_;
};

void tell(const RecordsAdded &added)
{
    if (added) {
        added();
    }
}

// An abundance list into its collection, in chunks: the generated names are
// made in one reused buffer and interned, so no list of taxa is ever held.
void insertAbundanceList(Store &store, std::string_view text, std::vector<RecordId> &inserted,
                         const RecordsAdded &added)
{
    constexpr std::size_t chunk = 4096;
    const RecordId census = insertNamedCensus(store, importedCollectionName, inserted);
    std::vector<CountedTaxon> taxa;
    taxa.reserve(chunk);
    std::string name(unnamedSpeciesName);
    name += ' ';
    const std::size_t prefix = name.size();
    std::size_t serial = 0;
    readAbundanceList(text, [&](std::int32_t abundance) {
        name.resize(prefix);
        name += std::to_string(++serial);
        taxa.push_back({store.internTaxonName(name), abundance});
        if (taxa.size() == chunk) {
            store.insertCountedTaxa(census, taxa);
            taxa.clear();
            tell(added);
        }
    });
    store.insertCountedTaxa(census, taxa);
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

StoreImportResult addAbundanceListToMOCFromString(Store &store, std::string_view text,
                                                  const RecordsAdded &added)
{
    return {insertAtomically(
                store,
                [&](std::vector<RecordId> &ids) { insertAbundanceList(store, text, ids, added); }),
            std::nullopt};
}

StoreImportResult addCollectionToMOCFromString(Store &store, std::string_view text)
{
    return {insertCollections(store, {parseCollection(text)}), std::nullopt};
}

StoreImportResult addCollectionGroupToMOCFromString(Store &store, std::string_view text,
                                                    const RecordsAdded &added)
{
    // Each row goes into the store as soon as it is read.
    std::vector<std::string> completionNames;
    std::vector<RecordId> inserted = insertAtomically(store, [&](std::vector<RecordId> &ids) {
        GroupRowInserter rows(store, ids);
        completionNames = readCheckedCollectionGroup(text, [&](const GroupRow &row) {
            rows.insert(row);
            tell(added);
        });
    });
    return {std::move(inserted), std::move(completionNames)};
}

CheckedImportResult checkAndAddCollectionGroupToMOC(Store &store, std::string_view text,
                                                    const RecordsAdded &added)
{
    if (text.empty()) {
        return {{}, validateImportText(ImportFormat::CollectionGroup, text)};
    }
    std::vector<std::string> completionNames;
    ValidationResult check;
    std::vector<RecordId> inserted = insertAtomically(store, [&](std::vector<RecordId> &ids) {
        GroupRowInserter rows(store, ids);
        check = readCollectionGroup(
            text,
            [&](const GroupRow &row) {
                rows.insert(row);
                tell(added);
            },
            completionNames);
        if (!check.isValid()) { // the rows before the fault go again
            store.deleteCensuses(ids);
            ids.clear();
        }
    });
    if (!check.isValid()) {
        return {{}, std::move(check)};
    }
    return {{std::move(inserted), std::move(completionNames)}, std::move(check)};
}

CommunityImportResult addCommunityTableToMOCFromString(Store &store, std::string_view text,
                                                       const CommunityOptions &options,
                                                       const RecordsAdded &added)
{
    CommunityCounts counts = readCommunityCounts(text, options);
    if (counts.fault) {
        return {{}, std::move(counts.fault)};
    }
    return {addCommunityCountsToMOC(store, std::move(counts), added), std::nullopt};
}

StoreImportResult addCommunityCountsToMOC(Store &store, CommunityCounts counts,
                                          const RecordsAdded &added)
{
    std::vector<NameTable::Number> names(counts.taxonNames.size(), NameTable::none);
    std::vector<CountedTaxon> taxa;
    std::vector<RecordId> inserted = insertAtomically(store, [&](std::vector<RecordId> &ids) {
        for (std::size_t c = 0; c < counts.collectionNames.size(); ++c) {
            const RecordId census = insertNamedCensus(store, counts.collectionNames[c], ids);
            taxa.clear();
            for (const CommunityCell &cell : counts.cells[c]) {
                NameTable::Number &name = names[cell.taxon];
                if (name == NameTable::none) { // interned once, at the taxon's first count
                    name = store.internTaxonName(counts.taxonNames[cell.taxon]);
                }
                taxa.push_back({name, cell.count});
            }
            store.insertCountedTaxa(census, taxa);
            tell(added);
        }
    });
    // Moved, not copied: a table of many rows holds many names.
    return {std::move(inserted), std::move(counts.taxonNames)};
}

StoreImportResult addCommunityGroupToMOC(Store &store, const ImportedCollectionGroup &group)
{
    return {insertCollections(store, group.collections), group.completionNames};
}

} // namespace quorvella
