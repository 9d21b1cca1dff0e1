#include "names/DocumentTexts.h"

#include "analysis/EcoCollection.h"
#include "analysis/EcoCollectionGroup.h"
#include "analysis/NameOrder.h"
#include "document/MyDocument.h"
#include "store/MetricsRows.h"
#include "textio/CsvExport.h"

#include <QCoreApplication>
#include <algorithm>
#include <unordered_set>

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
    const Store &store = document.store();
    if (store.taxonCount() == 0) {
        return std::nullopt;
    }
    // One pass without copying the records: a large document has millions
    // of taxa but only thousands of names.
    std::unordered_set<std::string> seen;
    std::vector<std::string> distinct;
    store.forEachTaxon([&](const Taxon &taxon) {
        if (taxon.census && taxon.taxonName && seen.insert(*taxon.taxonName).second) {
            distinct.push_back(*taxon.taxonName);
        }
    });
    // As the group lists them: without regard to case, then by exact bytes.
    std::sort(distinct.begin(), distinct.end(), [](const std::string &a, const std::string &b) {
        const int order = compareNamesIgnoringCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    QStringList names;
    names.reserve(static_cast<qsizetype>(distinct.size()));
    for (const std::string &name : distinct) {
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
