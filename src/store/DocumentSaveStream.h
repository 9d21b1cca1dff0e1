#pragma once

#include "store/RecordId.h"

#include <cstddef>
#include <filesystem>
#include <memory>

namespace quorvella {

class Store;

// A document saved while its records are still being made: a thread of its
// own writes them as they come, so a large import is read on one core and
// written on the other. While the stream lives the store may only grow (new
// records, ids above every id it held); send() hands what was added since the
// last send to the writing thread, through a short queue. commit() sends the
// rest, waits for the writing to end and replaces the file atomically, as
// DocumentFile::save does, with the same file content and the same
// DocumentFileError on failure. A stream never committed (the import failed)
// leaves the file as it was and no temporary file behind.
class DocumentSaveStream
{
public:
    // Removes the temporary files of killed saves and starts the writing;
    // DocumentFileError when the temporary file cannot be made.
    explicit DocumentSaveStream(const std::filesystem::path &file);
    ~DocumentSaveStream();
    DocumentSaveStream(const DocumentSaveStream &) = delete;
    DocumentSaveStream &operator=(const DocumentSaveStream &) = delete;

    // Cheap unless many records are new; blocks while the queue is full.
    void send(const Store &store);
    // Must see every record of the store: a store that lost or changed
    // records since a send is refused with std::logic_error.
    void commit(const Store &store);

private:
    class Writing;

    void sendNew(const Store &store);

    std::filesystem::path file_;
    std::unique_ptr<Writing> writing_;
    RecordId sentBelow_ = 0; // every record with a smaller id was sent
    std::size_t censusesSent_ = 0;
    std::size_t taxaSent_ = 0;
};

} // namespace quorvella
