#include "textio/CharacterClasses.h"

namespace quorvella {
namespace {

unsigned char byteAt(std::string_view text, std::size_t pos)
{
    return pos < text.size() ? static_cast<unsigned char>(text[pos]) : 0;
}

} // namespace

std::size_t lineEndLengthAt(std::string_view text, std::size_t pos)
{
    const unsigned char lead = byteAt(text, pos);
    if (lead >= 0x0A && lead <= 0x0D) {
        return 1;
    }
    if (lead == 0xC2 && byteAt(text, pos + 1) == 0x85) { // U+0085 next line
        return 2;
    }
    if (lead == 0xE2 && byteAt(text, pos + 1) == 0x80) { // U+2028, U+2029
        const unsigned char last = byteAt(text, pos + 2);
        return last == 0xA8 || last == 0xA9 ? 3 : 0;
    }
    return 0;
}

std::size_t whitespaceLengthAt(std::string_view text, std::size_t pos)
{
    const unsigned char lead = byteAt(text, pos);
    if (lead == 0x09 || lead == 0x20) {
        return 1;
    }
    const unsigned char second = byteAt(text, pos + 1);
    const unsigned char third = byteAt(text, pos + 2);
    switch (lead) {
    case 0xC2: // U+00A0 no-break space
        return second == 0xA0 ? 2 : 0;
    case 0xE1: // U+1680 ogham space mark
        return second == 0x9A && third == 0x80 ? 3 : 0;
    case 0xE2: // U+2000..U+200A, U+202F, U+205F
        if (second == 0x80) {
            return (third >= 0x80 && third <= 0x8A) || third == 0xAF ? 3 : 0;
        }
        return second == 0x81 && third == 0x9F ? 3 : 0;
    case 0xE3: // U+3000 ideographic space
        return second == 0x80 && third == 0x80 ? 3 : 0;
    default:
        return 0;
    }
}

std::size_t skipLineEnds(std::string_view text, std::size_t pos)
{
    while (const std::size_t length = lineEndLengthAt(text, pos)) {
        pos += length;
    }
    return pos;
}

std::size_t skipWhitespace(std::string_view text, std::size_t pos)
{
    // Most fields begin with a printable ASCII character: no whitespace to skip.
    if (pos < text.size() && static_cast<unsigned char>(text[pos]) > ' ' &&
        static_cast<unsigned char>(text[pos]) < 0x80) {
        return pos;
    }
    while (const std::size_t length = whitespaceLengthAt(text, pos)) {
        pos += length;
    }
    return pos;
}

std::size_t skipAbundanceListSeparators(std::string_view text, std::size_t pos)
{
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == ' ' || c == ',' || c == '\t') {
            ++pos;
        } else if (const std::size_t length = lineEndLengthAt(text, pos)) {
            pos += length;
        } else {
            break;
        }
    }
    return pos;
}

} // namespace quorvella
