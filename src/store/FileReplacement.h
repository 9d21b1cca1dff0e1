#pragma once

#include <filesystem>

namespace quorvella {

// Replaces a file atomically: the new content is written to a temporary file
// in the same folder, which commit() syncs to the disk and renames over the
// target, then syncs the folder. Until commit() succeeds the target is
// untouched; a replacement that is never committed removes its temporary
// file. A symbolic link as target is followed, so the link stays a link.
// Failures throw DocumentFileProblem with a reason clause.
class FileReplacement
{
public:
    explicit FileReplacement(const std::filesystem::path &target);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    const std::filesystem::path &temporaryPath() const { return temporary_; }
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};

} // namespace quorvella
