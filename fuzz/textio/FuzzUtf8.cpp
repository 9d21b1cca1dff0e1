// The UTF-8 decoder on any bytes: an accepted text is well-formed throughout,
// a refused one names an offset inside it before which all is well-formed,
// and a check piece by piece agrees with the check of the whole.

#include "FuzzSupport.h"
#include "textio/Utf8.h"

using namespace quorvella;

namespace {

// Walks the text sequence by sequence; the decoder's checker must agree.
bool wellFormed(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = utf8SequenceLengthAt(text, pos);
        if (length == 0) {
            return false;
        }
        const char32_t codePoint = utf8CodePointAt(text, pos);
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        const std::size_t shortest = codePoint < 0x80      ? 1
                                     : codePoint < 0x800   ? 2
                                     : codePoint < 0x10000 ? 3
                                                           : 4;
        if (surrogate || codePoint > 0x10FFFF || shortest != length) {
            quorvella::fuzz::fail("an accepted sequence is not well-formed");
        }
        pos += length;
    }
    return true;
}

// The check made piece by piece, as a file is read, in pieces of a length
// the first byte chooses: the same first fault as the check of the whole.
std::optional<std::size_t> checkedInPieces(std::string_view bytes)
{
    const std::size_t piece = bytes.empty() ? 1 : static_cast<unsigned char>(bytes[0]) % 13 + 1;
    Utf8Progress checked;
    for (std::size_t end = piece; end < bytes.size() && !checked.invalid; end += piece) {
        checked = findInvalidUtf8From(bytes.substr(0, end), checked.next, true);
    }
    if (!checked.invalid) {
        checked = findInvalidUtf8From(bytes, checked.next, false);
    }
    return checked.invalid;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = fuzz::asText(data, size);
    const Utf8DecodeResult result = decodeUtf8(bytes);
    fuzz::require(checkedInPieces(bytes) == findInvalidUtf8(bytes),
                  "a check piece by piece finds the fault of the whole");
    if (result.ok()) {
        fuzz::require(wellFormed(*result.text), "accepted text walks cleanly");
        fuzz::require(result.text->size() == size || result.text->size() + 3 == size,
                      "only a byte-order mark is dropped");
    } else {
        fuzz::require(result.errorOffset < size, "the offset lies inside the text");
        fuzz::require(wellFormed(bytes.substr(0, result.errorOffset)),
                      "everything before the offset is well-formed");
        fuzz::require(utf8SequenceLengthAt(bytes, result.errorOffset) == 0,
                      "the named offset is bad");
    }
    return 0;
}
