#pragma once

// Builds one JSON document as text, indented two spaces per level.
// Numbers carry the shortest digits that read back as the same double;
// infinities and not-a-number, which JSON cannot hold as numbers, are
// written as the strings "inf", "-inf" and "nan".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvella::cli {

class JsonWriter
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    // The key of the next value inside an object.
    void key(std::string_view name);

    void value(double number);
    void value(std::int64_t number);
    void value(std::int32_t number) { value(static_cast<std::int64_t>(number)); }
    void value(std::string_view text);
    void value(const char *text) { value(std::string_view(text)); }
    void null();

    // The finished document, ended by a line feed.
    std::string finish() const;

    // A number as the writer spells it (exposed for the tests).
    static std::string numberText(double number);

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newLine();
    void appendString(std::string_view text);
    void appendAsciiCharacter(char c);

    std::string text_;
    // One entry per open container: true while it has no element yet.
    std::vector<bool> empty_;
    bool afterKey_ = false;
};

} // namespace quorvella::cli
