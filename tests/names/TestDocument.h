#pragma once

// A document in its window with the names layer attached and a scripted Ui,
// and small helpers to write files and describe a document's records.

#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "names/DocumentWindowNames.h"
#include "names/TaxonFormatter.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace quorvella::testing {

struct TestDocument
{
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    std::unique_ptr<DocumentWindow> window;

    TestDocument()
    {
        auto *document = new MyDocument;
        document->setUi(ui);
        window = std::make_unique<DocumentWindow>(document);
        DocumentWindowNames::attach(*window);
    }

    MyDocument &document() { return window->document(); }
    TaxonFormatter &formatter() { return DocumentWindowNames::find(*window)->theTaxonFormatter(); }
};

inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return {};
    }
    return path;
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// "S1[A 2|C 5] S2[]": every collection in store order with its taxa.
inline QString describeRecords(const MyDocument &document)
{
    QStringList collections;
    for (const Census &census : document.createArrayOfAllCensuses()) {
        QStringList taxa;
        for (const Taxon &taxon : document.store().taxaOfCensus(census.id)) {
            taxa << QString::fromStdString(taxon.taxonName.value_or("<none>")) + QLatin1Char(' ') +
                        (taxon.abundance ? QString::number(*taxon.abundance) : QStringLiteral("-"));
        }
        collections << QString::fromStdString(census.censusName.value_or("<none>")) +
                           QLatin1Char('[') + taxa.join(QLatin1Char('|')) + QLatin1Char(']');
    }
    return collections.join(QLatin1Char(' '));
}

} // namespace quorvella::testing
