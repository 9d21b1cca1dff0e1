#pragma once

// Shared helpers of the textio fuzz targets.

#include "log/Log.h"
#include "textio/ImportMessages.h"
#include "textio/ImportValidation.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quorvella::fuzz {

inline std::string_view asText(const std::uint8_t *data, std::size_t size)
{
    return {reinterpret_cast<const char *>(data), size};
}

// Stops the run with a message: libFuzzer records the input that caused it.
[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

inline void require(bool condition, const char *what)
{
    if (!condition) {
        fail(what);
    }
}

// Counts the log lines written, and keeps them off the fuzzer's output.
inline std::size_t &logLineCount()
{
    static std::size_t count = 0;
    return count;
}

inline void captureLogLines()
{
    setLogSink([](std::string_view) { ++logLineCount(); });
}

// Every fault a validator names is one of the import alert's texts.
inline void requireKnownFault(const ValidationResult &result)
{
    if (result.isValid()) {
        return;
    }
    namespace msg = importmessages;
    for (const std::string_view known :
         {msg::notANumber, msg::zeroOrNegative, msg::decimal, msg::abundanceMissing,
          msg::taxonNameMissing, msg::negative, msg::tooManyAbundances, msg::tooFewAbundances, msg::noSpecies}) {
        if (*result.fault == known) {
            return;
        }
    }
    fail("a validator answered a fault text of its own");
}

} // namespace quorvella::fuzz
