#pragma once

// The order of collection and taxon names in lists. Names are UTF-8; letters
// of the Latin, Greek and Cyrillic blocks are compared by Unicode simple case
// folding, and accented Latin letters first by their base letter, so that
// "Étang" sorts among the E's and "éab" before "Ébc". Combining accents
// (U+0300..U+036F) count only where the letters are equal. Bytes that are not
// UTF-8 compare after every character, so any text has a fixed place.

#include <cstdint>
#include <string_view>

namespace quorvella {

// -1, 0 or 1, without regard to case: first by the folded base letters, then
// by the folded letters with their accents ("e" before "é"). Names that
// differ only in case compare equal; callers break the tie.
int compareNamesIgnoringCase(std::string_view a, std::string_view b);

// -1, 0 or 1 with regard to case: first by the base letters (capitals before
// small letters, as code points order them), then by the exact code points.
int compareNames(std::string_view a, std::string_view b);

// The simple case folding of one code point ('É' -> 'é', 'Σ' and 'ς' -> 'σ');
// code points outside the Latin, Greek and Cyrillic blocks are their own.
char32_t simpleCaseFold(char32_t c);

} // namespace quorvella
