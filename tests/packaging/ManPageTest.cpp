// The manual page made from a --help text: headings become sections, the
// NAME section the one whatis line, every other line is kept in place with
// the characters roff would misread escaped.

#include "ManPage.h"

#include "app/ProgramHelp.h"
#include "cli/HelpText.h"

#include <gtest/gtest.h>

namespace quorvella::packaging {
namespace {

const ManPageTitle kTitle{"tool", 1, "Quorvella 1.2.3", "2026-12-08"};
const std::string kHeader =
    ".TH \"TOOL\" \"1\" \"2026-12-08\" \"Quorvella 1.2.3\" \"User Commands\"\n";

struct Case
{
    const char *what;
    const char *help;
    const char *body; // the page after its .TH line
};

TEST(ManPage, TurnsHelpTextIntoRoff)
{
    const Case cases[] = {
        {"NAME joined into one whatis line", "NAME\n    tool - does one\n    thing well\n\n",
         ".SH NAME\ntool \\- does one thing well\n"},
        {"body keeps its lines, less the four-space indent",
         "OPTIONS\n    --json      print JSON\n                more\n",
         ".SH OPTIONS\n.nf\n\\-\\-json      print JSON\n            more\n.fi\n"},
        {"blank lines inside a section stay, trailing ones go",
         "A\n    one\n\n    two\n\n\nB\n    three\n",
         ".SH A\n.nf\none\n\ntwo\n.fi\n.SH B\n.nf\nthree\n.fi\n"},
        {"backslash and a leading dot or quote cannot act as roff",
         "EXAMPLES\n    a\\b\n    .hidden\n    'quoted'\n",
         ".SH EXAMPLES\n.nf\na\\eb\n\\&.hidden\n\\&'quoted'\n.fi\n"},
        {"two-word headings; text before the first heading is left out",
         "stray\nEXIT STATUS\n    0   success\n", ".SH EXIT STATUS\n.nf\n0   success\n.fi\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(manPageFromHelp(kTitle, c.help), kHeader + c.body) << c.what;
}

TEST(ManPage, ProgramsHaveTheirWhatisLineAndEverySection)
{
    const std::string cli = manPageFromHelp({"quorvella-cli", 1, "Q", "D"}, cli::helpText());
    EXPECT_NE(cli.find(".SH NAME\nquorvella\\-cli \\- diversity measures and rarefaction of "
                       "counted collections, from the command line\n"),
              std::string::npos);
    const std::string app = manPageFromHelp({"quorvella", 1, "Q", "D"}, programHelpText());
    EXPECT_NE(app.find(".SH NAME\nquorvella \\- diversity measures"), std::string::npos);
    for (const char *section : {"SYNOPSIS", "DESCRIPTION", "OPTIONS"}) {
        EXPECT_NE(cli.find(std::string(".SH ") + section + "\n"), std::string::npos) << section;
        EXPECT_NE(app.find(std::string(".SH ") + section + "\n"), std::string::npos) << section;
    }
}

} // namespace
} // namespace quorvella::packaging
