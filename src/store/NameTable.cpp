#include "store/NameTable.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace quorvella {

std::uint64_t NameTable::hashOf(std::string_view name)
{
    // Eight bytes a step (names are short; this runs once per record while a
    // document is read), then a final mix so that the low bits index well.
    std::uint64_t hash = 0xcbf29ce484222325ULL ^ name.size();
    std::size_t at = 0;
    for (; at + 8 <= name.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + at, 8);
        hash = (hash ^ word) * 0x9e3779b97f4a7c15ULL;
        hash ^= hash >> 29;
    }
    std::uint64_t tail = 0;
    if (at < name.size()) {
        std::memcpy(&tail, name.data() + at, name.size() - at);
    }
    hash = (hash ^ tail) * 0x9e3779b97f4a7c15ULL;
    hash ^= hash >> 32;
    hash *= 0xd6e8feb86659fd93ULL;
    return hash ^ (hash >> 29);
}

NameTable::Number NameTable::intern(std::string_view name)
{
    if ((size() + 1) * 3 > slots_.size() * 2) { // keep the table at most two thirds full
        grow();
    }
    const std::uint64_t hash = hashOf(name);
    const std::uint64_t tag = slotOf(none, hash);
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = static_cast<std::size_t>(hash) & mask;
    for (; slots_[at] != 0; at = (at + 1) & mask) {
        const auto number = static_cast<Number>(slots_[at]);
        if ((slots_[at] ^ tag) == number && text(number) == name) {
            return number;
        }
    }
    if (bytes_.size() + name.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("the names of one document take more than 4 GB");
    }
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    starts_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    const auto number = static_cast<Number>(size());
    slots_[at] = slotOf(number, hash);
    return number;
}

void NameTable::grow()
{
    slots_.assign(slots_.empty() ? 16 : slots_.size() * 2, 0);
    for (Number number = 1; number <= size(); ++number) {
        place(number, hashOf(text(number)));
    }
}

void NameTable::place(Number number, std::uint64_t hash)
{
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = static_cast<std::size_t>(hash) & mask;
    while (slots_[at] != 0) {
        at = (at + 1) & mask;
    }
    slots_[at] = slotOf(number, hash);
}

std::size_t NameTable::allocatedBytes() const
{
    return bytes_.capacity() + starts_.capacity() * sizeof(std::uint32_t) +
           slots_.capacity() * sizeof(std::uint64_t);
}

} // namespace quorvella
