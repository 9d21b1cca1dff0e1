#pragma once

// A community table's data lines read in two parts on two threads
// (CommunityTable.h): the text is split at a line end near the middle of
// the data lines, the later part is read on a second thread into counts of
// its own and appended to the earlier part's. A part read alone cannot know
// where its lines are or how many counts came before, so a fault in the
// later part (or the count limit passed across the parts) is found again by
// one reading from the start: every result and fault is the one reading's.

#include "textio/CommunityDataLines.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace quorvella::community {

// Where the later part begins: the line after the first line end at or
// after the middle of the data lines that begin at dataStart. 0, for one
// reading, when those are fewer than partBytes or hold no such line end.
std::size_t laterPartStart(std::string_view text, std::size_t dataStart, std::size_t partBytes);

// Reads the data lines in two parts: the earlier one from the data line
// split already by `reader` (the reader of the header) up to `split`, by
// `earlier`, and the later one from `split` to the end.
template <typename Counts>
std::optional<CommunityFault> readInTwoParts(std::string_view text, std::size_t split,
                                             const TableReader &reader,
                                             DataLineReader<Counts> &earlier, Line &line,
                                             std::vector<std::string_view> &fields, bool haveLine);

extern template std::optional<CommunityFault>
readInTwoParts<NoCounts>(std::string_view, std::size_t, const TableReader &,
                         DataLineReader<NoCounts> &, Line &, std::vector<std::string_view> &, bool);
extern template std::optional<CommunityFault>
readInTwoParts<CountCollector>(std::string_view, std::size_t, const TableReader &,
                               DataLineReader<CountCollector> &, Line &,
                               std::vector<std::string_view> &, bool);

} // namespace quorvella::community
