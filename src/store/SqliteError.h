#pragma once

#include <stdexcept>
#include <string>

namespace quorvella {

// A failed SQLite call: the primary result code (SQLITE_FULL, SQLITE_NOTADB,
// ...), SQLite's own message and the errno behind an I/O failure.
// DocumentFile turns it into a sentence.
class SqliteError : public std::runtime_error
{
public:
    SqliteError(int code, const std::string &message, int systemError = 0)
        : std::runtime_error(message), code_(code & 0xff), systemError_(systemError)
    {
    }

    int code() const { return code_; }
    // The errno of the failed system call behind an I/O failure, or 0.
    int systemError() const { return systemError_; }

private:
    int code_;
    int systemError_;
};

} // namespace quorvella
