#pragma once

// The application's commands of the names layer: the three imports, the
// three exports, "Build Species List" and "Update Autocompletion List".
// They act on the current document window; the application supplies how to
// find it and how to open a new untitled one (an import with no document open
// makes one), and the Ui used while no document is open.

#include "textio/ImportValidation.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorvella {

class DocumentWindow;
class MyDocument;
class TaxonListController;
class Ui;

class ImportExportCommands : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        std::function<DocumentWindow *()> currentWindow;
        std::function<DocumentWindow *()> newDocument;
        std::shared_ptr<Ui> ui; // for panels and alerts while no document is open
    };

    explicit ImportExportCommands(Hooks hooks, QObject *parent = nullptr);
    ~ImportExportCommands() override;

    void importAbundanceListClicked() { importClicked(ImportFormat::AbundanceList); }
    void importOneCollectionClicked() { importClicked(ImportFormat::Collection); }
    void importGroupOfCollectionsClicked() { importClicked(ImportFormat::CollectionGroup); }
    // Open panel, read, check, then add to the current document (a new
    // untitled one when none is open). Returns whether records were added.
    bool importClicked(ImportFormat format);
    void importCommunityTableClicked() { importCommunityTable(); }
    // Open panel, read, the import dialog (orientation, text column,
    // preview), check the whole table, then add it as importClicked does.
    bool importCommunityTable();

    void exportOneCollectionClicked();
    void exportGroupOfCollectionsClicked();
    void exportMetricsClicked();
    // Asks where to save a CSV text and writes it atomically in ASCII. A
    // character outside ASCII is named in an alert before any panel opens,
    // and nothing is written. Returns whether a file was written.
    static bool saveCVSFile(Ui &ui, const std::string &text);

    void buildSpeciesListClicked();
    void updateAutocompletionListClicked();
    // The most recently opened species-list window that is still open (null
    // when none is).
    TaxonListController *taxonListController() const;
    // Each list opens a window of its own, which lives until it is closed.
    void showTaxonListWindowWithArray(const QStringList &names);

private:
    void exportClicked(std::optional<std::string> (*exportText)(MyDocument &));
    Ui &commandUi() const;
    // The current window once a cell being typed in is committed; null when
    // none is open. False when the typed value was refused.
    bool endEditingInCurrentWindow() const;
    // The current window, or a new untitled document's when none is open.
    DocumentWindow *targetWindow() const;

    Hooks m_hooks;
    QList<QPointer<TaxonListController>> m_listWindows;
};

} // namespace quorvella
