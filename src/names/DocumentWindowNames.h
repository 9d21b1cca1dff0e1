#pragma once

// What the names layer adds to one document window: the taxon formatter that
// completes names typed into the species table, the two tables with their
// Tab flow, the "Set Species List" toolbar command, and the import of text
// files dropped on the window.
//
// attach() equips a window once; the object lives as a child of the window.
// The completion list starts with the document's names and then follows the
// store: every name that enters the document joins it.

#include "store/Store.h"
#include "textio/ImportValidation.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace quorvella {

class BackgroundTask;
class CensusTableView;
class DocumentWindow;
class MyDocument;
class SpeciesTableView;
class TaxonFormatter;
class TaxonNameGathering;

class DocumentWindowNames : public QObject
{
    Q_OBJECT

public:
    // Equips the window, or returns what already equips it.
    static DocumentWindowNames *attach(DocumentWindow &window);
    // What equips the window, or null.
    static DocumentWindowNames *find(const DocumentWindow &window);

    ~DocumentWindowNames() override;

    TaxonFormatter &theTaxonFormatter() { return *m_formatter; }
    SpeciesTableView *speciesTable() const { return m_speciesTable; }
    CensusTableView *censusTable() const { return m_censusTable; }

    // "Set Species List": the completion list from a species-list file.
    void setTaxonList();
    // The completion list becomes the document's names; a document without
    // taxa leaves it as it is. A document of more than gatherAtOnceTaxa taxa
    // is read a few collections per turn of the event loop and its names
    // sorted on another thread; a change of the records meanwhile starts
    // again, so the newest names win.
    void updateAutocompletionList();
    static constexpr std::size_t gatherAtOnceTaxa = 100000;
    // Replaces the completion list (e.g. by an import's names), ending any
    // gathering of the document's names that would overwrite it.
    void setCompletionList(const QStringList &names);
    // True while the document's names are still being gathered or sorted;
    // the second only while they are sorted.
    bool isGatheringNames() const;
    bool isSortingNames() const;

    // Imports a file into this window's document, asking which of the three
    // formats it holds (its extension does not tell). Returns whether
    // records were added.
    bool importDroppedFile(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit DocumentWindowNames(DocumentWindow &window);
    void installTables();
    void observeStore();
    void onStoreChanged(const StoreChanges &changes);
    void gatherSomeNames();
    void stopGathering();
    void addNewNames();
    static QStringList droppableFiles(const QEvent *event);

    DocumentWindow &m_window;
    QPointer<MyDocument> m_document;
    TaxonFormatter *m_formatter;
    SpeciesTableView *m_speciesTable = nullptr;
    CensusTableView *m_censusTable = nullptr;
    Store::ObserverId m_observerId = 0;
    // The names of a large document being read, and the turns that read them.
    std::unique_ptr<TaxonNameGathering> m_gathering;
    QTimer m_gatherTimer;
    // Sorts the gathered names away from the window (started anew, the
    // older run's result is dropped; it goes with this object).
    std::unique_ptr<BackgroundTask> m_sorting;
    // Names that entered the store and are not handed to the formatter yet
    // (an edit applied in slices hands them over once, at its end), in the
    // order they came.
    std::vector<std::string> m_newNames;
    std::unordered_set<std::string> m_newNamesSeen;
};

} // namespace quorvella
