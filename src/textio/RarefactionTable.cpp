#include "textio/RarefactionTable.h"

#include "textio/NumberText.h"

namespace quorvella {

namespace {

// Each field is right-aligned in at least eight characters ("%8d", "%8.3f").
constexpr std::size_t fieldWidth = 8;

void appendNumber(std::string &text, double value)
{
    text += ',';
    text += padLeft(fixedText(value, 3), fieldWidth);
}

} // namespace

std::string rarefactionTableText(std::span<const Rarefaction> points)
{
    std::string text = "n,E,Var,lower95,upper95,lower99,upper99\r";
    text.reserve(text.size() + points.size() * 64);
    for (const Rarefaction &point : points) {
        text += padLeft(integerText(point.theSampleSize), fieldWidth);
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
    return "Chao-2: " + padLeft(fixedText(estimate, 2), 6);
}

} // namespace quorvella
