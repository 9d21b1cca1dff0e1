#pragma once

#include "store/NameTable.h"
#include "store/RecordId.h"
#include "store/Taxon.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvella {

// A taxon as the table holds it, without copying its name: the view stays
// valid until the store changes.
// A new counted taxon of an import: its name as a number of the table's
// interned names, and its abundance.
struct CountedTaxon
{
    NameTable::Number name;
    std::int32_t abundance;
};

struct TaxonView
{
    RecordId id;
    std::optional<std::string_view> taxonName;
    std::optional<std::int32_t> abundance;
    std::optional<RecordId> census;
    bool includeTaxon;
};

inline TaxonView viewOf(const Taxon &taxon)
{
    return {taxon.id,
            taxon.taxonName ? std::optional<std::string_view>(*taxon.taxonName) : std::nullopt,
            taxon.abundance, taxon.census, taxon.includeTaxon};
}

// taxonDisplayLess on views: the species table sorts without copying records.
bool taxonViewDisplayLess(const TaxonView &a, const TaxonView &b);

// The taxa of a Store, held column by column in store order (ascending id):
// about 29 bytes a taxon with its place in its collection's list, names
// interned. A record is addressed by its slot; a deleted record stays in its
// slot, marked dead, until dead slots are the majority and are dropped at
// once (compactIfMostlyDead()), which moves the slots after the first dead
// one. Slots are valid only until the next compaction or insertMany().
class TaxonTable
{
public:
    using Slot = std::uint32_t;

    std::size_t size() const { return ids_.size() - deadCount_; }

    // The living record with this id, if there is one.
    std::optional<Slot> find(RecordId id) const;
    bool contains(RecordId id) const { return find(id).has_value(); }

    RecordId id(Slot slot) const { return ids_[slot]; }
    std::optional<RecordId> census(Slot slot) const
    {
        return censuses_[slot] != 0 ? std::optional(censuses_[slot]) : std::nullopt;
    }
    std::optional<std::int32_t> abundance(Slot slot) const
    {
        return (flags_[slot] & HasAbundance) != 0 ? std::optional(abundances_[slot]) : std::nullopt;
    }
    std::optional<std::string_view> name(Slot slot) const
    {
        return names_[slot] != NameTable::none ? std::optional(nameTable_.text(names_[slot]))
                                               : std::nullopt;
    }
    Taxon record(Slot slot) const;
    TaxonView view(Slot slot) const
    {
        return {ids_[slot], name(slot), abundance(slot), census(slot),
                (flags_[slot] & Included) != 0};
    }
    // Overwrites `taxon` with the record, reusing its name's buffer.
    void read(Slot slot, Taxon &taxon) const;
    bool sameAttributes(Slot slot, const Taxon &taxon) const;

    // Adds a record whose id is above every id held; its census is linked.
    void append(const Taxon &taxon);
    // Adds included taxa of one collection with the ids firstId, firstId + 1,
    // ... (above every id held), in one pass: the import's fast step, which
    // neither builds records nor looks a name up per taxon.
    void appendCounted(RecordId census, RecordId firstId, std::span<const CountedTaxon> taxa);
    // The number of an interned name, interning it if it is new.
    NameTable::Number internName(std::string_view name) { return nameTable_.intern(name); }
    // Room for this many records in all, e.g. before a document is read in.
    void reserve(std::size_t count);
    // Adds records whose ids ascend above every id held, without building a
    // Taxon for each (a document being read). Consecutive records of one
    // collection share one lookup of its list. The table must not change
    // otherwise while an Appender lives.
    class Appender
    {
    public:
        explicit Appender(TaxonTable &table) : table_(table) {}
        void append(const TaxonView &taxon);

    private:
        TaxonTable &table_;
        RecordId lastCensus_ = 0;
        std::vector<Slot> *lastSlots_ = nullptr;
    };
    // Takes every record of `later`, whose ids are all above every id held
    // here (a document read in two halves), its names numbered anew in this
    // table; std::invalid_argument otherwise, and nothing is taken.
    void appendTable(TaxonTable &&later);
    // Adds records with any ids not held by a living record, in one pass (a
    // dead slot of the same id is revived in place).
    void insertMany(const std::vector<Taxon> &taxa);
    void update(Slot slot, const Taxon &taxon);
    // Marks the record dead and takes it out of its collection's list.
    void erase(Slot slot);
    // Drops the slots of dead records when they are the majority.
    void compactIfMostlyDead();

    // Visits the living slots in store order. The visitor must not change the table.
    template <typename Visit> void forEach(Visit visit) const
    {
        forEachIn(0, std::numeric_limits<RecordId>::max(), visit);
    }
    // The same for the records with ids from firstId up to but not including endId.
    template <typename Visit> void forEachIn(RecordId firstId, RecordId endId, Visit visit) const
    {
        for (Slot slot = firstSlotAtOrAbove(firstId); slot < ids_.size() && ids_[slot] < endId;
             ++slot) {
            if ((flags_[slot] & Alive) != 0) {
                visit(slot);
            }
        }
    }
    // Whether some living slot satisfies the test; stops at the first.
    template <typename Test> bool any(Test test) const
    {
        for (Slot slot = 0; slot < ids_.size(); ++slot) {
            if ((flags_[slot] & Alive) != 0 && test(slot)) {
                return true;
            }
        }
        return false;
    }
    // The slots of one collection's taxa in store order (no copy).
    const std::vector<Slot> &slotsOfCensus(RecordId census) const;

    // Heap bytes held, for the memory benchmark.
    std::size_t allocatedBytes() const;

private:
    enum Flag : std::uint8_t { Alive = 1, Included = 2, HasAbundance = 4 };

    std::optional<Slot> findAny(RecordId id) const;
    Slot firstSlotAtOrAbove(RecordId id) const;
    Slot appendSlot(RecordId id);
    void write(Slot slot, const Taxon &taxon);
    void link(Slot slot);
    void truncate(std::size_t size);
    void unlink(Slot slot);
    void rebuildCensusLists();
    void relinkFrom(Slot first, Slot end);
    void sortByIdAndRelink();

    std::vector<RecordId> ids_;
    std::vector<NameTable::Number> names_;
    std::vector<std::int32_t> abundances_;
    std::vector<RecordId> censuses_; // 0: no collection (ids are positive)
    std::vector<std::uint8_t> flags_;
    std::size_t deadCount_ = 0;
    NameTable nameTable_;
    // Living slots of each collection in ascending order; absent when empty.
    std::unordered_map<RecordId, std::vector<Slot>> slotsByCensus_;
};

} // namespace quorvella
