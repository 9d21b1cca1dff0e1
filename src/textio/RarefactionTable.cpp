#include "textio/RarefactionTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quorvella {

namespace {

// glibc writes a not-a-number with its sign bit set (the result of 0/0) as
// "-nan"; the table shows every not-a-number alike, as "nan".
double unsignedNan(double value)
{
    return std::isnan(value) ? std::fabs(value) : value;
}

// Room for the widest "%8.3f" of a double: 309 digits, sign, point, decimals.
constexpr std::size_t fieldBufferSize = 400;

void appendNumber(std::string &text, double value)
{
    char field[fieldBufferSize];
    const int length = std::snprintf(field, sizeof field, ",%8.3f", unsignedNan(value));
    text.append(field, static_cast<std::size_t>(length));
}

} // namespace

std::string rarefactionTableText(std::span<const Rarefaction> points)
{
    std::string text = "n,E,Var,lower95,upper95,lower99,upper99\r";
    text.reserve(text.size() + points.size() * 64);
    for (const Rarefaction &point : points) {
        char sampleSize[32];
        const int length = std::snprintf(sampleSize, sizeof sampleSize, "%8d",
                                         static_cast<int>(point.theSampleSize));
        text.append(sampleSize, static_cast<std::size_t>(length));
        for (const double value : {point.theE, point.theVar, point.lower95, point.upper95,
                                   point.lower99, point.upper99}) {
            appendNumber(text, value);
        }
        text += '\r';
    }
    return text;
}

std::string chao2FieldText(double estimate)
{
    char text[fieldBufferSize];
    const int length = std::snprintf(text, sizeof text, "Chao-2: %6.2f", unsignedNan(estimate));
    return std::string(text, static_cast<std::size_t>(std::max(length, 0)));
}

} // namespace quorvella
