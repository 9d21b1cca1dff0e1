#pragma once

// Reading an import file whole, and writing an export file atomically.
// Standard library and POSIX only.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quorvella {

// The largest file readTextFile accepts: 64 MiB. A sequencing table of 1000
// collections by 20 000 taxa is about 40 MB. The text is held whole, so with
// the bound on the taxa of one import (ImportMessages.h) this keeps every
// import within 2 GB; refusing a larger file up front keeps a huge file from
// exhausting memory.
inline constexpr std::uintmax_t maxTextFileBytes = 64u * 1024u * 1024u;

struct TextFileResult
{
    std::optional<std::string> text; // the whole file as UTF-8, when it was read
    std::string error;               // otherwise why not, naming the file

    bool ok() const { return text.has_value(); }
};

// Reads a file whole and checks that it is UTF-8 (a leading byte-order mark
// is dropped). Refuses, with a message that says why, a file that cannot be
// opened, is not a regular file, is larger than maxBytes or is not valid UTF-8
// (naming the byte offset of the first invalid byte).
TextFileResult readTextFile(const std::filesystem::path &path,
                            std::uintmax_t maxBytes = maxTextFileBytes);

struct WriteResult
{
    bool ok = false;
    std::string error; // why the file could not be written, naming it

    static WriteResult success() { return {true, {}}; }
};

// Puts bytes at path completely or not at all: writes a temporary file in the
// same folder, flushes it to disk, then renames it over path. On any failure
// the temporary file is removed and an existing file at path stays as it was.
// A replaced file keeps its permissions; a new one gets the usual ones.
WriteResult writeFileAtomically(const std::filesystem::path &path, std::string_view bytes);

} // namespace quorvella
