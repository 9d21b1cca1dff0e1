#include "cli/JsonWriter.h"

#include "textio/NumberText.h"
#include "textio/Utf8.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace quorvella::cli {

std::string JsonWriter::numberText(double number)
{
    if (std::isnan(number)) {
        return "\"nan\"";
    }
    if (std::isinf(number)) {
        return number > 0 ? "\"inf\"" : "\"-inf\"";
    }
    return shortestText(number);
}

void JsonWriter::beginObject()
{
    open('{');
}

void JsonWriter::endObject()
{
    close('}');
}

void JsonWriter::beginArray()
{
    open('[');
}

void JsonWriter::endArray()
{
    close(']');
}

void JsonWriter::key(std::string_view name)
{
    beforeValue();
    appendString(name);
    text_ += ": ";
    afterKey_ = true;
}

void JsonWriter::value(double number)
{
    beforeValue();
    text_ += numberText(number);
}

void JsonWriter::value(std::int64_t number)
{
    beforeValue();
    text_ += integerText(number);
}

void JsonWriter::value(std::string_view text)
{
    beforeValue();
    appendString(text);
}

void JsonWriter::null()
{
    beforeValue();
    text_ += "null";
}

std::string JsonWriter::finish() const
{
    return text_ + '\n';
}

void JsonWriter::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty()) {
        return;
    }
    if (!empty_.back()) {
        text_ += ',';
    }
    empty_.back() = false;
    newLine();
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    text_ += bracket;
    empty_.push_back(true);
}

void JsonWriter::close(char bracket)
{
    const bool wasEmpty = empty_.back();
    empty_.pop_back();
    if (!wasEmpty) {
        newLine();
    }
    text_ += bracket;
}

void JsonWriter::newLine()
{
    text_ += '\n';
    text_.append(2 * empty_.size(), ' ');
}

void JsonWriter::appendString(std::string_view text)
{
    text_ += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            // Well-formed UTF-8 passes as it is; a stray byte would make the
            // document invalid, so it becomes the replacement character.
            const std::size_t length = utf8SequenceLengthAt(text, i);
            if (length == 0) {
                text_ += "\\ufffd";
                ++i;
            } else {
                text_.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        appendAsciiCharacter(static_cast<char>(byte));
        ++i;
    }
    text_ += '"';
}

void JsonWriter::appendAsciiCharacter(char c)
{
    switch (c) {
    case '"':
        text_ += "\\\"";
        break;
    case '\\':
        text_ += "\\\\";
        break;
    case '\n':
        text_ += "\\n";
        break;
    case '\r':
        text_ += "\\r";
        break;
    case '\t':
        text_ += "\\t";
        break;
    default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            text_ += "\\u" + hexText(static_cast<unsigned char>(c), 4);
        } else {
            text_ += c;
        }
    }
}

} // namespace quorvella::cli
