#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvella {

// Interned names: each distinct text is held once, as bytes in one buffer,
// and records refer to it by a 32-bit number. Number 0 stands for "no name".
// A name stays interned for the table's lifetime (undo may bring its records
// back), so numbers never change. Lookups hash the bytes into an
// open-addressing table of numbers, each beside 32 bits of its name's hash,
// so a probe compares the bytes of a name only when the hashes agree: about
// 12 bytes of index per distinct name.
class NameTable
{
public:
    using Number = std::uint32_t;
    static constexpr Number none = 0;

    // The number of this text, adding it if it is new. Throws
    // std::length_error when the buffer would pass 4 GB.
    Number intern(std::string_view name);
    std::string_view text(Number number) const
    {
        return {bytes_.data() + starts_[number - 1], starts_[number] - starts_[number - 1]};
    }

    std::size_t size() const { return starts_.size() - 1; }
    // Heap bytes held, for the memory benchmark.
    std::size_t allocatedBytes() const;

private:
    static std::uint64_t hashOf(std::string_view name);
    // A slot: the number in the low half, the hash's high half above it.
    static std::uint64_t slotOf(Number number, std::uint64_t hash)
    {
        return (hash & 0xffffffff00000000ULL) | number;
    }
    void grow();
    void place(Number number, std::uint64_t hash);

    std::vector<char> bytes_;
    // starts_[n - 1] .. starts_[n] are the bytes of name n.
    std::vector<std::uint32_t> starts_{0};
    std::vector<std::uint64_t> slots_; // 0 = empty; size a power of two
};

} // namespace quorvella
