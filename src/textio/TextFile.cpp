#include "textio/TextFile.h"

#include "textio/NumberText.h"
#include "textio/Utf8.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace quorvella {
namespace {

std::string quoted(const std::filesystem::path &path)
{
    return "\u201C" + path.string() + "\u201D";
}

std::string systemReason(int error)
{
    return std::strerror(error);
}

std::string describeSize(std::uintmax_t bytes)
{
    const double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
    if (megabytes >= 1024.0) {
        return fixedText(megabytes / 1024.0, 1) + " GB";
    }
    return fixedText(megabytes, 0) + " MB";
}

// Closes a POSIX file descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor()
    {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return descriptor_; }
    // Closes now, reporting the error of close itself (a delayed write error).
    int close()
    {
        const int result = ::close(descriptor_);
        descriptor_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int descriptor_;
};

TextFileResult readFailure(std::string error)
{
    return {std::nullopt, std::move(error)};
}

// The pages of a large file's text are made before the reading, half on
// each of two threads, instead of one fault per page as the reading reaches
// them: most of the time a large file takes to read. Only a hint: a system
// without it reads as before.
void preparePages(std::string &bytes)
{
    constexpr std::size_t largeFile = std::size_t(4) << 20;
    const long page = ::sysconf(_SC_PAGESIZE);
    if (bytes.capacity() < largeFile || page <= 0) {
        return;
    }
    const auto pageSize = static_cast<std::uintptr_t>(page);
    const auto begin = reinterpret_cast<std::uintptr_t>(bytes.data());
    const std::uintptr_t first = (begin + pageSize - 1) / pageSize * pageSize;
    const std::uintptr_t end = (begin + bytes.capacity()) / pageSize * pageSize;
    const std::uintptr_t middle = first + (end - first) / 2 / pageSize * pageSize;
    const auto populate = [](std::uintptr_t from, std::uintptr_t to) {
        ::madvise(reinterpret_cast<void *>(from), to - from, MADV_POPULATE_WRITE);
    };
    std::jthread later;
    try {
        later = std::jthread(populate, middle, end);
    } catch (const std::system_error &) { // no thread to be had: this one does it all
        populate(middle, end);
    }
    populate(first, middle);
}

// How the reading of a file ended, and the offset of its first byte that is
// not UTF-8, if any: each piece is checked as it comes in, while it is in
// the cache.
struct FileBytes
{
    int error = 0;
    std::optional<std::size_t> invalidUtf8;
};

// Reads exactly size bytes, or fewer when the file shrinks meanwhile.
FileBytes readAll(int descriptor, std::string &bytes, std::uintmax_t maxBytes)
{
    char chunk[65536];
    Utf8Progress checked;
    while (true) {
        const ssize_t count = ::read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return {errno, std::nullopt};
        }
        if (count == 0) {
            if (!checked.invalid) {
                checked = findInvalidUtf8From(bytes, checked.next, false);
            }
            return {0, checked.invalid};
        }
        if (bytes.size() + static_cast<std::size_t>(count) > maxBytes) {
            return {EFBIG, std::nullopt}; // the file grew past the limit while being read
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
        if (!checked.invalid) {
            checked = findInvalidUtf8From(bytes, checked.next, true);
        }
    }
}

} // namespace

TextFileResult readTextFile(const std::filesystem::path &path, std::uintmax_t maxBytes)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return readFailure("The file " + quoted(path) +
                           " could not be opened: " + systemReason(errno) + ".");
    }
    struct stat status
    {
    };
    if (::fstat(file.get(), &status) != 0) {
        return readFailure("The file " + quoted(path) +
                           " could not be read: " + systemReason(errno) + ".");
    }
    if (!S_ISREG(status.st_mode)) {
        return readFailure("The file " + quoted(path) + " could not be read: it is not a file.");
    }
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    const std::string tooLarge = "The file " + quoted(path) +
                                 " could not be read: it is larger than " + describeSize(maxBytes) +
                                 ", the largest file Quorvella imports (a larger one could "
                                 "need more memory than a computer has).";
    if (size > maxBytes) {
        return readFailure(tooLarge);
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    preparePages(bytes);
    const FileBytes read = readAll(file.get(), bytes, maxBytes);
    if (read.error) {
        return readFailure(read.error == EFBIG
                               ? tooLarge
                               : "The file " + quoted(path) +
                                     " could not be read: " + systemReason(read.error) + ".");
    }
    // Checked in place: a copy would double the memory a large file takes.
    if (read.invalidUtf8) {
        return readFailure("The file " + quoted(path) + " could not be read. " +
                           decodeUtf8(bytes).error);
    }
    dropByteOrderMark(bytes);
    return {std::move(bytes), {}};
}

namespace {

WriteResult writeFailure(const std::filesystem::path &path, const std::string &reason)
{
    return {false, "The file " + quoted(path) + " could not be written: " + reason + "."};
}

// Creates a new file next to target with an unused name; the usual
// permissions (0666 less the umask) apply to it.
int createTemporaryFile(const std::filesystem::path &target, std::filesystem::path &temporary)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target;
        temporary.replace_filename("." + target.filename().string() + "." + hexText(random(), 16) +
                                   ".tmp");
        const int descriptor =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    errno = EEXIST;
    return -1;
}

int writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return 0;
}

// A replaced file keeps its permission bits.
int keepPermissionsOf(const std::filesystem::path &target, int descriptor)
{
    struct stat status
    {
    };
    if (::stat(target.c_str(), &status) != 0) {
        return errno == ENOENT ? 0 : errno;
    }
    return ::fchmod(descriptor, status.st_mode & 07777) == 0 ? 0 : errno;
}

int writeAndSync(FileDescriptor &file, const std::filesystem::path &target, std::string_view bytes)
{
    if (const int error = writeAll(file.get(), bytes)) {
        return error;
    }
    if (const int error = keepPermissionsOf(target, file.get())) {
        return error;
    }
    if (::fsync(file.get()) != 0) {
        return errno;
    }
    return file.close();
}

// Makes the rename itself durable; a folder that cannot be synced is no error.
void syncFolder(const std::filesystem::path &folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

} // namespace

WriteResult writeFileAtomically(const std::filesystem::path &path, std::string_view bytes)
{
    if (path.filename().empty()) {
        return writeFailure(path, "the name is not a file name");
    }
    std::filesystem::path temporary;
    FileDescriptor file(createTemporaryFile(path, temporary));
    if (file.get() < 0) {
        return writeFailure(path, systemReason(errno));
    }
    if (const int error = writeAndSync(file, path, bytes)) {
        ::unlink(temporary.c_str());
        return writeFailure(path, systemReason(error));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return writeFailure(path, systemReason(error));
    }
    const std::filesystem::path folder = path.parent_path();
    syncFolder(folder.empty() ? std::filesystem::path(".") : folder);
    return WriteResult::success();
}

} // namespace quorvella
