#include "store/TaxonTable.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <string>

namespace quorvella {
namespace {

template <typename Column> void permute(Column &column, const std::vector<TaxonTable::Slot> &order)
{
    Column sorted;
    sorted.reserve(order.size());
    for (const TaxonTable::Slot slot : order) {
        sorted.push_back(column[slot]);
    }
    column = std::move(sorted);
}

} // namespace

std::optional<TaxonTable::Slot> TaxonTable::findAny(RecordId id) const
{
    if (ids_.empty() || id > ids_.back()) { // the common case of loading and importing
        return std::nullopt;
    }
    const auto at = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (at == ids_.end() || *at != id) {
        return std::nullopt;
    }
    return static_cast<Slot>(at - ids_.begin());
}

TaxonTable::Slot TaxonTable::firstSlotAtOrAbove(RecordId id) const
{
    return static_cast<Slot>(std::lower_bound(ids_.begin(), ids_.end(), id) - ids_.begin());
}

std::optional<TaxonTable::Slot> TaxonTable::find(RecordId id) const
{
    const std::optional<Slot> slot = findAny(id);
    return slot && (flags_[*slot] & Alive) != 0 ? slot : std::nullopt;
}

Taxon TaxonTable::record(Slot slot) const
{
    Taxon taxon;
    read(slot, taxon);
    return taxon;
}

void TaxonTable::read(Slot slot, Taxon &taxon) const
{
    taxon.id = ids_[slot];
    if (const std::optional<std::string_view> text = name(slot)) {
        if (taxon.taxonName) {
            taxon.taxonName->assign(*text);
        } else {
            taxon.taxonName.emplace(*text);
        }
    } else {
        taxon.taxonName.reset();
    }
    taxon.abundance = abundance(slot);
    taxon.census = census(slot);
    taxon.includeTaxon = (flags_[slot] & Included) != 0;
}

bool TaxonTable::sameAttributes(Slot slot, const Taxon &taxon) const
{
    const std::optional<std::string_view> text = name(slot);
    const bool sameName = text.has_value() == taxon.taxonName.has_value() &&
                          (!text || *text == std::string_view(*taxon.taxonName));
    return sameName && abundance(slot) == taxon.abundance && census(slot) == taxon.census &&
           ((flags_[slot] & Included) != 0) == taxon.includeTaxon;
}

void TaxonTable::write(Slot slot, const Taxon &taxon)
{
    names_[slot] = taxon.taxonName ? nameTable_.intern(*taxon.taxonName) : NameTable::none;
    abundances_[slot] = taxon.abundance.value_or(0);
    censuses_[slot] = taxon.census.value_or(0);
    flags_[slot] = static_cast<std::uint8_t>(Alive | (taxon.includeTaxon ? Included : 0) |
                                             (taxon.abundance ? HasAbundance : 0));
}

TaxonTable::Slot TaxonTable::appendSlot(RecordId id)
{
    if (ids_.size() >= std::numeric_limits<Slot>::max()) {
        throw std::length_error("a document holds at most 4 294 967 295 taxa");
    }
    const auto slot = static_cast<Slot>(ids_.size());
    try {
        ids_.push_back(id);
        names_.push_back(NameTable::none);
        abundances_.push_back(0);
        censuses_.push_back(0);
        flags_.push_back(0);
    } catch (...) { // out of memory: the columns go back to their common length
        truncate(slot);
        throw;
    }
    return slot;
}

void TaxonTable::append(const Taxon &taxon)
{
    const Slot slot = appendSlot(taxon.id);
    write(slot, taxon);
    link(slot);
}

void TaxonTable::appendCounted(RecordId census, RecordId firstId,
                               std::span<const CountedTaxon> taxa)
{
    const std::size_t first = ids_.size();
    if (taxa.empty()) {
        return;
    }
    if (taxa.size() >= std::numeric_limits<Slot>::max() - first) {
        throw std::length_error("a document holds at most 4 294 967 295 taxa");
    }
    try {
        for (std::size_t i = 0; i < taxa.size(); ++i) {
            ids_.push_back(firstId + static_cast<RecordId>(i));
            names_.push_back(taxa[i].name);
            abundances_.push_back(taxa[i].abundance);
            censuses_.push_back(census);
            flags_.push_back(Alive | Included | HasAbundance);
        }
        std::vector<Slot> &slots = slotsByCensus_[census];
        for (std::size_t slot = first; slot < ids_.size(); ++slot) {
            slots.push_back(static_cast<Slot>(slot));
        }
    } catch (...) { // out of memory: the columns go back to their common length
        truncate(first);
        throw;
    }
}

void TaxonTable::truncate(std::size_t size)
{
    ids_.resize(std::min(ids_.size(), size));
    names_.resize(std::min(names_.size(), size));
    abundances_.resize(std::min(abundances_.size(), size));
    censuses_.resize(std::min(censuses_.size(), size));
    flags_.resize(std::min(flags_.size(), size));
    for (auto &[census, slots] : slotsByCensus_) {
        while (!slots.empty() && slots.back() >= size) {
            slots.pop_back();
        }
    }
    std::erase_if(slotsByCensus_, [](const auto &entry) { return entry.second.empty(); });
}

void TaxonTable::reserve(std::size_t count)
{
    ids_.reserve(count);
    names_.reserve(count);
    abundances_.reserve(count);
    censuses_.reserve(count);
    flags_.reserve(count);
}

void TaxonTable::Appender::append(const TaxonView &taxon)
{
    if (!table_.ids_.empty() && taxon.id <= table_.ids_.back()) {
        throw std::invalid_argument("taxon " + std::to_string(taxon.id) +
                                    " does not follow every id held");
    }
    const NameTable::Number name =
        taxon.taxonName ? table_.nameTable_.intern(*taxon.taxonName) : NameTable::none;
    const Slot slot = table_.appendSlot(taxon.id);
    table_.names_[slot] = name;
    table_.abundances_[slot] = taxon.abundance.value_or(0);
    const RecordId census = taxon.census.value_or(0);
    table_.censuses_[slot] = census;
    table_.flags_[slot] = static_cast<std::uint8_t>(Alive | (taxon.includeTaxon ? Included : 0) |
                                                    (taxon.abundance ? HasAbundance : 0));
    if (census == 0) {
        return;
    }
    if (census != lastCensus_) { // map nodes stay put, so the pointer stays valid
        lastSlots_ = &table_.slotsByCensus_[census];
        lastCensus_ = census;
    }
    lastSlots_->push_back(slot); // slots ascend, so the list stays sorted
}

void TaxonTable::appendTable(TaxonTable &&later)
{
    if (later.ids_.empty()) {
        return;
    }
    if (!ids_.empty() && later.ids_.front() <= ids_.back()) {
        throw std::invalid_argument("taxon " + std::to_string(later.ids_.front()) +
                                    " does not follow every id held");
    }
    if (later.ids_.size() >= std::numeric_limits<Slot>::max() - ids_.size()) {
        throw std::length_error("a document holds at most 4 294 967 295 taxa");
    }
    std::vector<NameTable::Number> renumbered(later.nameTable_.size() + 1, NameTable::none);
    for (NameTable::Number name = 1; name < renumbered.size(); ++name) {
        renumbered[name] = nameTable_.intern(later.nameTable_.text(name));
    }
    const std::size_t first = ids_.size();
    try {
        ids_.insert(ids_.end(), later.ids_.begin(), later.ids_.end());
        names_.reserve(ids_.size());
        for (const NameTable::Number name : later.names_) {
            names_.push_back(renumbered[name]);
        }
        abundances_.insert(abundances_.end(), later.abundances_.begin(), later.abundances_.end());
        censuses_.insert(censuses_.end(), later.censuses_.begin(), later.censuses_.end());
        flags_.insert(flags_.end(), later.flags_.begin(), later.flags_.end());
        for (const auto &[census, slots] : later.slotsByCensus_) {
            std::vector<Slot> &mine = slotsByCensus_[census]; // its slots follow any held
            for (const Slot slot : slots) {
                mine.push_back(static_cast<Slot>(first + slot));
            }
        }
    } catch (...) { // out of memory: the columns go back to their common length
        truncate(first);
        throw;
    }
    deadCount_ += later.deadCount_;
    later = TaxonTable();
}

void TaxonTable::insertMany(const std::vector<Taxon> &taxa)
{
    const std::size_t oldSize = ids_.size();
    bool ordered = true;
    std::vector<RecordId> touched;
    for (const Taxon &taxon : taxa) {
        // Only an id below the old end can have a dead slot to come back to
        // (indexes, not iterators: appending moves the column).
        const auto oldEnd = ids_.begin() + static_cast<std::ptrdiff_t>(oldSize);
        const auto old = oldSize > 0 && taxon.id <= ids_[oldSize - 1]
                             ? std::lower_bound(ids_.begin(), oldEnd, taxon.id)
                             : oldEnd;
        if (old != oldEnd && *old == taxon.id) {
            const auto slot = static_cast<Slot>(old - ids_.begin());
            write(slot, taxon);
            --deadCount_;
            slotsByCensus_[censuses_[slot]].push_back(slot);
            touched.push_back(censuses_[slot]);
            continue;
        }
        ordered = ordered && (ids_.empty() || taxon.id > ids_.back());
        append(taxon);
    }
    if (!ordered) {
        sortByIdAndRelink();
        return;
    }
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (const RecordId census : touched) {
        std::vector<Slot> &slots = slotsByCensus_[census];
        std::sort(slots.begin(), slots.end());
    }
    slotsByCensus_.erase(0); // orphans are in no list
}

void TaxonTable::update(Slot slot, const Taxon &taxon)
{
    const bool moves = census(slot) != taxon.census;
    if (moves) {
        unlink(slot);
    }
    write(slot, taxon);
    if (moves) {
        link(slot);
    }
}

void TaxonTable::erase(Slot slot)
{
    unlink(slot);
    flags_[slot] = 0;
    ++deadCount_;
}

void TaxonTable::link(Slot slot)
{
    if (censuses_[slot] == 0) {
        return;
    }
    std::vector<Slot> &slots = slotsByCensus_[censuses_[slot]];
    if (slots.empty() || slots.back() < slot) {
        slots.push_back(slot);
    } else {
        slots.insert(std::lower_bound(slots.begin(), slots.end(), slot), slot);
    }
}

void TaxonTable::unlink(Slot slot)
{
    const auto found = slotsByCensus_.find(censuses_[slot]);
    if (found == slotsByCensus_.end()) {
        return;
    }
    std::vector<Slot> &slots = found->second;
    if (!slots.empty() && slots.back() == slot) { // a collection deleted from its end
        slots.pop_back();
    } else if (const auto at = std::lower_bound(slots.begin(), slots.end(), slot);
               at != slots.end() && *at == slot) {
        slots.erase(at);
    }
    if (slots.empty()) {
        slotsByCensus_.erase(found);
    }
}

void TaxonTable::compactIfMostlyDead()
{
    if (deadCount_ <= 64 || deadCount_ * 2 <= ids_.size()) {
        return;
    }
    // Slots before the first dead one keep their places; the living ones
    // after it move down in order. Undoing an import deletes from the end,
    // so nothing moves at all there.
    const auto firstDead =
        static_cast<Slot>(std::find_if(flags_.begin(), flags_.end(),
                                       [](std::uint8_t flags) { return (flags & Alive) == 0; }) -
                          flags_.begin());
    Slot kept = firstDead;
    for (std::size_t slot = firstDead; slot < ids_.size(); ++slot) {
        if ((flags_[slot] & Alive) != 0) {
            ids_[kept] = ids_[slot];
            names_[kept] = names_[slot];
            abundances_[kept] = abundances_[slot];
            censuses_[kept] = censuses_[slot];
            flags_[kept] = flags_[slot];
            ++kept;
        }
    }
    if (kept > firstDead) {
        relinkFrom(firstDead, kept);
    }
    truncate(kept);
    deadCount_ = 0;
}

void TaxonTable::relinkFrom(Slot first, Slot end)
{
    // Each list holds living slots only: its entries from `first` on are
    // the moved slots, which are linked again at their new places.
    for (auto &[census, slots] : slotsByCensus_) {
        slots.erase(std::lower_bound(slots.begin(), slots.end(), first), slots.end());
    }
    RecordId lastCensus = 0;
    std::vector<Slot> *lastSlots = nullptr;
    for (Slot slot = first; slot < end; ++slot) {
        if (censuses_[slot] != lastCensus || lastSlots == nullptr) {
            lastCensus = censuses_[slot];
            lastSlots = &slotsByCensus_[lastCensus];
        }
        lastSlots->push_back(slot);
    }
    slotsByCensus_.erase(0); // orphans are in no list
}

void TaxonTable::sortByIdAndRelink()
{
    std::vector<Slot> order(ids_.size());
    std::iota(order.begin(), order.end(), Slot{0});
    std::sort(order.begin(), order.end(), [&](Slot a, Slot b) { return ids_[a] < ids_[b]; });
    permute(ids_, order);
    permute(names_, order);
    permute(abundances_, order);
    permute(censuses_, order);
    permute(flags_, order);
    rebuildCensusLists();
}

void TaxonTable::rebuildCensusLists()
{
    slotsByCensus_.clear();
    forEach([&](Slot slot) { link(slot); });
}

const std::vector<TaxonTable::Slot> &TaxonTable::slotsOfCensus(RecordId census) const
{
    static const std::vector<Slot> none;
    const auto found = slotsByCensus_.find(census);
    return found == slotsByCensus_.end() ? none : found->second;
}

std::size_t TaxonTable::allocatedBytes() const
{
    std::size_t bytes =
        ids_.capacity() * sizeof(RecordId) + names_.capacity() * sizeof(NameTable::Number) +
        abundances_.capacity() * sizeof(std::int32_t) + censuses_.capacity() * sizeof(RecordId) +
        flags_.capacity() + nameTable_.allocatedBytes();
    // A node of the map: the key, the vector, the link and the allocator's header.
    bytes += slotsByCensus_.bucket_count() * sizeof(void *);
    for (const auto &[census, slots] : slotsByCensus_) {
        bytes += 64 + slots.capacity() * sizeof(Slot);
    }
    return bytes;
}

} // namespace quorvella
