#pragma once

// What a file looks like on disk: whether it exists, its identity (device
// and inode), size, modification time and, on request, a hash of its bytes.
// A document compares the state it last read or wrote with the present one
// to learn whether another program changed, replaced or removed its file.
// An atomic replacement changes the inode and the time but may keep the
// bytes; only the hash tells whether the content changed.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace quorvella {

struct DiskFileState
{
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    QByteArray contentHash; // empty when not read or unreadable

    // The state of path now; reads the whole file for the hash when withHash.
    static DiskFileState of(const QString &path, bool withHash);

    // Same file, size and time: nothing has touched the file since.
    bool sameMetadata(const DiskFileState &other) const;
    // Same bytes (both hashed), or both absent.
    bool sameContent(const DiskFileState &other) const;
};

} // namespace quorvella
