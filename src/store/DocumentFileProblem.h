#pragma once

#include <stdexcept>

namespace quorvella {

// Raised inside the store's file code with a reason clause ("it is damaged
// (...)"); DocumentFile adds the file name and the action and rethrows it as
// DocumentFileError.
class DocumentFileProblem : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace quorvella
