#pragma once

// Turns a program's --help text into a manual page in roff, so that the
// manual and --help can never say different things.
//
// The help text is laid out as a manual already: section headings in
// capitals at the start of a line, everything else indented by four
// spaces. The page keeps that layout line for line (no-fill mode), with
// the NAME section joined into the one "name \- summary" line that
// whatis and apropos read.

#include <string>
#include <string_view>

namespace quorvella::packaging {

struct ManPageTitle
{
    std::string name;   // "quorvella-cli"
    int section = 1;    // 1: user commands
    std::string source; // "Quorvella 0.1.0"
    std::string date;   // "2026-12-08"
};

std::string manPageFromHelp(const ManPageTitle &title, std::string_view helpText);

} // namespace quorvella::packaging
