#pragma once

// The character classes of the import formats, tested on UTF-8 text.
//
// Every class member outside ASCII is matched by its exact UTF-8 encoding, so
// the tests never decode and never read past the end of the text. A byte that
// is not part of valid UTF-8 belongs to no class: it is ordinary text.

#include <cstddef>
#include <string_view>

namespace quorvella {

// Length in bytes of the line-end character at pos (U+000A..U+000D, U+0085,
// U+2028, U+2029), or 0 when there is none.
std::size_t lineEndLengthAt(std::string_view text, std::size_t pos);

// Length in bytes of the whitespace character at pos (tab and every Unicode
// space separator, general category Zs), or 0 when there is none.
std::size_t whitespaceLengthAt(std::string_view text, std::size_t pos);

// Position just past the run of line-end characters starting at pos.
std::size_t skipLineEnds(std::string_view text, std::size_t pos);

// Position just past the run of whitespace characters starting at pos.
std::size_t skipWhitespace(std::string_view text, std::size_t pos);

// Position just past the run of abundance-list separators (space, comma, tab
// and the line-end characters) starting at pos.
std::size_t skipAbundanceListSeparators(std::string_view text, std::size_t pos);

} // namespace quorvella
