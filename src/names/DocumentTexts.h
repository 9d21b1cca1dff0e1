#pragma once

// The texts the names layer takes from a document: its species list and the
// three comma-separated exports. When a document holds nothing to build the
// text from, the user is told through the document's Ui and nothing is
// returned.

#include <QStringList>
#include <optional>
#include <string>

namespace quorvella {

class MyDocument;

// Every distinct taxon name of the document's collections, sorted without
// regard to case; nothing when the document holds no taxon.
std::optional<QStringList> documentTaxonNames(const MyDocument &document);

// documentTaxonNames, or the alert "Species list could not be generated".
std::optional<QStringList> buildSpeciesList(MyDocument &document);

// The selected collection's counted taxa, one "name,abundance" line each.
std::optional<std::string> exportOneCollection(MyDocument &document);
// The taxa-by-collections matrix of every collection.
std::optional<std::string> exportGroupOfCollections(MyDocument &document);
// The stored metrics of every collection, in store order.
std::optional<std::string> exportMetrics(MyDocument &document);

} // namespace quorvella
