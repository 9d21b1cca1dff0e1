#include "store/DocumentFile.h"

#include "store/DocumentFileFailure.h"
#include "store/DocumentFileProblem.h"
#include "store/DocumentReader.h"
#include "store/DocumentWriter.h"
#include "store/FileReplacement.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteError.h"

#include <cerrno>
#include <exception>
#include <future>
#include <new>
#include <optional>
#include <sqlite3.h>

namespace quorvella {
namespace {

namespace fs = std::filesystem;

std::string sentence(DocumentFileError::Action action, const fs::path &file,
                     const std::string &reason)
{
    if (action == DocumentFileError::Action::Open) {
        return "The document \"" + file.string() + "\" could not be opened: " + reason + ".";
    }
    return "The document could not be saved as \"" + file.string() + "\": " + reason + ".";
}

// A reason before SQLite is asked, from what the file system says.
void checkReadable(const fs::path &file)
{
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (!fs::exists(status)) {
        throw DocumentFileProblem("the file does not exist");
    }
    if (fs::is_directory(status)) {
        throw DocumentFileProblem("it is a folder, not a document");
    }
    if (!fs::is_regular_file(status)) { // a pipe or a device could block or never end
        throw DocumentFileProblem("it is not a regular file");
    }
    if (fs::file_size(file, error) == 0 && !error) {
        throw DocumentFileProblem("the file is empty");
    }
}

bool isCancellation(const std::exception_ptr &failure)
{
    try {
        if (failure) {
            std::rethrow_exception(failure);
        }
    } catch (const DocumentOpenCancelled &) {
        return true;
    } catch (...) {
    }
    return false;
}

// Waits for the structure check running on `connection`. Cancelled (before,
// or by the hook, asked meanwhile), it interrupts the check, again until it
// ends (an interrupt before the check's statement starts is lost), and the
// open ends with DocumentOpenCancelled whatever the check found.
void finishIntegrityCheck(std::future<void> &check, const SqliteDatabase &connection,
                          const OpenCancelHook &cancelled, bool stop)
{
    if (!waitAskingCancelHook(check, cancelled, stop, [&] { connection.interrupt(); })) {
        check.get();
        return;
    }
    try {
        check.get();
    } catch (...) { // interrupted, or what it found does not matter any more
    }
    throw DocumentOpenCancelled();
}

} // namespace

DocumentFileError::DocumentFileError(Action action, fs::path file, std::string reason)
    : std::runtime_error(sentence(action, file, reason)), action_(action), file_(std::move(file)),
      reason_(std::move(reason))
{}

Store DocumentFile::load(const fs::path &file, const OpenCancelHook &cancelled)
{
    return reportingFailures(DocumentFileError::Action::Open, file, [&] {
        FileReplacement::removeStaleTemporaryFiles(file);
        checkReadable(file);
        SqliteDatabase db(file, SqliteDatabase::Mode::ReadOnly);
        const SqliteDatabase laterHalf(file, SqliteDatabase::Mode::ReadOnly);
        DocumentReader reader(db, cancelled, &laterHalf);
        reader.checkIdentity();
        // The structure check and the reading each take a core; a damaged
        // file is reported by the check, whatever the reading met. The
        // second connection outlives the check, so it can be interrupted.
        const SqliteDatabase second(file, SqliteDatabase::Mode::ReadOnly);
        std::future<void> integrity =
            std::async(std::launch::async, [&second] { DocumentReader(second).checkIntegrity(); });
        std::optional<Store> store;
        std::exception_ptr readFailure;
        try {
            store = reader.readRecords();
        } catch (...) {
            readFailure = std::current_exception();
        }
        finishIntegrityCheck(integrity, second, cancelled, isCancellation(readFailure));
        if (readFailure) {
            std::rethrow_exception(readFailure);
        }
        store->setModified(false);
        return std::move(*store);
    });
}

void DocumentFile::save(const Store &store, const fs::path &file)
{
    reportingFailures(DocumentFileError::Action::Save, file, [&] {
        FileReplacement::removeStaleTemporaryFiles(file);
        FileReplacement replacement(file);
        {
            SqliteDatabase db(replacement.temporaryPath(), SqliteDatabase::Mode::ReadWrite);
            DocumentWriter::write(db, store, replacement);
            db.close();
        }
        replacement.commit();
    });
}

} // namespace quorvella
