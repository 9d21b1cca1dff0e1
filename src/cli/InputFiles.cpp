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

std::string readValidImportText(const std::string &path, TextFormat format)
{
    TextFileResult file = readTextFile(path);
    if (!file.ok()) {
        throw Failure(file.error);
    }
    if (format == TextFormat::Community && !file.text->empty()) {
        if (const std::optional<CommunityFault> fault = checkCommunityTable(*file.text, {})) {
            throw Failure(fault->message());
        }
        return std::move(*file.text);
    }
    const ValidationResult check = validateImportText(importFormat(format), *file.text);
    if (!check.isValid()) {
        throw Failure(*check.fault);
    }
    return std::move(*file.text);
}

void importText(Store &store, TextFormat format, const std::string &text)
{
    switch (format) {
    case TextFormat::List:
        addAbundanceListToMOCFromString(store, text);
        break;
    case TextFormat::Table:
        addCollectionToMOCFromString(store, text);
        break;
    case TextFormat::Matrix:
        addCollectionGroupToMOCFromString(store, text);
        break;
    case TextFormat::Community:
        addCommunityTableToMOCFromString(store, text);
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
