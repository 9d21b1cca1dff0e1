#include "textio/CommunityParts.h"

#include <exception>
#include <iterator>
#include <limits>
#include <thread>

namespace quorvella::community {
namespace {

// The later part of a table's data lines, read on its own: rows numbered
// from 0 and appended after the earlier part's.
template <typename Counts> struct LaterPart;

template <> struct LaterPart<NoCounts>
{
    explicit LaterPart(const DataLayout &) {}
    void appendTo(NoCounts &, std::size_t) {}
    NoCounts counts;
};

template <> struct LaterPart<CountCollector>
{
    // With taxa as rows, every collection is there from the start.
    explicit LaterPart(const DataLayout &layout)
    {
        if (layout.options.taxaAsRows) {
            read.cells.resize(layout.countColumns);
        }
    }

    // After the `rows` data lines of the earlier part.
    void appendTo(CountCollector &earlier, std::size_t rows)
    {
        CommunityCounts &to = earlier.read();
        if (read.collectionNames.empty()) { // taxa as rows: each collection grows
            growInTwoHalves(to.cells, static_cast<std::uint32_t>(rows));
        } else { // samples as rows: more collections of the same taxa
            moveAppend(to.collectionNames, read.collectionNames);
            moveAppend(to.cells, read.cells);
        }
        moveAppend(to.taxonNames, read.taxonNames);
    }

    CommunityCounts read;
    CountCollector counts{read};

private:
    // The import waits for this step: the new cells' memory is most of its
    // cost, so each thread grows half of the collections.
    void growInTwoHalves(std::vector<std::vector<CommunityCell>> &cells, std::uint32_t rows)
    {
        const std::size_t count = read.cells.size(); // none when the part had no data line
        const std::size_t half = count / 2;
        std::exception_ptr failure;
        {
            std::jthread upper([&] {
                try {
                    grow(cells, rows, half, count);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
            grow(cells, rows, 0, half);
        } // joined
        if (failure) {
            std::rethrow_exception(failure);
        }
    }

    // The collections [from, to) get this part's cells, numbered on.
    void grow(std::vector<std::vector<CommunityCell>> &cells, std::uint32_t rows, std::size_t from,
              std::size_t to)
    {
        for (std::size_t c = from; c < to; ++c) {
            std::vector<CommunityCell> &grown = cells[c];
            const std::size_t old = grown.size();
            grown.insert(grown.end(), read.cells[c].begin(), read.cells[c].end());
            for (std::size_t i = old; i < grown.size(); ++i) {
                grown[i].taxon += rows;
            }
            std::vector<CommunityCell>().swap(read.cells[c]); // freed on this thread too
        }
    }

    template <typename T> static void moveAppend(std::vector<T> &to, std::vector<T> &from)
    {
        to.insert(to.end(), std::make_move_iterator(from.begin()),
                  std::make_move_iterator(from.end()));
    }
};

} // namespace

std::size_t laterPartStart(std::string_view text, std::size_t dataStart, std::size_t partBytes)
{
    if (text.size() - dataStart < partBytes) {
        return 0;
    }
    // A line always ends there, so the two sides split into the same lines
    // as the whole.
    const std::size_t end = text.find('\n', dataStart + (text.size() - dataStart) / 2);
    return end == std::string_view::npos || end + 1 >= text.size() ? 0 : end + 1;
}

template <typename Counts>
std::optional<CommunityFault> readInTwoParts(std::string_view text, std::size_t split,
                                             const TableReader &reader,
                                             DataLineReader<Counts> &earlier, Line &line,
                                             std::vector<std::string_view> &fields, bool haveLine)
{
    const DataLayout &layout = earlier.layout();
    LaterPart<Counts> later(layout);
    std::optional<CommunityFault> laterFault;
    std::size_t laterTaxa = 0;
    std::exception_ptr laterFailure;
    std::optional<CommunityFault> fault;
    {
        std::jthread laterReading([&] {
            try {
                TableReader part(text.substr(split), reader.separator(), 0);
                DataLineReader<Counts> laterLines(layout, later.counts);
                Line laterLine;
                std::vector<std::string_view> laterFields;
                laterFault = laterLines.read(part, laterLine, laterFields,
                                             part.nextDataLine(laterLine, laterFields));
                laterTaxa = laterLines.taxa();
            } catch (...) {
                laterFailure = std::current_exception();
            }
        });
        const std::size_t rest = reader.position();
        TableReader part(text.substr(rest, split - rest), reader.separator(), reader.lineNumber());
        fault = earlier.read(part, line, fields, haveLine);
    } // joined
    if (fault) {
        return fault;
    }
    if (laterFailure) {
        std::rethrow_exception(laterFailure);
    }
    if (laterFault || earlier.taxa() + laterTaxa > importmessages::maxImportedTaxa) {
        return checkCommunityTable(text, layout.options, std::numeric_limits<std::size_t>::max());
    }
    later.appendTo(earlier.counts(), earlier.rows());
    return std::nullopt;
}

template std::optional<CommunityFault>
readInTwoParts<NoCounts>(std::string_view, std::size_t, const TableReader &,
                         DataLineReader<NoCounts> &, Line &, std::vector<std::string_view> &, bool);
template std::optional<CommunityFault>
readInTwoParts<CountCollector>(std::string_view, std::size_t, const TableReader &,
                               DataLineReader<CountCollector> &, Line &,
                               std::vector<std::string_view> &, bool);

} // namespace quorvella::community
