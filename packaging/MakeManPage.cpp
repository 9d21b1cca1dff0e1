// Writes the manual page of `quorvella` or `quorvella-cli`, made from the
// program's own --help text, to standard output.
// Usage: quorvella-make-manpage (quorvella | quorvella-cli) SOURCE DATE

#include "ManPage.h"
#include "app/ProgramHelp.h"
#include "cli/HelpText.h"

#include <cstdio>
#include <string>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: quorvella-make-manpage (quorvella | quorvella-cli) SOURCE DATE\n",
                   stderr);
        return 2;
    }
    const std::string program = argv[1];
    std::string help;
    if (program == "quorvella")
        help = quorvella::programHelpText();
    else if (program == "quorvella-cli")
        help = quorvella::cli::helpText();
    else {
        std::fprintf(stderr, "quorvella-make-manpage: no manual for %s\n", argv[1]);
        return 2;
    }
    const std::string page =
        quorvella::packaging::manPageFromHelp({program, 1, argv[2], argv[3]}, help);
    return std::fwrite(page.data(), 1, page.size(), stdout) == page.size() ? 0 : 1;
}
