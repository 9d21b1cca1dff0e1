#pragma once

// Strict UTF-8 decoding of a whole file.
//
// The text functions of this layer work on UTF-8 held in std::string: the
// delimiters of every format are single characters whose encodings cannot be
// mistaken for parts of other characters, so names are slices of the text and
// need no conversion. A file is checked once, here, before any reader sees it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvella {

struct Utf8DecodeResult
{
    std::optional<std::string> text; // the decoded text, without a leading byte-order mark
    std::size_t errorOffset = 0;     // byte offset of the first invalid byte, when text is empty
    std::string error;               // why decoding failed, naming the offset and the byte

    bool ok() const { return text.has_value(); }
};

// Checks that bytes are well-formed UTF-8: no stray continuation bytes, no
// truncated, overlong or surrogate sequences, nothing above U+10FFFF. A leading
// byte-order mark (as spreadsheets write it) is dropped.
Utf8DecodeResult decodeUtf8(std::string_view bytes);

// Removes a leading byte-order mark, if there is one.
void dropByteOrderMark(std::string &text);

// Offset of the first byte that is not part of well-formed UTF-8, or nullopt.
std::optional<std::size_t> findInvalidUtf8(std::string_view bytes);

// The same check of bytes read piece by piece, from `from` (where a
// sequence begins): while moreToCome, only the sequences that are whole
// whatever follows, those that begin at least four bytes before the end.
// Answers the first invalid byte, if any, and where the check goes on once
// more bytes are there; the last piece's check gives the answer for the whole.
struct Utf8Progress
{
    std::optional<std::size_t> invalid;
    std::size_t next = 0;
};
Utf8Progress findInvalidUtf8From(std::string_view bytes, std::size_t from, bool moreToCome);

// Length of the well-formed UTF-8 sequence at pos, or 0 when the bytes there
// are not one (or pos is at the end).
std::size_t utf8SequenceLengthAt(std::string_view bytes, std::size_t pos);

// The code point of the well-formed sequence at pos (see utf8SequenceLengthAt).
char32_t utf8CodePointAt(std::string_view bytes, std::size_t pos);

} // namespace quorvella
