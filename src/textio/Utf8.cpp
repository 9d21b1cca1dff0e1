#include "textio/Utf8.h"

#include "textio/NumberText.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quorvella {
namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

unsigned char byteAt(std::string_view bytes, std::size_t pos)
{
    return static_cast<unsigned char>(bytes[pos]);
}

// The allowed range of the second byte after each lead byte rules out
// overlong forms, surrogates (U+D800..U+DFFF) and values above U+10FFFF.
struct SecondByteRange
{
    unsigned char low;
    unsigned char high;
};

SecondByteRange secondByteRange(unsigned char lead)
{
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

std::size_t expectedLength(unsigned char lead)
{
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0; // continuation byte, overlong lead (C0, C1) or beyond U+10FFFF
}

} // namespace

std::size_t utf8SequenceLengthAt(std::string_view bytes, std::size_t pos)
{
    if (pos >= bytes.size()) {
        return 0;
    }
    const unsigned char lead = byteAt(bytes, pos);
    const std::size_t length = expectedLength(lead);
    if (length <= 1) {
        return length;
    }
    if (bytes.size() - pos < length) {
        return 0;
    }
    const SecondByteRange range = secondByteRange(lead);
    const unsigned char second = byteAt(bytes, pos + 1);
    if (second < range.low || second > range.high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(byteAt(bytes, pos + i))) {
            return 0;
        }
    }
    return length;
}

char32_t utf8CodePointAt(std::string_view bytes, std::size_t pos)
{
    const std::size_t length = utf8SequenceLengthAt(bytes, pos);
    if (length == 0) {
        return U'\uFFFD';
    }
    const unsigned char lead = byteAt(bytes, pos);
    if (length == 1) {
        return lead;
    }
    const unsigned char leadMask = length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07;
    char32_t codePoint = lead & leadMask;
    for (std::size_t i = 1; i < length; ++i) {
        codePoint = (codePoint << 6) | (byteAt(bytes, pos + i) & 0x3Fu);
    }
    return codePoint;
}

namespace {

// Checks the sequences of bytes that begin at `pos` and before `stop`.
Utf8Progress checkSequences(std::string_view bytes, std::size_t pos, std::size_t stop)
{
    while (pos < stop) {
        // Plain ASCII dominates every import file: step over it sixteen bytes at a time.
        while (pos + 16 <= bytes.size()) {
            std::uint64_t words[2];
            std::memcpy(words, bytes.data() + pos, sizeof words);
            if (((words[0] | words[1]) & 0x8080808080808080ull) != 0) {
                break;
            }
            pos += 16;
        }
        if (pos >= stop) {
            break;
        }
        const std::size_t length = utf8SequenceLengthAt(bytes, pos);
        if (length == 0) {
            return {pos, pos};
        }
        pos += length;
    }
    return {std::nullopt, pos};
}

} // namespace

std::optional<std::size_t> findInvalidUtf8(std::string_view bytes)
{
    return findInvalidUtf8From(bytes, 0, false).invalid;
}

Utf8Progress findInvalidUtf8From(std::string_view bytes, std::size_t from, bool moreToCome)
{
    constexpr std::size_t longest = 4; // bytes of a sequence
    if (!moreToCome) {
        return checkSequences(bytes, from, bytes.size());
    }
    return checkSequences(bytes, from, bytes.size() < longest ? 0 : bytes.size() - (longest - 1));
}

void dropByteOrderMark(std::string &text)
{
    if (text.starts_with(byteOrderMark)) {
        text.erase(0, byteOrderMark.size());
    }
}

Utf8DecodeResult decodeUtf8(std::string_view bytes)
{
    Utf8DecodeResult result;
    if (const std::optional<std::size_t> bad = findInvalidUtf8(bytes)) {
        result.errorOffset = *bad;
        result.error = "The text is not valid UTF-8: the byte 0x" +
                       hexText(byteAt(bytes, *bad), 2) + " at byte offset " +
                       integerText(static_cast<std::int64_t>(*bad)) +
                       " does not belong to a UTF-8 character.";
        return result;
    }
    if (bytes.starts_with(byteOrderMark)) {
        bytes.remove_prefix(byteOrderMark.size());
    }
    result.text = std::string(bytes);
    return result;
}

} // namespace quorvella
