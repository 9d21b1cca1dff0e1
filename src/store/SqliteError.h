#pragma once

#include <stdexcept>
#include <string>

namespace quorvella {

// A failed SQLite call: the primary result code (SQLITE_FULL, SQLITE_NOTADB,
// ...) and SQLite's own message. DocumentFile turns it into a sentence.
class SqliteError : public std::runtime_error
{
public:
    SqliteError(int code, const std::string &message)
        : std::runtime_error(message), code_(code & 0xff)
    {}

    int code() const { return code_; }

private:
    int code_;
};

} // namespace quorvella
