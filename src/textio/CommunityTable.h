#pragma once

// Community tables as sequencing pipelines write them: taxa as rows, samples
// as columns, tab-separated, with comment lines ("# Constructed from biom
// file") before the header and often a trailing text column (taxonomy). One
// reader serves the check, the import and the preview, so a preview shows
// exactly what an import makes.
//
// Layout: leading lines that begin with "#" and hold no separator are
// comments; the first other line with text is the header (a leading "#", as
// in "#OTU ID", is not part of its label). Fields are separated by tabs, or by
// commas or semicolons when the header has no tab (detectFieldSeparator).
// Every data line holds as many fields as the header. The last column is a
// text column when its header reads "taxonomy" (any case) or the first data
// line holds text there; it is left out of the counts and can name the taxa.
// Counts are whole numbers of 0 or more; a zero makes no taxon.

#include "textio/ImportedCollection.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella {

struct CommunityOptions
{
    // False: samples are rows and taxa columns (the transposed table).
    bool taxaAsRows = true;
    // Name each taxon by the text column (e.g. its taxonomy) instead of the
    // first column.
    bool namesFromTextColumn = false;
};

// The first fault of a table, with its place (1-based line and column).
struct CommunityFault
{
    std::size_t line = 0;
    std::size_t column = 0;
    std::string reason;

    // "Line 4, column 3: ..." as the import alert and the command line say it.
    std::string message() const;
};

struct CommunityReadResult
{
    std::optional<CommunityFault> fault; // when set, nothing else is filled
    // Collections (samples) in their order, each with its taxa in their order.
    ImportedCollectionGroup group;
    // The header of the recognised text column, if there is one.
    std::optional<std::string> textColumn;
};

CommunityReadResult readCommunityTable(std::string_view text, const CommunityOptions &options);

// The same reading without a string per cell, for large tables: each name is
// held once, and each collection's counts refer to their taxa by number.
struct CommunityCell
{
    std::uint32_t taxon; // index into CommunityCounts::taxonNames
    std::int32_t count;  // above zero
};

struct CommunityCounts
{
    std::optional<CommunityFault> fault; // when set, nothing else is filled
    std::vector<std::string> collectionNames;
    // In table order (the completion list of an import).
    std::vector<std::string> taxonNames;
    // Per collection, its counts above zero in taxon order.
    std::vector<std::vector<CommunityCell>> cells;
    std::optional<std::string> textColumn;
};

// Data lines of communityPartBytes or more are read in two parts on two
// threads; the counts, the names and the first fault are those of one
// reading from the start (a smaller partBytes serves tests of the parts).
inline constexpr std::size_t communityPartBytes = std::size_t(1) << 20;

CommunityCounts readCommunityCounts(std::string_view text, const CommunityOptions &options,
                                    std::size_t partBytes = communityPartBytes);

// Only the check of that reading: the first fault, if any.
std::optional<CommunityFault> checkCommunityTable(std::string_view text,
                                                  const CommunityOptions &options,
                                                  std::size_t partBytes = communityPartBytes);

// The top-left corner of the table as the reader splits it: up to maxRows
// lines (header first, comments left out) of up to maxColumns fields, plus the
// text column's header and the first fault within those lines, if any.
struct CommunityPreview
{
    std::vector<std::vector<std::string>> rows;
    std::optional<std::string> textColumn;
    std::optional<CommunityFault> fault;
};

CommunityPreview previewCommunityTable(std::string_view text, const CommunityOptions &options,
                                       std::size_t maxRows, std::size_t maxColumns);

} // namespace quorvella
