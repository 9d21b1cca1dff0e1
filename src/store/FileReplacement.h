#pragma once

#include <filesystem>

namespace quorvella {

// Replaces a file atomically: the new content is written to a temporary file
// in the same folder, which commit() syncs to the disk and renames over the
// target, then syncs the folder. Until commit() succeeds the target is
// untouched; a replacement that is never committed removes its temporary
// file. A symbolic link as target is followed, so the link stays a link.
// Failures throw DocumentFileProblem with a reason clause.
//
// The temporary file holds an exclusive advisory lock (flock) from its
// creation until it is renamed or removed, so that a save killed half-way
// (its lock goes with the process) can be told from a save in progress in
// another process: removeStaleTemporaryFiles() removes only the former.
class FileReplacement
{
public:
    explicit FileReplacement(const std::filesystem::path &target);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    const std::filesystem::path &temporaryPath() const { return temporary_; }
    // Starts writing what the temporary file holds so far to the disk and
    // returns at once, so the sync in commit() waits only for the rest. For
    // a long save, now and then from the thread that writes; best effort.
    void startWritingToDisk() const;
    void commit();

    // Removes the temporary files that earlier saves of target left behind
    // (".NAME.saving-XXXXXX" beside it) and no process holds. Best effort:
    // a file that cannot be checked or removed stays.
    static void removeStaleTemporaryFiles(const std::filesystem::path &target);

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int lockDescriptor_ = -1;
    bool committed_ = false;
};

} // namespace quorvella
