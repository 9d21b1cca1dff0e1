#pragma once

// The data lines of a community table read into counts (CommunityTable.h),
// by the same reader whether the table is read as one or in two parts
// (CommunityParts.h): the counts go to a collector of every name and count,
// or to none for the check alone.

#include "textio/CommunityLines.h"
#include "textio/CommunityTable.h"
#include "textio/ImportMessages.h" // maxImportedTaxa

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella::community {

inline constexpr std::string_view tooManyCounts =
    "the table holds more than 10 000 000 counts above zero, the most Quorvella imports at once "
    "(each becomes a taxon, and more could need more memory than a computer has).";

// What every reading of the data lines agrees on: the header's field count
// and columns.
struct DataLayout
{
    std::size_t headerFields = 0;
    std::size_t countColumns = 0;
    CommunityOptions options;
};

// Keeps every name and count of a table.
class CountCollector
{
public:
    explicit CountCollector(CommunityCounts &counts) : counts_(counts) {}

    void collection(std::string_view name)
    {
        counts_.collectionNames.emplace_back(name);
        counts_.cells.emplace_back();
    }
    void taxon(std::string_view name) { counts_.taxonNames.emplace_back(name); }
    // A count above zero of the given collection and taxon (by number).
    void count(std::size_t collection, std::size_t taxon, std::int32_t value)
    {
        counts_.cells[collection].push_back({static_cast<std::uint32_t>(taxon), value});
    }

    CommunityCounts &read() { return counts_; }

private:
    CommunityCounts &counts_;
};

// Keeps nothing: the check alone.
struct NoCounts
{
    void collection(std::string_view) {}
    void taxon(std::string_view) {}
    void count(std::size_t, std::size_t, std::int32_t) {}
};

// The data lines of a table or of a part of one, counted from the first one
// the part holds; the first fault ends the reading.
template <typename Counts> class DataLineReader
{
public:
    DataLineReader(const DataLayout &layout, Counts &counts)
        : layout_(layout), counts_(counts), shape_{layout.countColumns,
                                                   layout.headerFields > layout.countColumns + 1}
    {
        line_.counts.reserve(layout.countColumns);
    }

    // From the data line split already, if there is one, to the end. Nearly
    // every line is read in one scan; the others, and the first fault, take
    // the general steps.
    std::optional<CommunityFault> read(TableReader &reader, Line &line,
                                       std::vector<std::string_view> &fields, bool haveLine)
    {
        for (bool have = haveLine; have; have = reader.nextDataLine(line, fields)) {
            if (auto fault = readLine(line, fields)) {
                return fault;
            }
            while (reader.scanDataLine(shape_, importmessages::maxImportedTaxa - taxa_, line_)) {
                take(line_);
            }
        }
        return std::nullopt;
    }

    const DataLayout &layout() const { return layout_; }
    Counts &counts() { return counts_; }
    std::size_t rows() const { return row_; }
    std::size_t taxa() const { return taxa_; }

private:
    std::optional<CommunityFault> readLine(const Line &line,
                                           const std::vector<std::string_view> &fields)
    {
        if (auto fault = checkFieldCount(line, fields.size(), layout_.headerFields)) {
            return fault;
        }
        line_.counts.clear();
        for (std::uint32_t c = 0; c < layout_.countColumns; ++c) {
            const Count count = readCount(fields[c + 1]);
            if (count.fault) {
                return CommunityFault{line.number, c + 2, *count.fault};
            }
            if (count.value > 0 && taxa_ + line_.counts.size() == importmessages::maxImportedTaxa) {
                return CommunityFault{line.number, c + 2, std::string(tooManyCounts)};
            }
            if (count.value > 0) {
                line_.counts.push_back({c, count.value});
            }
        }
        line_.first = fields.front();
        line_.last = fields.back();
        take(line_);
        return std::nullopt;
    }

    void take(const DataLine &line)
    {
        const bool taxaAsRows = layout_.options.taxaAsRows;
        if (taxaAsRows) {
            counts_.taxon(layout_.options.namesFromTextColumn ? line.last : line.first);
            for (const CountInColumn &count : line.counts) {
                counts_.count(count.column, row_, count.count);
            }
        } else {
            counts_.collection(line.first);
            for (const CountInColumn &count : line.counts) {
                counts_.count(row_, count.column, count.count);
            }
        }
        taxa_ += line.counts.size();
        ++row_;
    }

    const DataLayout &layout_;
    Counts &counts_;
    const LineShape shape_;
    DataLine line_; // reused: its counts are allocated once
    std::size_t row_ = 0;
    std::size_t taxa_ = 0; // counts above zero
};

} // namespace quorvella::community
