#include "store/DocumentFileFailure.h"

#include "store/DocumentFileProblem.h"
#include "store/SqliteError.h"

#include <cerrno>
#include <new>
#include <sqlite3.h>
#include <string>

namespace quorvella {
namespace {

std::string reasonFor(DocumentFileError::Action action, const SqliteError &error)
{
    const std::string detail = error.what();
    switch (error.systemError()) {
    case ENOSPC:
    case EDQUOT:
        return "the disk is full";
    case EFBIG:
        return "the file would be larger than this system allows";
    case EACCES:
    case EPERM:
        return "you do not have permission (" + detail + ")";
    default:
        break;
    }
    switch (error.code()) {
    case SQLITE_NOTADB:
        return "it is not a Quorvella document (the file is not an SQLite database)";
    case SQLITE_CORRUPT:
        return "it is damaged (" + detail + ")";
    case SQLITE_FULL:
        return "the disk is full";
    case SQLITE_NOMEM:
        return "there is not enough memory";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "another program is using it";
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_READONLY:
        return "you do not have permission (" + detail + ")";
    case SQLITE_CANTOPEN:
        return "it cannot be opened (" + detail + ")";
    case SQLITE_IOERR:
        return action == DocumentFileError::Action::Open
                   ? "reading it from the disk failed (" + detail + ")"
                   : "writing to the disk failed (" + detail + ")";
    default:
        return detail;
    }
}

} // namespace

void rethrowAsDocumentFileError(DocumentFileError::Action action, const std::filesystem::path &file)
{
    try {
        throw;
    } catch (const DocumentFileProblem &problem) {
        throw DocumentFileError(action, file, problem.what());
    } catch (const SqliteError &error) {
        throw DocumentFileError(action, file, reasonFor(action, error));
    } catch (const std::filesystem::filesystem_error &error) {
        throw DocumentFileError(action, file, error.code().message());
    } catch (const std::bad_alloc &) {
        throw DocumentFileError(action, file, "there is not enough memory");
    }
}

} // namespace quorvella
