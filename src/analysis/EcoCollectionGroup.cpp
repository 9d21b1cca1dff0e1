#include "analysis/EcoCollectionGroup.h"

#include "analysis/Cancellation.h"
#include "analysis/LogFactorial.h"
#include "analysis/NameOrder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace quorvella {
namespace {

// Ascending without regard to case; names equal that way keep a fixed order
// by their exact bytes, so the list never depends on input order.
bool precedesIgnoringCase(std::string_view a, std::string_view b)
{
    const int order = compareNamesIgnoringCase(a, b);
    return order != 0 ? order < 0 : a < b;
}

std::int32_t saturatingAdd(std::int32_t total, std::int32_t value)
{
    const std::int64_t sum = std::int64_t{total} + value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// alpha(k, h) from the table, which must cover H.
float alphaFromTable(const double *logfact, std::int64_t k, std::int64_t h, std::int64_t H)
{
    if (k + h > H) {
        return 0.0f;
    }
    const double x = logfact[H - h] + logfact[H - k] - logfact[H - h - k] - logfact[H];
    return static_cast<float>(std::exp(x));
}

// Calls visit on each item, looking at the cancel flag every 65 536 items
// (well under a millisecond of these loops).
template <typename Items, typename Visit>
void visitStoppably(const Items &items, const std::atomic<bool> *cancel, Visit visit)
{
    std::size_t untilLook = 0;
    for (const auto &item : items) {
        if (untilLook-- == 0) {
            stopIfCancelled(cancel);
            untilLook = 0xFFFF;
        }
        visit(item);
    }
}

void checkNotNegative(std::int64_t value, const char *what)
{
    if (value < 0) {
        throw std::invalid_argument(std::string("The number of ") + what +
                                    " must be 0 or more; it is " + std::to_string(value) + ".");
    }
}

} // namespace

GroupTaxa::GroupTaxa(std::vector<std::optional<std::string>> collectionNames)
    : collectionNames_(std::move(collectionNames))
{}

std::uint32_t GroupTaxa::nameIndex(std::string_view name)
{
    if (2 * (names_.size() + 1) > nameSlots_.size()) {
        growNameSlots();
    }
    const std::size_t hash = std::hash<std::string_view>{}(name);
    const std::size_t mask = nameSlots_.size() - 1;
    std::size_t at = hash & mask;
    for (; nameSlots_[at] != 0; at = (at + 1) & mask) {
        const std::uint32_t index = nameSlots_[at] - 1;
        if (nameHashes_[index] == hash && names_[index] == name) {
            return index;
        }
    }
    const auto index = static_cast<std::uint32_t>(names_.size());
    names_.emplace_back(name);
    nameHashes_.push_back(hash);
    nameSlots_[at] = index + 1;
    return index;
}

void GroupTaxa::growNameSlots()
{
    nameSlots_.assign(std::max<std::size_t>(1024, 2 * nameSlots_.size()), 0);
    const std::size_t mask = nameSlots_.size() - 1;
    for (std::uint32_t index = 0; index < names_.size(); ++index) {
        std::size_t at = nameHashes_[index] & mask;
        while (nameSlots_[at] != 0) {
            at = (at + 1) & mask;
        }
        nameSlots_[at] = index + 1;
    }
}

EcoCollectionGroup::EcoCollectionGroup(const std::vector<TaxonEntry> &taxa,
                                       std::vector<std::optional<std::string>> collectionNames)
    : taxa_(std::move(collectionNames))
{
    taxa_.reserve(taxa.size());
    for (const TaxonEntry &taxon : taxa) {
        taxa_.add(taxon.collection, taxon.name, taxon.abundance);
    }
    taxa_.dropNameIndex();
}

EcoCollectionGroup::EcoCollectionGroup(GroupTaxa taxa) : taxa_(std::move(taxa))
{
    taxa_.dropNameIndex();
}

std::optional<std::size_t> EcoCollectionGroup::columnOfTaxon(const std::string &name) const
{
    const auto found = columnByName_.find(name);
    if (found == columnByName_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void EcoCollectionGroup::createTaxonList()
{
    collectionNames_.clear();
    for (const std::optional<std::string> &name : taxa_.collectionNames_) {
        collectionNames_.push_back(name.value_or(std::string()));
    }

    // Sorting the distinct names' indexes gives each name its column.
    const std::vector<std::string> &names = taxa_.names_;
    std::vector<std::uint32_t> order(names.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&names](std::uint32_t a, std::uint32_t b) {
        return precedesIgnoringCase(names[a], names[b]);
    });
    taxonNames_.clear();
    columnByName_.clear();
    columnOfName_.assign(names.size(), 0);
    for (std::size_t column = 0; column < order.size(); ++column) {
        taxonNames_.push_back(names[order[column]]);
        columnOfName_[order[column]] = static_cast<std::uint32_t>(column);
        columnByName_.emplace(taxonNames_.back(), column);
    }
    hasTaxonList_ = true;
}

void EcoCollectionGroup::ensureTaxonList()
{
    if (!hasTaxonList_) {
        createTaxonList();
    }
}

void EcoCollectionGroup::createAbundanceMatrix()
{
    ensureTaxonList();
    numTaxa_ = taxonNames_.size();
    numCollections_ = taxa_.collectionNames_.size();

    // Each taxon gives one cell, placed by counting sort on its row.
    rowStart_.assign(numCollections_ + 1, 0);
    visitStoppably(taxa_.taxa_, cancel_,
                   [this](const GroupTaxon &taxon) { ++rowStart_[taxon.row + 1]; });
    for (std::size_t row = 0; row < numCollections_; ++row) {
        rowStart_[row + 1] += rowStart_[row];
    }
    cells_.resize(taxa_.taxa_.size());
    std::vector<std::size_t> next(rowStart_.begin(), rowStart_.end() - 1);
    visitStoppably(taxa_.taxa_, cancel_, [&](const GroupTaxon &taxon) {
        cells_[next[taxon.row]++] = {columnOfName_[taxon.name], taxon.abundance};
    });
    mergeSameColumns();
    hasAbundanceMatrix_ = true;
}

// Sorts each row by column and adds up the cells of one column (taxa of the
// same name in one collection), compacting the rows in place.
void EcoCollectionGroup::mergeSameColumns()
{
    std::size_t out = 0;
    std::size_t begin = 0;
    for (std::size_t row = 0; row < numCollections_; ++row) {
        stopIfCancelled(cancel_);
        const std::size_t end = rowStart_[row + 1];
        std::sort(cells_.begin() + static_cast<std::ptrdiff_t>(begin),
                  cells_.begin() + static_cast<std::ptrdiff_t>(end),
                  [](const Cell &a, const Cell &b) { return a.column < b.column; });
        rowStart_[row] = out;
        for (std::size_t i = begin; i < end; ++i) {
            if (out > rowStart_[row] && cells_[out - 1].column == cells_[i].column) {
                cells_[out - 1].abundance =
                    saturatingAdd(cells_[out - 1].abundance, cells_[i].abundance);
            } else {
                cells_[out++] = cells_[i];
            }
        }
        begin = end;
    }
    rowStart_[numCollections_] = out;
    cells_.resize(out);
    cells_.shrink_to_fit();
}

void EcoCollectionGroup::ensureAbundanceMatrix()
{
    if (!hasAbundanceMatrix_) {
        createAbundanceMatrix();
    }
}

void EcoCollectionGroup::checkCell(std::size_t collection, std::size_t taxon,
                                   const char *what) const
{
    if (!hasAbundanceMatrix_ || collection >= numCollections_) {
        throw std::out_of_range(std::string("No ") + what + " row " + std::to_string(collection) +
                                ".");
    }
    if (taxon >= numTaxa_) {
        throw std::out_of_range(std::string("No ") + what + " column " + std::to_string(taxon) +
                                ".");
    }
}

std::span<const EcoCollectionGroup::Cell>
EcoCollectionGroup::abundanceCells(std::size_t collection) const
{
    if (!hasAbundanceMatrix_ || collection >= numCollections_) {
        throw std::out_of_range("No abundance row " + std::to_string(collection) + ".");
    }
    return std::span<const Cell>(cells_).subspan(rowStart_[collection],
                                                 rowStart_[collection + 1] - rowStart_[collection]);
}

std::vector<std::int32_t> EcoCollectionGroup::abundanceRow(std::size_t collection) const
{
    std::vector<std::int32_t> row(numTaxa_, 0);
    for (const Cell &cell : abundanceCells(collection)) {
        row[cell.column] = cell.abundance;
    }
    return row;
}

std::int32_t EcoCollectionGroup::abundanceAt(std::size_t collection, std::size_t taxon) const
{
    checkCell(collection, taxon, "abundance");
    const std::span<const Cell> cells = abundanceCells(collection);
    const auto found =
        std::lower_bound(cells.begin(), cells.end(), taxon,
                         [](const Cell &cell, std::size_t column) { return cell.column < column; });
    return found != cells.end() && found->column == taxon ? found->abundance : 0;
}

const std::vector<std::int32_t> &EcoCollectionGroup::createSummedAbundanceList()
{
    ensureTaxonList();
    summedAbundances_.assign(taxonNames_.size(), 0);
    visitStoppably(taxa_.taxa_, cancel_, [this](const GroupTaxon &taxon) {
        std::int32_t &sum = summedAbundances_[columnOfName_[taxon.name]];
        sum = saturatingAdd(sum, taxon.abundance);
    });
    return summedAbundances_;
}

void EcoCollectionGroup::makePresenceAbsenceMatrix()
{
    ensureAbundanceMatrix();
    hasPresenceAbsence_ = true; // read from the abundance cells
}

void EcoCollectionGroup::ensurePresenceAbsence()
{
    if (!hasPresenceAbsence_) {
        makePresenceAbsenceMatrix();
    }
}

std::int32_t EcoCollectionGroup::presenceAt(std::size_t collection, std::size_t taxon) const
{
    if (!hasPresenceAbsence_) {
        throw std::out_of_range("No presence-absence cell.");
    }
    checkCell(collection, taxon, "presence-absence");
    return abundanceAt(collection, taxon) > 0 ? 1 : 0;
}

void EcoCollectionGroup::countCensusOccurrences()
{
    ensurePresenceAbsence();
    censusOccurrences_.assign(numTaxa_, 0);
    visitStoppably(cells_, cancel_, [this](const Cell &cell) {
        censusOccurrences_[cell.column] += cell.abundance > 0 ? 1 : 0;
    });
}

std::int32_t EcoCollectionGroup::taxaInExactly(std::size_t k) const
{
    return k < censusCounts_.size() ? censusCounts_[k] : 0;
}

float EcoCollectionGroup::chao2Estimate() const
{
    const auto m = static_cast<std::int64_t>(numCollections_);
    const auto uniques = static_cast<float>(taxaInExactly(1));
    const auto duplicates = static_cast<float>(taxaInExactly(2));
    const float a = uniques * static_cast<float>(m - 1);
    const float b = a * uniques;
    const float d = duplicates * static_cast<float>(2 * m);
    return b / d + static_cast<float>(numTaxa_);
}

float EcoCollectionGroup::chao2()
{
    if (chao2_) {
        return *chao2_;
    }
    ensureAbundanceMatrix();
    makePresenceAbsenceMatrix();
    countCensusOccurrences();
    censusCounts_.assign(numCollections_ + 1, 0);
    for (std::int32_t occurrences : censusOccurrences_) {
        ++censusCounts_[static_cast<std::size_t>(occurrences)];
    }
    // Only these k enter the rarefaction sums: a curve point then costs one
    // exponential per distinct occurrence count, not one per collection.
    occupiedCounts_.clear();
    for (std::size_t k = 1; k < censusCounts_.size(); ++k) {
        if (censusCounts_[k] > 0) {
            occupiedCounts_.push_back(k);
        }
    }
    chao2_ = chao2Estimate();
    return *chao2_;
}

float EcoCollectionGroup::alphaJHforQuadrats(std::int32_t k, std::int32_t h, std::int32_t H)
{
    checkNotNegative(k, "collections holding a taxon");
    checkNotNegative(h, "collections drawn");
    checkNotNegative(H, "collections");
    ensureLogFactorialCovers(H);
    return alphaFromTable(logFactorialTable().data(), k, h, H);
}

Rarefaction EcoCollectionGroup::sampleBasedRarefactionToSampleSize(std::int32_t h)
{
    checkNotNegative(h, "collections drawn");
    const float estimate = chao2();
    const auto m = static_cast<std::int64_t>(numCollections_);
    ensureLogFactorialCovers(m);
    const double *logfact = logFactorialTable().data();

    float expected = 0.0f;
    float squares = 0.0f;
    for (std::size_t k : occupiedCounts_) { // the k with Q_k = 0 add exactly zero
        const float missed = 1.0f - alphaFromTable(logfact, static_cast<std::int64_t>(k), h, m);
        const auto q = static_cast<float>(censusCounts_[k]);
        expected += q * missed;
        squares += q * (missed * missed);
    }
    float variance = squares - (expected * expected) / estimate;
    if (variance < 0.0f) {
        variance = 0.0f; // rounding only; keeps the bands numbers (NaN stays NaN)
    }

    Rarefaction point;
    point.theSampleSize = h;
    point.theE = expected;
    point.theVar = variance;
    const double sd = std::sqrt(point.theVar);
    point.upper95 = point.theE + 1.96 * sd;
    point.lower95 = point.theE - 1.96 * sd;
    point.upper99 = point.theE + 2.58 * sd;
    point.lower99 = point.theE - 2.58 * sd;
    return point;
}

std::vector<Rarefaction> EcoCollectionGroup::sampleBasedRarefactionCurve()
{
    ensureAbundanceMatrix();
    std::vector<Rarefaction> curve;
    curve.reserve(numCollections_);
    for (std::size_t h = 1; h <= numCollections_; ++h) {
        stopIfCancelled(cancel_);
        curve.push_back(sampleBasedRarefactionToSampleSize(static_cast<std::int32_t>(h)));
    }
    return curve;
}

} // namespace quorvella
