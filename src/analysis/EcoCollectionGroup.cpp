#include "analysis/EcoCollectionGroup.h"

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

void checkNotNegative(std::int64_t value, const char *what)
{
    if (value < 0) {
        throw std::invalid_argument(std::string("The number of ") + what +
                                    " must be 0 or more; it is " + std::to_string(value) + ".");
    }
}

} // namespace

EcoCollectionGroup::EcoCollectionGroup(std::vector<TaxonEntry> taxa,
                                       std::vector<std::optional<std::string>> collectionNames)
    : taxa_(std::move(taxa)), censusNames_(std::move(collectionNames))
{}

std::optional<std::size_t> EcoCollectionGroup::rowOf(const TaxonEntry &taxon) const
{
    if (taxon.collection && *taxon.collection < censusNames_.size()) {
        return *taxon.collection;
    }
    return std::nullopt;
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
    for (const std::optional<std::string> &name : censusNames_) {
        collectionNames_.push_back(name.value_or(std::string()));
    }

    columnByName_.clear();
    taxonNames_.clear();
    for (const TaxonEntry &taxon : taxa_) {
        if (rowOf(taxon) && taxon.name && columnByName_.emplace(*taxon.name, 0).second) {
            taxonNames_.push_back(*taxon.name);
        }
    }
    std::sort(taxonNames_.begin(), taxonNames_.end(), precedesIgnoringCase);
    for (std::size_t column = 0; column < taxonNames_.size(); ++column) {
        columnByName_[taxonNames_[column]] = column;
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
    numCollections_ = censusNames_.size();
    collectionNames_.clear();
    for (const std::optional<std::string> &name : censusNames_) {
        collectionNames_.push_back(name.value_or(std::string()));
    }

    abundanceMatrix_.assign(numCollections_ * numTaxa_, 0);
    for (const TaxonEntry &taxon : taxa_) {
        const std::optional<std::size_t> row = rowOf(taxon);
        if (!row || !taxon.name) {
            continue;
        }
        if (const std::optional<std::size_t> column = columnOfTaxon(*taxon.name)) {
            std::int32_t &cell = abundanceMatrix_[*row * numTaxa_ + *column];
            cell = saturatingAdd(cell, taxon.abundance.value_or(0));
        }
    }
    hasAbundanceMatrix_ = true;
}

void EcoCollectionGroup::ensureAbundanceMatrix()
{
    if (!hasAbundanceMatrix_) {
        createAbundanceMatrix();
    }
}

std::span<const std::int32_t> EcoCollectionGroup::abundanceRow(std::size_t collection) const
{
    if (!hasAbundanceMatrix_ || collection >= numCollections_) {
        throw std::out_of_range("No abundance row " + std::to_string(collection) + ".");
    }
    return std::span<const std::int32_t>(abundanceMatrix_).subspan(collection * numTaxa_, numTaxa_);
}

std::int32_t EcoCollectionGroup::abundanceAt(std::size_t collection, std::size_t taxon) const
{
    if (taxon >= numTaxa_) {
        throw std::out_of_range("No abundance column " + std::to_string(taxon) + ".");
    }
    return abundanceRow(collection)[taxon];
}

const std::vector<std::int32_t> &EcoCollectionGroup::createSummedAbundanceList()
{
    ensureTaxonList();
    summedAbundances_.assign(taxonNames_.size(), 0);
    for (const TaxonEntry &taxon : taxa_) {
        if (!rowOf(taxon) || !taxon.name) {
            continue;
        }
        if (const std::optional<std::size_t> column = columnOfTaxon(*taxon.name)) {
            std::int32_t &sum = summedAbundances_[*column];
            sum = saturatingAdd(sum, taxon.abundance.value_or(0));
        }
    }
    return summedAbundances_;
}

void EcoCollectionGroup::makePresenceAbsenceMatrix()
{
    ensureAbundanceMatrix();
    presenceAbsence_.resize(abundanceMatrix_.size());
    std::transform(abundanceMatrix_.begin(), abundanceMatrix_.end(), presenceAbsence_.begin(),
                   [](std::int32_t abundance) { return std::uint8_t{abundance > 0}; });
    hasPresenceAbsence_ = true;
}

void EcoCollectionGroup::ensurePresenceAbsence()
{
    if (!hasPresenceAbsence_) {
        makePresenceAbsenceMatrix();
    }
}

std::int32_t EcoCollectionGroup::presenceAt(std::size_t collection, std::size_t taxon) const
{
    if (!hasPresenceAbsence_ || collection >= numCollections_ || taxon >= numTaxa_) {
        throw std::out_of_range("No presence-absence cell.");
    }
    return presenceAbsence_[collection * numTaxa_ + taxon];
}

void EcoCollectionGroup::countCensusOccurrences()
{
    ensurePresenceAbsence();
    censusOccurrences_.assign(numTaxa_, 0);
    for (std::size_t row = 0; row < numCollections_; ++row) {
        const std::uint8_t *cells = presenceAbsence_.data() + row * numTaxa_;
        for (std::size_t column = 0; column < numTaxa_; ++column) {
            censusOccurrences_[column] += cells[column];
        }
    }
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
        curve.push_back(sampleBasedRarefactionToSampleSize(static_cast<std::int32_t>(h)));
    }
    return curve;
}

} // namespace quorvella
