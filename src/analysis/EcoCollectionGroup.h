#pragma once

// All collections of a document for the analyses across collections: the
// sorted list of distinct taxon names, the collections-by-taxa abundance and
// presence-absence matrices, occurrences, summed abundances, Chao-2 and the
// sample-based rarefaction.
//
// Tables are built on demand, each by its own operation; every later step
// builds the earlier tables it needs. The inputs are kept (each distinct name
// once) and never change, so a rebuilt table equals the earlier one.

#include "analysis/Rarefaction.h"
#include "analysis/TaxonEntry.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvella {

// A taxon as the group holds it: its collection's row, the index of its name
// among the group's distinct names, and its abundance (0 when it has none).
struct GroupTaxon
{
    std::uint32_t row;
    std::uint32_t name;
    std::int32_t abundance;
};

// The group's taxa without a copy of each taxon's name: every distinct name
// (exact comparison) is kept once, in order of first appearance. Taxa without
// a name or without a collection take no part in the group and are left out.
class GroupTaxa
{
public:
    explicit GroupTaxa(std::vector<std::optional<std::string>> collectionNames);

    void add(std::optional<std::size_t> collection, std::optional<std::string_view> name,
             std::optional<std::int32_t> abundance)
    {
        if (collection && name && *collection < collectionNames_.size()) {
            taxa_.push_back(
                {static_cast<std::uint32_t>(*collection), nameIndex(*name), abundance.value_or(0)});
        }
    }
    void reserve(std::size_t taxa) { taxa_.reserve(taxa); }
    std::size_t size() const { return taxa_.size(); }

private:
    friend class EcoCollectionGroup;
    std::uint32_t nameIndex(std::string_view name);
    void growNameSlots();
    // The index is only needed while names are added.
    void dropNameIndex()
    {
        nameSlots_ = {};
        nameHashes_ = {};
    }

    std::vector<std::optional<std::string>> collectionNames_;
    std::vector<std::string> names_;
    // The names' index while taxa are added: open addressing, each slot 0
    // (empty) or a name's index + 1, with each name's hash beside it.
    std::vector<std::uint32_t> nameSlots_;
    std::vector<std::size_t> nameHashes_;
    std::vector<GroupTaxon> taxa_;
};

class EcoCollectionGroup
{
public:
    // A group always comes from data: there is no empty constructor.
    EcoCollectionGroup() = delete;

    // taxa: every taxon of the document; a taxon belongs to the group when its
    // collection indexes collectionNames. A collection without a name is listed
    // under an empty name and keeps its row.
    EcoCollectionGroup(const std::vector<TaxonEntry> &taxa,
                       std::vector<std::optional<std::string>> collectionNames);
    explicit EcoCollectionGroup(GroupTaxa taxa);

    // From now on the long steps (the tables, the sample-based curve) look
    // at `cancel` every 65 536 taxa or cells and between collections, and throw
    // ComputationCancelled (analysis/Cancellation.h) once it is set. The
    // group is then left unfinished and should be dropped. Null: never.
    void stopWhenSet(const std::atomic<bool> *cancel) { cancel_ = cancel; }

    // Distinct names of the group's named taxa (exact comparison), sorted
    // without regard to case (compareNamesIgnoringCase), exact bytes breaking ties; and the
    // collection names, one per collection.
    void createTaxonList();
    const std::vector<std::string> &taxonNames() const { return taxonNames_; }
    const std::vector<std::string> &collectionNames() const { return collectionNames_; }
    // Column of a name in taxonNames(), or nothing.
    std::optional<std::size_t> columnOfTaxon(const std::string &name) const;

    // Rows are collections, columns taxon names; taxa of the same name in one
    // collection add up in their cell (saturating at the 32-bit limit), so no
    // specimen is lost. Sets numTaxa() and numCollections(), which are 0
    // before. Held sparse: a row keeps only the cells its taxa give (a
    // community table of 1000 samples by 20 000 taxa, 90 % zeros, takes 16 MB
    // instead of 80 MB).
    void createAbundanceMatrix();
    bool hasAbundanceMatrix() const { return hasAbundanceMatrix_; }
    std::size_t numTaxa() const { return numTaxa_; }
    std::size_t numCollections() const { return numCollections_; }
    // One row in full, zeros included.
    std::vector<std::int32_t> abundanceRow(std::size_t collection) const;
    std::int32_t abundanceAt(std::size_t collection, std::size_t taxon) const;

    // A stored cell of a row: its column and abundance. Cells are in column
    // order, one per column at most; a column without a cell holds 0.
    struct Cell
    {
        std::uint32_t column;
        std::int32_t abundance;
    };
    std::span<const Cell> abundanceCells(std::size_t collection) const;

    // Abundance of each taxon name summed over the group (taxa of one name in
    // one collection add up too), in taxonNames() order. Saturates at the
    // 32-bit limit rather than overflowing.
    const std::vector<std::int32_t> &createSummedAbundanceList();
    const std::vector<std::int32_t> &summedAbundances() const { return summedAbundances_; }

    // 1 where the abundance is above 0, read from the abundance cells. Builds
    // the abundance matrix if missing.
    void makePresenceAbsenceMatrix();
    std::int32_t presenceAt(std::size_t collection, std::size_t taxon) const;

    // Collections each taxon name is present in. Builds what it needs.
    void countCensusOccurrences();
    const std::vector<std::int32_t> &censusOccurrences() const { return censusOccurrences_; }

    // Entry k: taxon names present in exactly k collections, k = 0..m.
    // Filled by chao2().
    const std::vector<std::int32_t> &censusCounts() const { return censusCounts_; }

    // S + (m - 1) / m * Q1^2 / (2 Q2), computed once. Infinity when Q2 = 0 and
    // Q1 > 0; not-a-number when both are 0 and for fewer than two collections.
    float chao2();

    // C(H - k, h) / C(H, h): the chance that h of H collections all miss a
    // taxon found in k of them. Throws std::invalid_argument for negatives.
    static float alphaJHforQuadrats(std::int32_t k, std::int32_t h, std::int32_t H);

    // Expected taxa in h collections drawn from the group (Mao Tau) with its
    // unconditional variance. Throws std::invalid_argument for h < 0.
    Rarefaction sampleBasedRarefactionToSampleSize(std::int32_t h);
    // One point for each h = 1 .. numCollections().
    std::vector<Rarefaction> sampleBasedRarefactionCurve();

private:
    void ensureTaxonList();
    void ensureAbundanceMatrix();
    void ensurePresenceAbsence();
    void mergeSameColumns();
    float chao2Estimate() const;
    std::int32_t taxaInExactly(std::size_t k) const;
    void checkCell(std::size_t collection, std::size_t taxon, const char *what) const;

    GroupTaxa taxa_;
    const std::atomic<bool> *cancel_ = nullptr;

    bool hasTaxonList_ = false;
    std::vector<std::string> taxonNames_;
    std::vector<std::string> collectionNames_;
    // Each distinct name's column, by its index in taxa_; every taxon's
    // column is read from here, never looked up by its name.
    std::vector<std::uint32_t> columnOfName_;
    std::unordered_map<std::string, std::size_t> columnByName_;

    bool hasAbundanceMatrix_ = false;
    std::size_t numTaxa_ = 0;
    std::size_t numCollections_ = 0;
    // Compressed sparse rows: the cells of row c are cells_[rowStart_[c] ..
    // rowStart_[c + 1]), in column order.
    std::vector<std::size_t> rowStart_;
    std::vector<Cell> cells_;
    bool hasPresenceAbsence_ = false;

    std::vector<std::int32_t> censusOccurrences_;
    std::vector<std::int32_t> censusCounts_;
    std::vector<std::size_t> occupiedCounts_; // the k >= 1 with Q_k > 0, ascending
    std::vector<std::int32_t> summedAbundances_;
    std::optional<float> chao2_;
};

} // namespace quorvella
