#pragma once

// Reading the files the commands are given: Quorvella documents, recognised
// by their content, and import texts, checked whole before anything is made
// from them. Every fault throws Failure with the message for the user.

#include "cli/CommandLine.h"
#include "store/Store.h"

#include <optional>
#include <string>

namespace quorvella::cli {

// True when the file begins like a document file (an SQLite database).
bool looksLikeDocument(const std::string &path);

// The text of an import file that passed its format's check; otherwise
// Failure with the check's informative text, exactly as the import alert
// shows it (or why the file could not be read).
std::string readValidImportText(const std::string &path, TextFormat format);

// Adds the collections of a checked text to the store, exactly as the
// application's import commands do.
void importText(Store &store, TextFormat format, const std::string &text);

// The document at path.
Store loadDocument(const std::string &path);

// INPUT of the analysis commands: a document, or an import text read into a
// store of its own. A text without --format is a usage error.
Store loadInput(const std::string &path, std::optional<TextFormat> format);

} // namespace quorvella::cli
