#include "ManPage.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace quorvella::packaging {
namespace {

constexpr std::size_t kBodyIndent = 4;

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool isHeading(std::string_view line)
{
    const auto upperOrSpace = [](char c) {
        return c == ' ' || std::isupper(static_cast<unsigned char>(c)) != 0;
    };
    return !line.empty() && line.front() != ' ' &&
           std::all_of(line.begin(), line.end(), upperOrSpace);
}

std::string_view withoutIndent(std::string_view line)
{
    std::size_t spaces = 0;
    while (spaces < kBodyIndent && spaces < line.size() && line[spaces] == ' ')
        ++spaces;
    return line.substr(spaces);
}

// Backslashes and hyphens escaped; a line that would read as a request
// (leading '.' or '\'') is protected by a zero-width character.
std::string roffText(std::string_view text)
{
    std::string out;
    if (!text.empty() && (text.front() == '.' || text.front() == '\''))
        out += "\\&";
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// "quorvella-cli - what it does" on several lines becomes one line, with
// the separating dash as the roff minus that whatis expects.
std::string nameLine(const std::vector<std::string_view> &body)
{
    std::string joined;
    for (std::string_view line : body) {
        line = withoutIndent(line);
        while (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
        if (line.empty())
            continue;
        if (!joined.empty())
            joined += ' ';
        joined += line;
    }
    const std::size_t dash = joined.find(" - ");
    if (dash == std::string::npos)
        return roffText(joined);
    return roffText(joined.substr(0, dash)) + " \\- " + roffText(joined.substr(dash + 3));
}

} // namespace

std::string manPageFromHelp(const ManPageTitle &title, std::string_view helpText)
{
    std::string page = ".TH \"" + upper(title.name) + "\" \"" + std::to_string(title.section) +
                       "\" \"" + title.date + "\" \"" + title.source + "\" \"User Commands\"\n";
    const std::vector<std::string_view> lines = splitLines(helpText);
    std::size_t i = 0;
    while (i < lines.size()) {
        if (!isHeading(lines[i])) {
            ++i; // text before the first heading has no place in a manual
            continue;
        }
        const std::string_view heading = lines[i++];
        std::vector<std::string_view> body;
        while (i < lines.size() && !isHeading(lines[i]))
            body.push_back(lines[i++]);
        while (!body.empty() && withoutIndent(body.back()).empty())
            body.pop_back();
        page += ".SH " + std::string(heading) + "\n";
        if (heading == "NAME") {
            page += nameLine(body) + "\n";
            continue;
        }
        page += ".nf\n";
        for (const std::string_view line : body)
            page += roffText(withoutIndent(line)) + "\n";
        page += ".fi\n";
    }
    return page;
}

} // namespace quorvella::packaging
