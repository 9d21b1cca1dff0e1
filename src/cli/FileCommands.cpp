// validate, import and export: the application's import and export commands
// with files named on the command line instead of chosen in panels.

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/ExportTexts.h"
#include "cli/InputFiles.h"
#include "store/DocumentFile.h"
#include "textio/AsciiCheck.h"
#include "textio/TextFile.h"

#include <filesystem>
#include <system_error>

namespace quorvella::cli {
namespace {

// Every file of an import, checked before the document is touched.
std::vector<std::string> readAllImportTexts(const CommandLine &line)
{
    std::vector<std::string> texts;
    for (const std::string &path : line.paths) {
        try {
            texts.push_back(readValidImportText(path, *line.format));
        } catch (const Failure &fault) {
            if (line.paths.size() == 1) {
                throw;
            }
            // With several files, say which one failed; nothing was imported.
            throw Failure(std::string(fault.what()) + "\n(in '" + path +
                          "'; nothing was imported)");
        }
    }
    return texts;
}

bool documentExists(const std::string &path)
{
    std::error_code error;
    return std::filesystem::exists(path, error) || error;
}

// An export written over its own document would destroy the document.
void refuseOutputOverDocument(const CommandLine &line)
{
    std::error_code error;
    if (line.output && std::filesystem::equivalent(*line.output, line.paths.front(), error)) {
        throw Failure("The export was not written: '" + *line.output +
                      "' is the document itself. Choose another output file.");
    }
}

void writeOutput(const CommandLine &line, const std::string &text, std::ostream &out)
{
    if (const std::optional<NonAsciiCharacter> found = findFirstNonAscii(text)) {
        throw Failure(found->describe());
    }
    if (!line.output) {
        out << text;
        return;
    }
    if (const WriteResult written = writeFileAtomically(*line.output, text); !written.ok) {
        throw Failure(written.error);
    }
}

} // namespace

void runValidate(const CommandLine &line)
{
    readValidImportText(line.paths.front(), *line.format);
}

void runImport(const CommandLine &line)
{
    const std::vector<std::string> texts = readAllImportTexts(line);
    Store store = documentExists(line.into) ? loadDocument(line.into) : Store();
    for (const std::string &text : texts) {
        importText(store, *line.format, text);
    }
    try {
        DocumentFile::save(store, line.into);
    } catch (const DocumentFileError &error) {
        throw Failure(error.what());
    }
}

void runExport(const CommandLine &line, std::ostream &out)
{
    refuseOutputOverDocument(line);
    const Store store = loadDocument(line.paths.front());
    std::string text;
    switch (line.exportKind) {
    case ExportKind::Metrics:
        text = exportMetrics(store);
        break;
    case ExportKind::Group:
        text = exportGroupOfCollections(store);
        break;
    case ExportKind::Collection:
        text = exportOneCollection(store, *line.collectionName);
        break;
    case ExportKind::SpeciesList:
        text = exportSpeciesList(store);
        break;
    }
    writeOutput(line, text, out);
}

} // namespace quorvella::cli
