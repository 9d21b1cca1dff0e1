#include "textio/AsciiCheck.h"

#include "textio/NumberText.h"
#include "textio/Utf8.h"

#include <cstdio>

namespace quorvella {
namespace {

bool isCellBoundary(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

std::string_view cellAround(std::string_view text, std::size_t pos)
{
    std::size_t begin = pos;
    while (begin > 0 && !isCellBoundary(text[begin - 1])) {
        --begin;
    }
    std::size_t end = pos;
    while (end < text.size() && !isCellBoundary(text[end])) {
        ++end;
    }
    return text.substr(begin, end - begin);
}

std::size_t lineOf(std::string_view text, std::size_t pos)
{
    std::size_t line = 1;
    for (std::size_t i = 0; i < pos; ++i) {
        const bool crlf = text[i] == '\r' && i + 1 < pos && text[i + 1] == '\n';
        if ((text[i] == '\r' && !crlf) || text[i] == '\n') {
            ++line;
        }
    }
    return line;
}

} // namespace

std::optional<NonAsciiCharacter> findFirstNonAscii(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) {
        ++pos;
    }
    if (pos == text.size()) {
        return std::nullopt;
    }
    NonAsciiCharacter found;
    const std::size_t length = utf8SequenceLengthAt(text, pos);
    found.codePoint = utf8CodePointAt(text, pos);
    found.character = std::string(text.substr(pos, length == 0 ? 1 : length));
    found.byteOffset = pos;
    found.line = lineOf(text, pos);
    found.name = std::string(cellAround(text, pos));
    return found;
}

std::string NonAsciiCharacter::describe() const
{
    const std::string codeText = "U+" + hexText(codePoint, 4);
    const bool isUtf8 = utf8SequenceLengthAt(character, 0) == character.size();
    const std::string shown = isUtf8 ? "\u201C" + character + "\u201D (" + codeText + ")"
                                     : std::string("an invalid byte");
    return "The character " + shown + " in \u201C" + (isUtf8 ? name : std::string("…")) +
           "\u201D on line " + integerText(static_cast<std::int64_t>(line)) +
           " cannot be written as ASCII. Rename it with plain letters and try again.";
}

} // namespace quorvella
