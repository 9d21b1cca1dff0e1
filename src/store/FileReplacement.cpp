#include "store/FileReplacement.h"

#include "store/DocumentFileProblem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
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

// ".NAME.saving-XXXXXX", hidden beside the document. A long NAME is cut (at a
// character boundary) so that the temporary name stays within the usual
// 255-byte limit of a file name.
std::string temporaryName(std::string name)
{
    constexpr std::size_t longest = 200;
    if (name.size() > longest) {
        std::size_t cut = longest;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
            --cut; // do not split a UTF-8 sequence
        }
        name.resize(cut);
    }
    return "." + name + ".saving-XXXXXX";
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
    const std::string pattern = (folder / temporaryName(target_.filename().string())).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        failWithErrno(errno, folder);
    }
    ::close(fd);
    temporary_ = buffer.data();
}

FileReplacement::~FileReplacement()
{
    if (!committed_) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
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
