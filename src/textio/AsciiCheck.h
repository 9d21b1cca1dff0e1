#pragma once

// Export files are written in 7-bit ASCII. Before writing, the text is checked
// so that the user can be told exactly which character stands in the way.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvella {

struct NonAsciiCharacter
{
    char32_t codePoint = 0; // U+FFFD when the bytes there are not UTF-8
    std::string character;  // the character as UTF-8 (or the stray byte)
    std::size_t byteOffset = 0;
    std::size_t line = 1; // counting from 1; "\r", "\n" and "\r\n" end a line
    std::string name;     // the comma-separated cell it stands in (a taxon or collection name)

    // "The character “é” (U+00E9) in “Globigérina” on line 3 cannot be
    // written as ASCII. Rename it with plain letters and try again."
    std::string describe() const;
};

// The first character outside 7-bit ASCII, or nullopt when the text is ASCII.
std::optional<NonAsciiCharacter> findFirstNonAscii(std::string_view text);

} // namespace quorvella
