#pragma once

// Builds small documents for the plot tests through the document's own
// import step, as a user's import would.

#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvella::testing {

// Keeps the tests' settings away from the user's: a test organisation in
// Qt's test locations, emptied before each test.
inline void isolateSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("QuorvellaPlotTests"));
    // One settings file per test program: ctest runs programs side by side,
    // and one program emptying a shared file lost another's settings.
    QCoreApplication::setApplicationName(
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    QSettings().clear();
    QSettings().sync();
}

struct TaxonRow
{
    std::string collection;
    std::string name;
    std::optional<std::int32_t> abundance;
    bool included = true;
};

// Makes a document with a scripted Ui and the given collections (in order)
// and taxa; returns the ids of the collections.
inline std::vector<RecordId> fillDocument(MyDocument &document,
                                          const std::vector<std::string> &collections,
                                          const std::vector<TaxonRow> &taxa)
{
    return document.importRecords(QStringLiteral("Fill"), [&](Store &store) {
        std::vector<RecordId> ids;
        for (const std::string &name : collections) {
            Census census;
            census.censusName = name;
            ids.push_back(store.insertCensus(census));
        }
        for (const TaxonRow &row : taxa) {
            Taxon taxon;
            taxon.taxonName = row.name;
            taxon.abundance = row.abundance;
            taxon.includeTaxon = row.included;
            for (std::size_t i = 0; i < collections.size(); ++i) {
                if (collections[i] == row.collection) {
                    taxon.census = ids[i];
                }
            }
            store.insertTaxon(taxon);
        }
        return ids;
    });
}

// Three collections: A in all three, B in the first only, C in the first two.
inline std::vector<RecordId> fillChao2Example(MyDocument &document)
{
    return fillDocument(document, {"One", "Two", "Three"},
                        {{"One", "A", 4},
                         {"Two", "A", 2},
                         {"Three", "A", 1},
                         {"One", "B", 3},
                         {"One", "C", 1},
                         {"Two", "C", 5}});
}

} // namespace quorvella::testing
