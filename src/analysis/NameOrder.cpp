#include "analysis/NameOrder.h"

#include <algorithm>
#include <iterator>

namespace quorvella {
namespace {

struct FoldingEntry
{
    char32_t codePoint;
    char32_t folded;     // simple case folding
    char32_t foldedBase; // simple case folding of the Latin base letter
    char32_t base;       // Latin base letter, case kept
};

constexpr FoldingEntry foldingTable[] = {
#include "analysis/NameFoldingTable.inc"
};

const FoldingEntry *findEntry(char32_t c)
{
    const auto *end = std::end(foldingTable);
    const auto *found = std::lower_bound(
        std::begin(foldingTable), end, c,
        [](const FoldingEntry &entry, char32_t value) { return entry.codePoint < value; });
    return found != end && found->codePoint == c ? found : nullptr;
}

// Past the last code point, so that stray bytes sort after every character.
constexpr char32_t strayByteBase = 0x110000;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The code point at pos, advancing pos; a byte that does not start a
// well-formed sequence stands for itself, after every character.
char32_t nextCodePoint(std::string_view text, std::size_t &pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    char32_t value = lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
    } else if (lead >= 0x80) {
        ++pos;
        return strayByteBase + lead;
    }
    if (pos + length > text.size()) {
        ++pos;
        return strayByteBase + lead;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(byte)) {
            ++pos;
            return strayByteBase + lead;
        }
        value = (value << 6) | (byte & 0x3Fu);
    }
    pos += length;
    return value;
}

bool isCombiningAccent(char32_t c)
{
    return c >= 0x0300 && c <= 0x036F;
}

enum class Key { FoldedBase, Folded, Base, Exact };

constexpr char32_t leftOut = 0xFFFFFFFF;

// The key of one code point, or leftOut when it does not take part.
char32_t keyOf(char32_t c, Key key)
{
    if ((key == Key::FoldedBase || key == Key::Base) && isCombiningAccent(c)) {
        return leftOut;
    }
    if (c < 0x80) {
        const bool fold = key == Key::FoldedBase || key == Key::Folded;
        return fold && c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
    }
    const FoldingEntry *entry = key == Key::Exact ? nullptr : findEntry(c);
    if (entry == nullptr) {
        return c;
    }
    switch (key) {
    case Key::FoldedBase:
        return entry->foldedBase;
    case Key::Folded:
        return entry->folded;
    case Key::Base:
        return entry->base;
    case Key::Exact:
        break;
    }
    return c;
}

// One more than the next key of the text that takes part, or 0 at its end
// (so that a shorter text sorts first).
char32_t nextKey(std::string_view text, std::size_t &pos, Key key)
{
    while (pos < text.size()) {
        const char32_t value = keyOf(nextCodePoint(text, pos), key);
        if (value != leftOut) {
            return value + 1;
        }
    }
    return 0;
}

int compareBy(std::string_view a, std::string_view b, Key key)
{
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        const char32_t x = nextKey(a, i, key);
        const char32_t y = nextKey(b, j, key);
        if (x != y) {
            return x < y ? -1 : 1;
        }
        if (x == 0) {
            return 0;
        }
    }
}

} // namespace

char32_t simpleCaseFold(char32_t c)
{
    return keyOf(c, Key::Folded);
}

int compareNamesIgnoringCase(std::string_view a, std::string_view b)
{
    const int byLetters = compareBy(a, b, Key::FoldedBase);
    return byLetters != 0 ? byLetters : compareBy(a, b, Key::Folded);
}

int compareNames(std::string_view a, std::string_view b)
{
    const int byLetters = compareBy(a, b, Key::Base);
    return byLetters != 0 ? byLetters : compareBy(a, b, Key::Exact);
}

} // namespace quorvella
