#pragma once

// The window of one document: the collection table above, the species table
// of the selected collection below, the stored measures of the selected
// collection, the Chao-2 field, a status line with a busy indicator, and the
// toolbar. It builds widgets and actions and forwards to its MyDocument,
// which it owns.
//
// Commands of other layers (species list, rarefactions, Chao-2) attach to
// the actions exposed here; an action nobody attaches to does nothing.

#include "document/ToolbarItem.h"

#include <QHash>
#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;
class QSplitter;
class QTableView;
class QToolBar;

namespace quorvella {

class MyDocument;
class MetricsPanel;

class DocumentWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Takes ownership of the document.
    explicit DocumentWindow(MyDocument *document, QWidget *parent = nullptr);
    ~DocumentWindow() override;

    MyDocument &document() { return *m_document; }

    QAction *action(ToolbarItem item) const;
    // "Print…": the document report in a print preview (the toolbar's
    // Print item, File > Print…).
    QAction *printAction() const { return m_printAction; }
    QToolBar *toolBar() const { return m_toolBar; }

    // Gives the toolbar an action for the allowed item named by the
    // action's objectName (see ToolbarConfiguration); the toolbar shows it
    // when the user's set holds that item. The window does not take
    // ownership.
    void addToolbarAction(QAction *action);
    // The identifiers of the items the toolbar shows, in order.
    QStringList toolbarItemIdentifiers() const;
    // Opens the toolbar's customisation panel.
    void customizeToolbar();
    // Commits any edit, then shows the report in a print preview.
    void printDocument();
    // Commits any edit, then writes the report to a PDF file the user names.
    void exportAsPdf();

    QTableView *censusTable() const { return m_censusTable; }
    QTableView *speciesTable() const { return m_speciesTable; }
    // Puts another view (e.g. one with its own keyboard flow) in place of a
    // table; the window connects it to the document's model and selection
    // and takes ownership. The old view is deleted.
    void setCensusTable(QTableView *view);
    void setSpeciesTable(QTableView *view);

    // Commits the cell being edited in either table. False when the typed
    // value was refused; the editor then stays open.
    bool endEditing();

    // Texts shown, for tests and for other layers.
    QString statusLineText() const;
    QString chao2FieldText() const;
    bool isBusyIndicatorVisible() const;
    // The text the metric field with this object name shows (see MetricsPanel).
    QString metricFieldText(const QString &objectName) const;

    // Saves the toolbar's position and visibility for the next window.
    void saveWindowState() const;

    // The toolbar's context menu: the window's own entries and
    // "Customize Toolbar…".
    QMenu *createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildActions();
    void buildToolBar();
    void rebuildToolBar();
    void buildCentralWidget();
    void buildStatusLine();
    void connectDocument();
    void installTable(QTableView *&slot, QTableView *view, bool census);
    void updateActions();
    void updateTitle();
    void showBusy(bool busy);
    void showProgress(long long done, long long total);
    void editCell(QTableView *view, int row, int column);
    bool commitEditor(QTableView *view);

    MyDocument *m_document;
    std::array<QAction *, 9> m_actions{};
    QAction *m_printAction = nullptr;
    // Identifier to action of every item this window can show.
    QHash<QString, QAction *> m_toolbarActions;
    QToolBar *m_toolBar = nullptr;
    QTableView *m_censusTable = nullptr;
    QTableView *m_speciesTable = nullptr;
    QSplitter *m_splitter = nullptr;
    QWidget *m_speciesHolder = nullptr;
    MetricsPanel *m_metrics = nullptr;
    QLineEdit *m_chao2Field = nullptr;
    QLabel *m_statusLine = nullptr;
    QProgressBar *m_busyIndicator = nullptr;
    QToolButton *m_cancelButton = nullptr; // stops work in the background
    bool m_waitCursor = false;
};

} // namespace quorvella
