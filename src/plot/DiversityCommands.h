#pragma once

// The "Compare Diversity…" command of one document and the diversity
// windows it opens. The command compares the collections selected in the
// collection table (every collection when one or none is selected); each
// request opens a new window, and the windows close with the document's
// window.

#include "analysis/HillNumbers.h"
#include "store/RecordId.h"

#include <QObject>
#include <functional>
#include <vector>

class QAction;
class QWidget;

namespace quorvella {

class DiversityWindow;
class DocumentWindow;
class MyDocument;

class DiversityCommands : public QObject
{
    Q_OBJECT
public:
    explicit DiversityCommands(MyDocument &document, QObject *parent = nullptr);
    // Closes every diversity window still open.
    ~DiversityCommands() override;

    // The commands of a document window (made on first use); their windows
    // close when it closes.
    static DiversityCommands &of(DocumentWindow &window);

    // The toolbar item "Compare Diversity": allowed once in the customisable
    // toolbar (not in the default set), and given to each document window as
    // its own action, enabled while the document holds counted taxa.
    static void allowToolbarItem();
    static QAction *attachToolbarAction(DocumentWindow &window);

    // How the command commits the cell being edited first; a refused value
    // stops it.
    void setEndEditing(std::function<bool()> endEditing) { m_endEditing = std::move(endEditing); }

    // The menu command: opens a window for the chosen collections.
    void compareDiversity();
    // Opens a window for these collections (or, with Incidence, for the
    // document's collections as sampling units) and starts its computation.
    DiversityWindow *openDiversityWindow(std::vector<RecordId> collections,
                                         DiversityDataType dataType);

    const std::vector<DiversityWindow *> &diversityWindows() const { return m_windows; }
    void closeAllWindows();

    // The collections the command compares: the selected ones in store
    // order, or all of them when one or none is selected.
    static std::vector<RecordId> chosenCollections(const MyDocument &document);

signals:
    void windowOpened(DiversityWindow *window);

private:
    MyDocument &m_document;
    std::vector<DiversityWindow *> m_windows;
    std::function<bool()> m_endEditing;
};

} // namespace quorvella
