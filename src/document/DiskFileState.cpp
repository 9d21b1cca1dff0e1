#include "document/DiskFileState.h"

#include <QFile>
#include <memory>
#include <openssl/evp.h>
#include <sys/stat.h>

namespace quorvella {
namespace {

// SHA-256 through libcrypto, which uses the processor's SHA instructions
// where it has them: a large document hashes in a tenth of the time Qt's
// portable implementation takes, so the hash hardly adds to an open.
QByteArray hashOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return {};
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(buffer.data(), buffer.size());
        if (read < 0)
            return {};
        if (read == 0)
            break;
        if (EVP_DigestUpdate(context.get(), buffer.constData(), static_cast<std::size_t>(read)) !=
            1)
            return {};
    }
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(context.get(), reinterpret_cast<unsigned char *>(digest.data()),
                           &size) != 1)
        return {};
    digest.truncate(static_cast<qsizetype>(size));
    return digest;
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
