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

TaxonNameGathering::TaxonNameGathering(const Store &store)
    : m_store(store), m_censuses(store.createArrayOfAllCensuses())
{}

bool TaxonNameGathering::gatherUntil(const QDeadlineTimer &deadline)
{
    for (; m_next < m_censuses.size() && !deadline.hasExpired(); ++m_next) {
        for (const Taxon &taxon : m_store.taxaOfCensus(m_censuses[m_next].id)) {
            if (taxon.taxonName && m_seen.insert(*taxon.taxonName).second) {
                m_names.push_back(*taxon.taxonName);
            }
        }
    }
    return m_next == m_censuses.size();
}

QStringList TaxonNameGathering::sortedNames()
{
    return sortedTaxonNames(takeNames());
}

QStringList sortedTaxonNames(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        const int order = compareNamesIgnoringCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string &name : names) {
        list.append(QString::fromStdString(name));
    }
    return list;
}

std::optional<QStringList> documentTaxonNames(const MyDocument &document)
{
    if (document.store().taxonCount() == 0) {
        return std::nullopt;
    }
    TaxonNameGathering gathering(document.store());
    gathering.gatherUntil(QDeadlineTimer::Forever);
    return gathering.sortedNames();
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
