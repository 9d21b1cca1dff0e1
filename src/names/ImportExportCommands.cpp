#include "names/ImportExportCommands.h"

#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/Ui.h"
#include "names/DocumentTexts.h"
#include "names/DocumentWindowNames.h"
#include "names/FileImport.h"
#include "names/TaxonListController.h"
#include "textio/AsciiCheck.h"
#include "textio/TextFile.h"

#include <QFile>
#include <QFileInfo>

namespace quorvella {

ImportExportCommands::ImportExportCommands(Hooks hooks, QObject *parent)
    : QObject(parent), m_hooks(std::move(hooks))
{}

ImportExportCommands::~ImportExportCommands()
{
    for (const QPointer<TaxonListController> &window : std::as_const(m_listWindows)) {
        delete window.data();
    }
}

Ui &ImportExportCommands::commandUi() const
{
    DocumentWindow *window = m_hooks.currentWindow();
    return window != nullptr ? window->document().ui() : *m_hooks.ui;
}

bool ImportExportCommands::endEditingInCurrentWindow() const
{
    // A value being typed is committed before the tables change under it.
    DocumentWindow *window = m_hooks.currentWindow();
    return window == nullptr || window->endEditing();
}

DocumentWindow *ImportExportCommands::targetWindow() const
{
    DocumentWindow *window = m_hooks.currentWindow();
    return window != nullptr ? window : m_hooks.newDocument();
}

bool ImportExportCommands::importClicked(ImportFormat format)
{
    if (!endEditingInCurrentWindow()) {
        return false;
    }
    Ui &ui = commandUi();
    const QString path = ui.chooseFileToOpen(importCommandTitle(format), importFileExtensions());
    if (path.isEmpty()) {
        return false;
    }
    const std::optional<std::string> text = readImportFile(ui, path);
    // Nothing is created, not even a document, for a text that fails.
    if (!text || !checkImportText(ui, format, *text)) {
        return false;
    }
    DocumentWindow *window = targetWindow();
    if (window == nullptr) {
        return false;
    }
    importTextIntoWindow(*window, format, *text);
    return true;
}

bool ImportExportCommands::importCommunityTable()
{
    if (!endEditingInCurrentWindow()) {
        return false;
    }
    Ui &ui = commandUi();
    const QString path = ui.chooseFileToOpen(communityImportTitle(), communityFileExtensions());
    if (path.isEmpty()) {
        return false;
    }
    std::optional<std::string> read = readImportFile(ui, path);
    if (!read) {
        return false;
    }
    const auto text = std::make_shared<const std::string>(std::move(*read));
    const std::optional<CommunityOptions> options =
        ui.chooseCommunityOptions(QFileInfo(path).fileName(), *text);
    if (!options) {
        return false;
    }
    // Nothing is created, not even a document, for a table with a fault.
    const std::shared_ptr<CommunityCounts> table = readCommunityText(ui, text, *options);
    DocumentWindow *window = table ? targetWindow() : nullptr;
    if (window == nullptr) {
        return false;
    }
    return importCommunityIntoWindow(*window, table);
}

void ImportExportCommands::exportOneCollectionClicked()
{
    exportClicked(&exportOneCollection);
}

void ImportExportCommands::exportGroupOfCollectionsClicked()
{
    exportClicked(&exportGroupOfCollections);
}

void ImportExportCommands::exportMetricsClicked()
{
    exportClicked(&exportMetrics);
}

void ImportExportCommands::exportClicked(std::optional<std::string> (*exportText)(MyDocument &))
{
    DocumentWindow *window = m_hooks.currentWindow();
    if (window == nullptr) {
        return;
    }
    // The cells being typed in belong in the export.
    if (!window->endEditing()) {
        return;
    }
    MyDocument &document = window->document();
    if (const std::optional<std::string> text = exportText(document)) {
        saveCVSFile(document.ui(), *text);
    }
}

bool ImportExportCommands::saveCVSFile(Ui &ui, const std::string &text)
{
    const QString failed = tr("The export could not be saved.");
    if (const std::optional<NonAsciiCharacter> bad = findFirstNonAscii(text)) {
        ui.showErrorAlert(failed, QString::fromStdString(bad->describe()));
        return false;
    }
    const QString path = ui.chooseFileToSave(tr("Export"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return false;
    }
    const WriteResult written = writeFileAtomically(QFile::encodeName(path).toStdString(), text);
    if (!written.ok) {
        ui.showErrorAlert(failed, QString::fromStdString(written.error));
        return false;
    }
    return true;
}

void ImportExportCommands::buildSpeciesListClicked()
{
    DocumentWindow *window = m_hooks.currentWindow();
    if (window == nullptr || !window->endEditing()) {
        return;
    }
    if (const std::optional<QStringList> names = buildSpeciesList(window->document())) {
        showTaxonListWindowWithArray(*names);
    }
}

void ImportExportCommands::showTaxonListWindowWithArray(const QStringList &names)
{
    m_listWindows.removeAll(nullptr); // the closed ones
    auto *window = new TaxonListController(m_hooks.ui);
    window->setAttribute(Qt::WA_DeleteOnClose, true);
    m_listWindows.append(window);
    window->show();
    window->showList(names);
}

TaxonListController *ImportExportCommands::taxonListController() const
{
    for (auto it = m_listWindows.crbegin(); it != m_listWindows.crend(); ++it) {
        if (!it->isNull()) {
            return it->data();
        }
    }
    return nullptr;
}

void ImportExportCommands::updateAutocompletionListClicked()
{
    DocumentWindow *window = m_hooks.currentWindow();
    if (window == nullptr) {
        return;
    }
    DocumentWindowNames::attach(*window)->updateAutocompletionList();
}

} // namespace quorvella
