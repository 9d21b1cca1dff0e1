#include "names/DocumentTexts.h"

#include "analysis/EcoCollection.h"
#include "analysis/EcoCollectionGroup.h"
#include "document/MyDocument.h"
#include "store/MetricsRows.h"
#include "textio/CsvExport.h"

#include <QCoreApplication>

namespace quorvella {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DocumentTexts", text);
}

void showNothingToExport(MyDocument &document)
{
    document.ui().showAlert(tr("Export could not be performed."), tr("Add collections and taxa."));
}

} // namespace

std::optional<QStringList> documentTaxonNames(const MyDocument &document)
{
    std::optional<EcoCollectionGroup> group = document.makeEcoCollectionGroup();
    if (!group) {
        return std::nullopt;
    }
    group->createTaxonList();
    QStringList names;
    names.reserve(static_cast<qsizetype>(group->taxonNames().size()));
    for (const std::string &name : group->taxonNames()) {
        names.append(QString::fromStdString(name));
    }
    return names;
}

std::optional<QStringList> buildSpeciesList(MyDocument &document)
{
    std::optional<QStringList> names = documentTaxonNames(document);
    if (!names) {
        document.ui().showAlert(tr("Species list could not be generated"),
                                tr("Add collections and taxa."));
    }
    return names;
}

std::optional<std::string> exportOneCollection(MyDocument &document)
{
    const std::vector<TaxonEntry> taxa = document.selectedCollectionTaxonEntries();
    if (taxa.empty()) {
        showNothingToExport(document);
        return std::nullopt;
    }
    return collectionToCVSString(EcoCollection::initWithTaxonArray(taxa));
}

std::optional<std::string> exportGroupOfCollections(MyDocument &document)
{
    std::optional<EcoCollectionGroup> group = document.makeEcoCollectionGroup();
    if (!group) {
        showNothingToExport(document);
        return std::nullopt;
    }
    return collectionGroupToCVSString(*group);
}

std::optional<std::string> exportMetrics(MyDocument &document)
{
    const std::vector<Census> censuses = document.createArrayOfAllCensuses();
    if (censuses.empty()) {
        showNothingToExport(document);
        return std::nullopt;
    }
    return metricsTableToCVSString(metricsRowsOf(censuses));
}

} // namespace quorvella
