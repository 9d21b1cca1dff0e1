#include "store/IdOrder.h"

#include <algorithm>

namespace quorvella {

std::size_t IdOrder::firstAtOrAbove(RecordId id) const
{
    const auto at =
        std::lower_bound(slots_.begin(), slots_.end(), id,
                         [](const Slot &slot, RecordId value) { return slot.id < value; });
    return static_cast<std::size_t>(at - slots_.begin());
}

IdOrder::Slot *IdOrder::find(RecordId id, std::size_t end)
{
    const auto last = slots_.begin() + static_cast<std::ptrdiff_t>(end);
    const auto at = std::lower_bound(
        slots_.begin(), last, id, [](const Slot &slot, RecordId value) { return slot.id < value; });
    return at != last && at->id == id ? &*at : nullptr;
}

void IdOrder::insert(RecordId id)
{
    insertMany(std::span(&id, 1));
}

void IdOrder::insertMany(std::span<const RecordId> ids)
{
    const std::size_t oldSize = slots_.size();
    for (const RecordId id : ids) {
        if (oldSize > 0 && id <= slots_[oldSize - 1].id) {
            if (Slot *slot = find(id, oldSize)) { // erased before, still in place
                if (!slot->alive) {
                    slot->alive = true;
                    --deadCount_;
                }
                continue;
            }
        }
        slots_.push_back({id, true});
    }
    // The usual case, new ids above every old one in ascending order, is
    // already in order; anything else is sorted and merged.
    const auto byId = [](const Slot &a, const Slot &b) { return a.id < b.id; };
    const auto middle = slots_.begin() + static_cast<std::ptrdiff_t>(oldSize);
    if (!std::is_sorted(middle, slots_.end(), byId)) {
        std::sort(middle, slots_.end(), byId);
    }
    if (oldSize > 0 && middle != slots_.end() && middle->id < slots_[oldSize - 1].id) {
        std::inplace_merge(slots_.begin(), middle, slots_.end(), byId);
    }
}

void IdOrder::erase(RecordId id)
{
    Slot *slot = find(id, slots_.size());
    if (slot && slot->alive) {
        slot->alive = false;
        ++deadCount_;
        compactIfMostlyDead();
    }
}

void IdOrder::compactIfMostlyDead()
{
    if (deadCount_ > 64 && deadCount_ * 2 > slots_.size()) {
        std::erase_if(slots_, [](const Slot &slot) { return !slot.alive; });
        deadCount_ = 0;
    }
}

} // namespace quorvella
