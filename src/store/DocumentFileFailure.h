#pragma once

#include "store/DocumentFile.h"

#include <filesystem>

namespace quorvella {

// Turns the exception being handled (a DocumentFileProblem, SqliteError,
// filesystem error or bad_alloc) into DocumentFileError for the action on the
// file; any other exception goes on as it is. Call only inside a catch block.
[[noreturn]] void rethrowAsDocumentFileError(DocumentFileError::Action action,
                                             const std::filesystem::path &file);

// Runs work(), reporting its failures as DocumentFileError.
template <typename Work>
auto reportingFailures(DocumentFileError::Action action, const std::filesystem::path &file,
                       Work work)
{
    try {
        return work();
    } catch (...) {
        rethrowAsDocumentFileError(action, file);
    }
}

} // namespace quorvella
