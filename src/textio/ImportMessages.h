#pragma once

// The texts of the import alert: one fixed message, and one informative text
// per fault. They are the product's own wording and are used exactly as here.

#include <string_view>

namespace quorvella::importmessages {

inline constexpr std::string_view alertMessage =
    "The file could not be imported because it is incorrectly formatted.";

// The help anchor the import alert's help button opens.
inline constexpr std::string_view helpAnchor = "importing";

inline constexpr std::string_view emptyFile = "File to be imported contains no text.";

inline constexpr std::string_view notANumber =
    "File contains characters, but should contain only a list of integers.  See help for "
    "formatting an input file.";

inline constexpr std::string_view zeroOrNegative =
    "File contains zero or negative abundance value, but all abundances must be positive "
    "integers.  See help for formatting an input file.";

inline constexpr std::string_view decimal =
    "File contains a decimal abundance value, but all abundances must be positive integers.  "
    "See help for formatting an input file.";

inline constexpr std::string_view abundanceMissing =
    "An abundance value is missing.  See help for formatting an input file.";

inline constexpr std::string_view taxonNameMissing =
    "A taxon name value is missing.  See help for formatting an input file.";

inline constexpr std::string_view negative =
    "File contains negative abundance value, but all abundances must be non-negative "
    "integers.  See help for formatting an input file.";

inline constexpr std::string_view tooManyAbundances =
    "More abundances found in a row than there are species. See help for formatting an input "
    "file.";

inline constexpr std::string_view tooFewAbundances =
    "Fewer abundances found in a row than there are species. See help for formatting an input "
    "file.";

// A matrix whose first row has no field after the label: most often a table
// whose fields are separated by something this reader does not know.
inline constexpr std::string_view noSpecies =
    "The first row names no species. Quorvella reads species names separated by commas, "
    "semicolons or tabs.";

} // namespace quorvella::importmessages
