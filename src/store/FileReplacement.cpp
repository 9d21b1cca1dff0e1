#include "store/FileReplacement.h"

#include "store/DocumentFileProblem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvella {
namespace {

namespace fs = std::filesystem;

std::string quoted(const fs::path &path)
{
    return "\"" + path.string() + "\"";
}

[[noreturn]] void failWithErrno(int error, const fs::path &folder)
{
    switch (error) {
    case EACCES:
    case EPERM:
        throw DocumentFileProblem("you do not have permission to write in the folder " +
                                  quoted(folder));
    case ENOENT:
    case ENOTDIR:
        throw DocumentFileProblem("the folder " + quoted(folder) + " does not exist");
    case ENOSPC:
    case EDQUOT:
        throw DocumentFileProblem("the disk is full");
    case EROFS:
        throw DocumentFileProblem("the disk is read-only");
    default:
        throw DocumentFileProblem(std::strerror(error));
    }
}

fs::path resolveLink(const fs::path &target)
{
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(target, error))) {
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (!error) {
            return resolved;
        }
    }
    return target;
}

void syncPath(const fs::path &path, int openFlags, const fs::path &folder)
{
    const int fd = ::open(path.c_str(), openFlags | O_CLOEXEC);
    if (fd < 0) {
        failWithErrno(errno, folder);
    }
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL) { // EINVAL: the file system cannot sync
        failWithErrno(error, folder);
    }
}

// The new file gets the old file's permissions, or for a new document those
// the user's umask gives a new file (mkstemp creates it readable by the owner
// only).
void takePermissions(const fs::path &temporary, const fs::path &target)
{
    std::error_code error;
    const fs::file_status old = fs::status(target, error);
    fs::perms permissions;
    if (!error && fs::exists(old)) {
        permissions = old.permissions();
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        permissions = static_cast<fs::perms>(0666 & ~mask);
    }
    fs::permissions(temporary, permissions, error); // best effort
}

constexpr std::string_view temporarySuffix = ".saving-";
constexpr std::size_t uniqueLetters = 6; // mkstemp's XXXXXX

// ".NAME.saving-" of ".NAME.saving-XXXXXX", hidden beside the document. A
// long NAME is cut (at a character boundary) so that the temporary name stays
// within the usual 255-byte limit of a file name.
std::string temporaryPrefix(std::string name)
{
    constexpr std::size_t longest = 200;
    if (name.size() > longest) {
        std::size_t cut = longest;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
            --cut; // do not split a UTF-8 sequence
        }
        name.resize(cut);
    }
    return "." + name + std::string(temporarySuffix);
}

bool isMkstempLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool isTemporaryNameOf(const std::string &file, const std::string &prefix)
{
    if (file.size() != prefix.size() + uniqueLetters || file.compare(0, prefix.size(), prefix)) {
        return false;
    }
    return std::all_of(file.begin() + static_cast<std::ptrdiff_t>(prefix.size()), file.end(),
                       isMkstempLetter);
}

// Whether path still names the file open as fd (it was not removed or
// replaced meanwhile).
bool namesOpenFile(const fs::path &path, int fd)
{
    struct stat named
    {
    };
    struct stat opened
    {
    };
    return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &opened) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// Removes a temporary file when no process holds its lock. The lock is held
// while removing, and a saver checks after locking that its file is still
// there, so a save that has just created the file is never robbed of it.
void removeIfUnheld(const fs::path &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        namesOpenFile(path, fd)) {
        ::unlink(path.c_str());
    }
    ::close(fd);
}

} // namespace

FileReplacement::FileReplacement(const fs::path &target) : target_(resolveLink(target))
{
    std::error_code error;
    if (fs::is_directory(target_, error)) {
        throw DocumentFileProblem("a folder of that name is in the way");
    }
    // Like QSaveFile: a write-protected document is not replaced behind its back.
    if (fs::exists(target_, error) && ::access(target_.c_str(), W_OK) != 0 &&
        (errno == EACCES || errno == EPERM)) {
        throw DocumentFileProblem("the file is write-protected");
    }
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    const std::string pattern = (folder / temporaryPrefix(target_.filename().string())).string() +
                                std::string(uniqueLetters, 'X');
    constexpr int attempts = 100;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const int fd = ::mkstemp(buffer.data());
        if (fd < 0) {
            failWithErrno(errno, folder);
        }
        // A file system without locks still saves, only without the
        // protection. Between mkstemp and flock another process's sweep may
        // have taken the unlocked file for a stale one; then make another.
        const bool locked = ::flock(fd, LOCK_EX) == 0;
        if (!locked || namesOpenFile(buffer.data(), fd)) {
            lockDescriptor_ = fd;
            temporary_ = buffer.data();
            return;
        }
        ::close(fd);
    }
    throw DocumentFileProblem("a temporary file could not be created in the folder " +
                              quoted(folder));
}

void FileReplacement::startWritingToDisk() const
{
#ifdef __linux__
    if (lockDescriptor_ >= 0) {
        ::sync_file_range(lockDescriptor_, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
#endif
}

FileReplacement::~FileReplacement()
{
    if (!committed_) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
    }
    if (lockDescriptor_ >= 0) {
        ::close(lockDescriptor_); // releases the lock
    }
}

void FileReplacement::removeStaleTemporaryFiles(const fs::path &target)
{
    const fs::path resolved = resolveLink(target);
    const fs::path folder = resolved.has_parent_path() ? resolved.parent_path() : fs::path(".");
    const std::string prefix = temporaryPrefix(resolved.filename().string());
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (isTemporaryNameOf(it->path().filename().string(), prefix)) {
            removeIfUnheld(it->path());
        }
    }
}

void FileReplacement::commit()
{
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    syncPath(temporary_, O_RDONLY, folder);
    takePermissions(temporary_, target_);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        failWithErrno(errno, folder);
    }
    committed_ = true;
    syncPath(folder, O_RDONLY | O_DIRECTORY, folder);
}

} // namespace quorvella
