#include "cli/InputFiles.h"

#include "cli/ExitStatus.h"
#include "store/DocumentFile.h"
#include "store/StoreImport.h"
#include "textio/CommunityTable.h"
#include "textio/ImportValidation.h"
#include "textio/TextFile.h"

#include <array>
#include <cstring>
#include <fstream>

namespace quorvella::cli {
namespace {

// Community tables have their own reader; the others map to the three formats.
ImportFormat importFormat(TextFormat format)
{
    switch (format) {
    case TextFormat::Community:
    case TextFormat::List:
        return ImportFormat::AbundanceList;
    case TextFormat::Table:
        return ImportFormat::Collection;
    case TextFormat::Matrix:
        return ImportFormat::CollectionGroup;
    }
    return ImportFormat::AbundanceList;
}

} // namespace

bool looksLikeDocument(const std::string &path)
{
    static constexpr char kSqliteHeader[] = "SQLite format 3"; // followed by a zero byte
    std::array<char, sizeof kSqliteHeader> start{};
    std::ifstream in(path, std::ios::binary);
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    return in.gcount() == static_cast<std::streamsize>(start.size()) &&
           std::memcmp(start.data(), kSqliteHeader, start.size()) == 0;
}

std::string readImportText(const std::string &path)
{
    TextFileResult file = readTextFile(path);
    if (!file.ok()) {
        throw Failure(file.error);
    }
    return std::move(*file.text);
}

std::optional<std::string> importTextFault(TextFormat format, const std::string &text)
{
    if (format == TextFormat::Community && !text.empty()) {
        if (const std::optional<CommunityFault> fault = checkCommunityTable(text, {})) {
            return fault->message();
        }
        return std::nullopt;
    }
    return validateImportText(importFormat(format), text).fault;
}

std::string readValidImportText(const std::string &path, TextFormat format)
{
    std::string text = readImportText(path);
    if (std::optional<std::string> fault = importTextFault(format, text)) {
        throw Failure(*fault);
    }
    return text;
}

std::optional<std::string> checkAndImportText(Store &store, TextFormat format,
                                              const std::string &text, const RecordsAdded &added)
{
    if (format == TextFormat::Matrix) {
        return checkAndAddCollectionGroupToMOC(store, text, added).check.fault;
    }
    if (format == TextFormat::Community && !text.empty()) {
        if (std::optional<CommunityFault> fault =
                addCommunityTableToMOCFromString(store, text, {}, added).fault) {
            return fault->message();
        }
        return std::nullopt;
    }
    if (std::optional<std::string> fault = importTextFault(format, text)) {
        return fault;
    }
    importText(store, format, text, added);
    return std::nullopt;
}

void importText(Store &store, TextFormat format, const std::string &text, const RecordsAdded &added)
{
    switch (format) {
    case TextFormat::List:
        addAbundanceListToMOCFromString(store, text, added);
        break;
    case TextFormat::Table:
        addCollectionToMOCFromString(store, text);
        break;
    case TextFormat::Matrix:
        addCollectionGroupToMOCFromString(store, text, added);
        break;
    case TextFormat::Community:
        addCommunityTableToMOCFromString(store, text, {}, added);
        break;
    }
}

Store loadDocument(const std::string &path)
{
    try {
        return DocumentFile::load(path);
    } catch (const DocumentFileError &error) {
        throw Failure(error.what());
    }
}

Store loadInput(const std::string &path, std::optional<TextFormat> format)
{
    if (looksLikeDocument(path)) {
        return loadDocument(path);
    }
    if (!format) {
        // A file that cannot be read is reported as such before the missing option.
        if (const TextFileResult file = readTextFile(path); !file.ok()) {
            throw Failure(file.error);
        }
        throw UsageError("'" + path +
                         "' is not a Quorvella document; name its text format with --format "
                         "list, table, matrix or community");
    }
    Store store;
    importText(store, *format, readValidImportText(path, *format));
    return store;
}

} // namespace quorvella::cli
