#pragma once

#include "store/RecordId.h"

#include <cstddef>
#include <limits>
#include <span>
#include <vector>

namespace quorvella {

// A set of record ids kept in ascending order (the store order), built for
// the store's common cases: appending a new id is O(1), erasing and reviving
// one is O(log n), iterating is a walk over one array. An erased id stays in
// place marked dead until dead ids are the majority and are dropped at once,
// so deleting and restoring many records never shifts the array per record.
class IdOrder
{
public:
    void insert(RecordId id);
    // Inserts many ids at once: O(n log n) however they interleave.
    void insertMany(std::span<const RecordId> ids);
    void erase(RecordId id);

    std::size_t size() const { return slots_.size() - deadCount_; }
    bool empty() const { return size() == 0; }

    template <typename Visit> void forEach(Visit visit) const
    {
        forEachIn(0, std::numeric_limits<RecordId>::max(), visit);
    }
    // The same for the ids from firstId up to but not including endId.
    template <typename Visit> void forEachIn(RecordId firstId, RecordId endId, Visit visit) const
    {
        for (std::size_t at = firstAtOrAbove(firstId); at < slots_.size() && slots_[at].id < endId;
             ++at) {
            if (slots_[at].alive) {
                visit(slots_[at].id);
            }
        }
    }

private:
    struct Slot
    {
        RecordId id;
        bool alive;
    };

    std::size_t firstAtOrAbove(RecordId id) const;
    // The slot holding `id` among the first `end` slots, or nullptr.
    Slot *find(RecordId id, std::size_t end);
    void compactIfMostlyDead();

    std::vector<Slot> slots_;
    std::size_t deadCount_ = 0;
};

} // namespace quorvella
