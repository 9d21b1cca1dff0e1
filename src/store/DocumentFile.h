#pragma once

#include "store/Store.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace quorvella {

// Why a document file could not be read or written. what() is a complete
// sentence naming the file and the reason, ready for an alert, e.g.
// The document "/home/x/a.qvl" could not be opened: it is not a Quorvella
// document (the file is not an SQLite database).
class DocumentFileError : public std::runtime_error
{
public:
    enum class Action { Open, Save };

    DocumentFileError(Action action, std::filesystem::path file, std::string reason);

    Action action() const { return action_; }
    const std::filesystem::path &file() const { return file_; }
    // The reason alone, e.g. "it was written by a newer version of Quorvella
    // (file format 2; this version reads format 1)".
    const std::string &reason() const { return reason_; }

private:
    Action action_;
    std::filesystem::path file_;
    std::string reason_;
};

// An open given up at the caller's request (DocumentFile::load's cancel
// hook); not a fault of the file.
class DocumentOpenCancelled : public std::runtime_error
{
public:
    DocumentOpenCancelled() : std::runtime_error("the opening was cancelled") {}
};

// Asked between chunks of records while a document is read, and while the
// reading waits for the file's structure check, on the reading thread: true
// gives the reading up and interrupts the check.
using OpenCancelHook = std::function<bool()>;

// The document file: an SQLite database with the tables `census` and `taxon`
// (see docs/file-format.md). Extension ".qvl".
class DocumentFile
{
public:
    static constexpr const char *extension = "qvl";           // without the dot
    static constexpr int formatVersion = 1;                   // PRAGMA user_version
    static constexpr std::int32_t applicationId = 0x51564C41; // "QVLA"

    // Reads a whole document; the file is opened read-only and never changed.
    // Temporary files that killed saves left beside it are removed.
    // The returned store is not modified. Throws DocumentFileError for a file
    // that is missing, unreadable, not SQLite, another application's database,
    // damaged, or written by a newer version. SQLite's structure check runs
    // on a second connection while the records are read; its verdict comes
    // first. A cancel hook that answers true ends the reading within a chunk
    // of rows with DocumentOpenCancelled, interrupts the structure check, and
    // what was read is freed.
    static Store load(const std::filesystem::path &file, const OpenCancelHook &cancelled = {});

    // Writes every record of the store to `file`, atomically: the records go
    // into a new database beside the file in one transaction, which is synced
    // and then renamed over the file. On any failure (full disk, no
    // permission) the file is left as it was and DocumentFileError is thrown.
    // Temporary files that killed saves left beside it are removed first
    // (FileReplacement::removeStaleTemporaryFiles).
    // Does not touch the store's modified flag.
    static void save(const Store &store, const std::filesystem::path &file);
};

} // namespace quorvella
