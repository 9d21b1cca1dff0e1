#pragma once

// The texts the names layer takes from a document: its species list and the
// three comma-separated exports. When a document holds nothing to build the
// text from, the user is told through the document's Ui and nothing is
// returned.

#include "store/Store.h"

#include <QDeadlineTimer>
#include <QStringList>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace quorvella {

class MyDocument;

// The distinct taxon names of a store's collections, gathered a few
// collections at a time, so a large document need not hold up the window.
// The store must not change between the calls.
class TaxonNameGathering
{
public:
    explicit TaxonNameGathering(const Store &store);
    // Reads collections until the deadline passes; true once all are read.
    bool gatherUntil(const QDeadlineTimer &deadline);
    // The names read, sorted without regard to case (equal names that way
    // by their exact bytes, as the group of collections lists them).
    QStringList sortedNames();
    // The names read, unsorted, handed over (to be sorted on another thread
    // with sortedTaxonNames: they no longer refer to the store).
    std::vector<std::string> takeNames() { return std::move(m_names); }

private:
    const Store &m_store;
    std::vector<Census> m_censuses;
    std::size_t m_next = 0;
    std::unordered_set<std::string> m_seen;
    std::vector<std::string> m_names;
};

// Distinct names sorted as TaxonNameGathering::sortedNames sorts them. Touches
// nothing else, so it may run on any thread.
QStringList sortedTaxonNames(std::vector<std::string> names);

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
