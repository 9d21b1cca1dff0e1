#include "document/DiskFileState.h"

#include <QCryptographicHash>
#include <QFile>
#include <sys/stat.h>

namespace quorvella {
namespace {

QByteArray hashOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

} // namespace

DiskFileState DiskFileState::of(const QString &path, bool withHash)
{
    DiskFileState state;
    struct stat info
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return state;
    state.exists = true;
    state.device = static_cast<std::uint64_t>(info.st_dev);
    state.inode = static_cast<std::uint64_t>(info.st_ino);
    state.size = static_cast<std::int64_t>(info.st_size);
    state.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                       static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    if (withHash)
        state.contentHash = hashOfFile(path);
    return state;
}

bool DiskFileState::sameMetadata(const DiskFileState &other) const
{
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modifiedNs == other.modifiedNs;
}

bool DiskFileState::sameContent(const DiskFileState &other) const
{
    if (!exists || !other.exists)
        return exists == other.exists;
    return !contentHash.isEmpty() && contentHash == other.contentHash;
}

} // namespace quorvella
