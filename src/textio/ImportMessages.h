#pragma once

// The texts of the import alert: one fixed message, and one informative text
// per fault. They are the product's own wording and are used exactly as here.

#include <cstddef>
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

// The most taxa one import makes (abundances above zero; counts of a
// community table). Records cost memory: an abundance list of ones takes two
// bytes of text a taxon but about 65 bytes in memory, so without this bound a
// file within the size limit could need several gigabytes; with it every
// import stays within 2 GB.
inline constexpr std::size_t maxImportedTaxa = 10'000'000;

inline constexpr std::string_view tooManyTaxa =
    "The file holds more than 10 000 000 abundances above zero, the most Quorvella imports at "
    "once (each becomes a taxon, and more could need more memory than a computer has). Split "
    "the file and import the parts into separate documents.";

} // namespace quorvella::importmessages
