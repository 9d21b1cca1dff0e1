#include "cli/JsonWriter.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace quorvella::cli {
namespace {

struct NumberCase
{
    double value;
    const char *text;
};

TEST(JsonWriter, NumbersRoundTripAndNonFiniteBecomeStrings)
{
    const double inf = std::numeric_limits<double>::infinity();
    const NumberCase cases[] = {
        {0.0, "0"},
        {-0.0, "-0"},
        {5.0, "5"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.3333333333333333"},
        {static_cast<double>(0.830848f), "0.830847978591919"},
        {1e300, "1e+300"},
        {5e-324, "5e-324"},
        {inf, "\"inf\""},
        {-inf, "\"-inf\""},
        {std::numeric_limits<double>::quiet_NaN(), "\"nan\""},
    };
    for (const NumberCase &c : cases) {
        const std::string text = JsonWriter::numberText(c.value);
        EXPECT_EQ(text, c.text);
        if (text.front() != '"') {
            EXPECT_EQ(std::strtod(text.c_str(), nullptr), c.value) << text;
        }
    }
}

struct StringCase
{
    std::string value;
    std::string json;
};

TEST(JsonWriter, EscapesStrings)
{
    const StringCase cases[] = {
        {"plain", "\"plain\""},
        {"quote \" and \\", "\"quote \\\" and \\\\\""},
        {"line\nend\r\ttab", "\"line\\nend\\r\\ttab\""},
        {std::string("nul\0bell\x07", 9), "\"nul\\u0000bell\\u0007\""},
        {"Glob\xc3\xadgerina", "\"Glob\xc3\xadgerina\""},
    };
    for (const StringCase &c : cases) {
        JsonWriter writer;
        writer.value(c.value);
        EXPECT_EQ(writer.finish(), c.json + "\n");
    }
}

TEST(JsonWriter, NestsObjectsAndArraysWithIndentation)
{
    JsonWriter writer;
    writer.beginObject();
    writer.key("chao2");
    writer.value(3.5);
    writer.key("curve");
    writer.beginArray();
    writer.beginObject();
    writer.key("n");
    writer.value(std::int32_t{1});
    writer.endObject();
    writer.endArray();
    writer.key("none");
    writer.beginArray();
    writer.endArray();
    writer.endObject();
    EXPECT_EQ(writer.finish(), "{\n"
                               "  \"chao2\": 3.5,\n"
                               "  \"curve\": [\n"
                               "    {\n"
                               "      \"n\": 1\n"
                               "    }\n"
                               "  ],\n"
                               "  \"none\": []\n"
                               "}\n");
}

} // namespace
} // namespace quorvella::cli
