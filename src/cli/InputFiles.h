#pragma once

// Reading the files the commands are given: Quorvella documents, recognised
// by their content, and import texts, checked whole before anything is made
// from them. Every fault throws Failure with the message for the user.

#include "cli/CommandLine.h"
#include "store/Store.h"
#include "store/StoreImport.h"

#include <optional>
#include <string>

namespace quorvella::cli {

// True when the file begins like a document file (an SQLite database).
bool looksLikeDocument(const std::string &path);

// The text of an import file that passed its format's check; otherwise
// Failure with the check's informative text, exactly as the import alert
// shows it (or why the file could not be read).
std::string readValidImportText(const std::string &path, TextFormat format);

// The text of an import file, read and checked for its encoding but not yet
// for its format; otherwise Failure, as readValidImportText.
std::string readImportText(const std::string &path);

// The fault of an import text in its format, if any, exactly as
// readValidImportText reports it.
std::optional<std::string> importTextFault(TextFormat format, const std::string &text);

// importText for a text not checked before: checks it as it is imported, in
// one pass where the format allows. A faulty text imports nothing and
// answers the fault as importTextFault does.
std::optional<std::string> checkAndImportText(Store &store, TextFormat format,
                                              const std::string &text,
                                              const RecordsAdded &added = {});

// Adds the collections of a checked text to the store, exactly as the
// application's import commands do; `added` hears of each collection or run
// of taxa as it goes in.
void importText(Store &store, TextFormat format, const std::string &text,
                const RecordsAdded &added = {});

// The document at path.
Store loadDocument(const std::string &path);

// INPUT of the analysis commands: a document, or an import text read into a
// store of its own. A text without --format is a usage error.
Store loadInput(const std::string &path, std::optional<TextFormat> format);

} // namespace quorvella::cli
