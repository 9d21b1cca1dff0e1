#include "names/TableClipboard.h"

#include "document/CensusTableModel.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/Ui.h"
#include "store/MetricsRows.h"
#include "store/StoreImport.h"
#include "textio/ImportMessages.h"
#include "textio/TabText.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QTableView>
#include <algorithm>

namespace quorvella {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TableClipboard", text);
}

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string speciesText(MyDocument &document)
{
    std::vector<SpeciesRow> rows;
    for (const RecordId id : document.selectedTaxa()) {
        if (const std::optional<Taxon> taxon = document.store().findTaxon(id)) {
            rows.push_back({taxon->taxonName.value_or(std::string()), taxon->abundance});
        }
    }
    return speciesRowsToTabText(rows);
}

std::string collectionsText(MyDocument &document)
{
    QModelIndexList selected = document.censusSelection().selectedRows();
    std::sort(selected.begin(), selected.end());
    std::vector<Census> censuses;
    for (const QModelIndex &index : selected) {
        const RecordId id = document.censusModel().censusAt(index.row());
        if (const Census *census = document.store().findCensus(id)) {
            censuses.push_back(*census);
        }
    }
    return censuses.empty() ? std::string() : metricsRowsToTabText(metricsRowsOf(censuses));
}

// A column of numbers alone, without a field separator, is an abundance list.
ImportFormat speciesPasteFormat(const std::string &text)
{
    return text.find_first_of(",;\t") == std::string::npos ? ImportFormat::AbundanceList
                                                           : ImportFormat::Collection;
}

bool checkPastedText(Ui &ui, ImportFormat format, const std::string &text)
{
    const ValidationResult result = validateImportText(format, text);
    if (result.isValid()) {
        return true;
    }
    QString fault = QString::fromStdString(*result.fault);
    if (result.row > 0) {
        fault = tr("Row %1, field %2: %3").arg(result.row).arg(result.field).arg(fault);
    }
    ui.showImportAlert(tr("The pasted text could not be added because it is incorrectly "
                          "formatted."),
                       fault, fromView(importmessages::helpAnchor));
    return false;
}

bool pasteSpecies(MyDocument &document, const std::string &text)
{
    const std::optional<RecordId> census = document.selectedCollection();
    if (!census) {
        document.ui().showAlert(tr("The species could not be pasted"),
                                tr("Select the collection that is to receive them."));
        return false;
    }
    const ImportFormat format = speciesPasteFormat(text);
    if (!checkPastedText(document.ui(), format, text)) {
        return false;
    }
    const std::vector<RecordId> taxa = document.importRecords(tr("Paste"), [&](Store &store) {
        return addTaxaToCensusFromString(store, *census, format, text);
    });
    document.setStatusText(tr("Pasted %1 species.").arg(taxa.size()));
    return !taxa.empty();
}

bool pasteCollections(MyDocument &document, const std::string &text)
{
    if (!checkPastedText(document.ui(), ImportFormat::CollectionGroup, text)) {
        return false;
    }
    const StoreImportResult result = document.importRecords(
        tr("Paste"), [&](Store &store) { return addCollectionGroupToMOCFromString(store, text); });
    const std::size_t pasted = result.censuses.size();
    document.setStatusText(pasted == 1 ? tr("Pasted 1 collection.")
                                       : tr("Pasted %1 collections.").arg(pasted));
    return !result.censuses.empty();
}

} // namespace

ClipboardTable focusedTable(const DocumentWindow &window)
{
    const QWidget *focus = window.focusWidget();
    const QTableView *species = window.speciesTable();
    const bool inSpecies = focus != nullptr && species != nullptr &&
                           (focus == species || species->isAncestorOf(focus));
    return inSpecies ? ClipboardTable::Species : ClipboardTable::Collections;
}

std::string copiedRowsText(MyDocument &document, ClipboardTable table)
{
    return table == ClipboardTable::Species ? speciesText(document) : collectionsText(document);
}

bool pasteRows(DocumentWindow &window, ClipboardTable table, const std::string &text)
{
    // A value being typed is committed before rows arrive under it.
    if (!window.endEditing()) {
        return false;
    }
    MyDocument &document = window.document();
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        document.setStatusText(tr("The clipboard holds no text to paste."));
        return false;
    }
    return table == ClipboardTable::Species ? pasteSpecies(document, text)
                                            : pasteCollections(document, text);
}

void copyToClipboard(DocumentWindow &window, QClipboard &clipboard)
{
    const ClipboardTable table = focusedTable(window);
    const std::string text = copiedRowsText(window.document(), table);
    if (text.empty()) {
        window.document().setStatusText(tr("Select the rows to copy."));
        return;
    }
    clipboard.setText(QString::fromStdString(text));
}

void pasteFromClipboard(DocumentWindow &window, const QClipboard &clipboard)
{
    pasteRows(window, focusedTable(window), clipboard.text().toStdString());
}

} // namespace quorvella
