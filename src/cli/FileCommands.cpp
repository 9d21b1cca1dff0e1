// validate, import and export: the application's import and export commands
// with files named on the command line instead of chosen in panels.

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/ExportTexts.h"
#include "cli/InputFiles.h"
#include "store/DocumentFile.h"
#include "store/DocumentSaveStream.h"
#include "textio/AsciiCheck.h"
#include "textio/TextFile.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace quorvella::cli {
namespace {

// A fault of one of an import's files; with several files, it says which one
// failed and that nothing was imported.
Failure importFailure(const CommandLine &line, const std::string &path, const std::string &message)
{
    if (line.paths.size() == 1) {
        return Failure(message);
    }
    return Failure(message + "\n(in '" + path + "'; nothing was imported)");
}

// Every file of an import, read and checked before the document is touched;
// the last one's format is left to its import unless `checkLast`.
std::vector<std::string> readAllImportTexts(const CommandLine &line, bool checkLast)
{
    std::vector<std::string> texts;
    for (const std::string &path : line.paths) {
        try {
            texts.push_back(readImportText(path));
        } catch (const Failure &fault) {
            throw importFailure(line, path, fault.what());
        }
        const bool last = texts.size() == line.paths.size();
        if (!last || checkLast) {
            if (const std::optional<std::string> fault =
                    importTextFault(*line.format, texts.back())) {
                throw importFailure(line, path, *fault);
            }
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

// The import is written to the document on a second thread while the texts
// are read. A new document's last text is checked as it is imported (one pass
// instead of two); its fault still comes before a fault of the save, as when
// every text is checked first.
void runImport(const CommandLine &line)
{
    const bool newDocument = !documentExists(line.into);
    const std::vector<std::string> texts = readAllImportTexts(line, !newDocument);
    Store store = newDocument ? Store() : loadDocument(line.into);
    try {
        std::optional<DocumentSaveStream> save;
        try {
            save.emplace(line.into);
        } catch (const DocumentFileError &) {
            const std::optional<std::string> fault =
                newDocument ? importTextFault(*line.format, texts.back()) : std::nullopt;
            if (fault) {
                throw importFailure(line, line.paths.back(), *fault);
            }
            throw;
        }
        save->send(store);
        const RecordsAdded added = [&] { save->send(store); };
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const bool checked = !newDocument || i + 1 < texts.size();
            if (checked) {
                importText(store, *line.format, texts[i], added);
            } else if (const std::optional<std::string> fault =
                           checkAndImportText(store, *line.format, texts[i], added)) {
                throw importFailure(line, line.paths[i], *fault);
            }
        }
        save->commit(store);
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
