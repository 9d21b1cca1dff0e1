#pragma once

// Turns a table row's label into a GoogleTest parameter name.

#include <cctype>
#include <string>

namespace quorvella::testing {

inline std::string rowName(const char *label)
{
    std::string name = label;
    for (char &c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

} // namespace quorvella::testing

namespace quorvella::testing {

// Names each row of a parameterised test after its label field.
struct LabelName
{
    template <typename ParamInfo> std::string operator()(const ParamInfo &row) const
    {
        return rowName(row.param.label);
    }
};

} // namespace quorvella::testing
