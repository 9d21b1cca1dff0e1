#pragma once

// One open document: its records (Store), file, modified state, undo stack,
// the two table models with their selections, the editing commands and the
// collection metrics commands. Windows and dialogs stay outside: the
// document reaches the user through its Ui and its signals only.
//
// Every user command is one undo step. Commands change the store; the
// store's change notifications update the models and so every view.

#include "analysis/EcoCollectionGroup.h"
#include "analysis/TaxonEntry.h"
#include "document/StoreEdit.h"
#include "document/Ui.h"
#include "document/WaitWithProgress.h"
#include "store/Store.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quorvella {

struct AllMetrics;
struct BackgroundProgress;
class BackgroundTask;
class CensusTableModel;
class DocumentFileHandler;
class TaxonTableModel;

class MyDocument : public QObject
{
    Q_OBJECT
public:
    // The delay between a change and the automatic save of a document that
    // has a file.
    static constexpr int autosaveDelayMs = 1500;

    // An untitled, empty document.
    explicit MyDocument(QObject *parent = nullptr);
    ~MyDocument() override;

    // Documents with a file save themselves shortly after each change and
    // when they close.
    static bool autosavesInPlace() { return true; }
    static QString fileExtension(); // "qvl"

    // --- file (DocumentFileHandler) ---------------------------------------

    // Reads the document file into this (empty) document, sweeps orphaned
    // taxa and clears the undo history. On failure shows an error alert and
    // returns false; the document is unchanged. The file is watched from
    // then on: see DocumentFileHandler.
    bool open(const QString &path);
    // Saves to the document's file; an untitled document asks for a file
    // first. A failure is shown as an error alert; returns false then. When
    // another program changed or removed the file, the user decides first.
    bool save();
    // Asks for a file (save panel) and saves there; false when cancelled or
    // failed.
    bool saveAs();
    // Saves to path and makes it the document's file.
    bool saveTo(const QString &path);

    QString fileName() const;
    // The file's name without folder, or "Untitled".
    QString displayName() const;
    bool isModified() const;
    // Sets the modified mark an undo step found at the saved (or new) state
    // it returns to.
    void setModifiedAsWhenClean(bool modified);
    bool isEmpty() const; // no collection and no taxon

    // Decides whether the document may close: a document with a file saves
    // its changes (a failed save says why and keeps it open); an untitled
    // document with content asks Save / Don't Save / Cancel. True when it
    // may close.
    bool prepareToClose();

    // Puts the records read from the document file in place of all records:
    // sweeps orphaned taxa and clears the undo history. The selected
    // collection and taxa stay selected where they still exist; otherwise
    // the first collection is selected.
    void replaceContents(Store &&records);
    DocumentFileHandler &fileHandler() { return *m_file; }

    // --- parts -----------------------------------------------------------

    Store &store() { return *m_store; }
    const Store &store() const { return *m_store; }
    QUndoStack &undoStack() { return m_undoStack; }
    CensusTableModel &censusModel() { return *m_censusModel; }
    TaxonTableModel &taxonModel() { return *m_taxonModel; }
    // Selection of the collection table (one row) and of the species table.
    QItemSelectionModel &censusSelection() { return *m_censusSelection; }
    QItemSelectionModel &taxonSelection() { return *m_taxonSelection; }

    Ui &ui() { return *m_ui; }
    void setUi(std::shared_ptr<Ui> ui);

    // How the document ends any cell edit in progress before it adds a row
    // (the window sets it). Returns false when the edited value was refused.
    void setEndEditing(std::function<bool()> endEditing) { m_endEditing = std::move(endEditing); }
    // How many cell edits were refused so far (the window compares counts to
    // learn whether committing an editor succeeded).
    int refusedEditCount() const { return m_refusedEdits; }
    // Commits a cell edit in progress; false when its value was refused.
    bool endEditing();

    // --- selection -------------------------------------------------------

    std::optional<RecordId> selectedCollection() const;
    // Every selected collection, in display order.
    std::vector<RecordId> selectedCollections() const;
    void selectCollection(std::optional<RecordId> census);
    // Makes the last collection in display order the selected one.
    void selectMostRecentCollection();
    // The taxa selected in the species table, in display order.
    std::vector<RecordId> selectedTaxa() const;

    // --- editing commands (one undo step each) ----------------------------

    void addCollection();
    void deleteCollection(); // the selected collection(s)
    void addTaxon();         // into the selected collection
    void deleteTaxon();      // the selected taxa

    // Cell edits. A name of empty text makes the record unnamed. The
    // abundance text must be a whole number 0..2147483647 or empty (no
    // abundance); anything else is refused with a message in the status
    // line, and false is returned.
    bool setCensusName(RecordId census, const QString &name);
    bool setTaxonName(RecordId taxon, const QString &name);
    bool setTaxonAbundanceText(RecordId taxon, const QString &text);
    bool setTaxonIncluded(RecordId taxon, bool included);

    // Runs fill on the store as one undoable step named undoText, whose
    // changes reach the views as one notification. fill may insert records
    // (e.g. with the store's import functions); what it inserts is removed
    // again by undo. Returns whatever fill returns.
    template <typename Fill> auto importRecords(const QString &undoText, Fill &&fill);

    // Inserts records prepared away from the store (numbered from
    // store().nextRecordId(), e.g. with renumberedRecords) as one undoable
    // step named undoText. An insert of slicedEditRecords or more runs a
    // slice at a time behind a progress dialog with Cancel; a cancelled
    // insert leaves the document as it was and returns false. The first
    // inserted collection (if any) is selected, also when the step is redone.
    bool insertPreparedRecords(const QString &undoText, DeletedRecords records);
    // Undoes or redoes a recorded edit (the undo stack's commands); a large
    // one a slice at a time, as above, under the progress dialog's label.
    enum class EditDirection { Undo, Redo };
    bool applyEdit(const StoreEdit &edit, EditDirection direction, const QString &label,
                   Cancel cancel = Cancel::NotOffered);
    static constexpr std::size_t slicedEditRecords = 50000;
    // True while a large edit is applied a slice at a time: the records are
    // half changed, so nothing may save or compute from them.
    bool isChangingInSlices() const { return m_changingInSlices; }

    // Deletes every taxon without a collection (run when a document opens).
    void removeOrphanedTaxa();

    // --- metrics commands (one undo step each) -----------------------------

    // The nine measures and the rarefied richness of the selected collection,
    // from the taxa the species table shows.
    void calculateSampleMetrics();
    // The same for every collection, straight from the store; also stores
    // the sample size in each collection. A document of more than
    // backgroundMetricsTaxa taxa computes them on another thread (busy, with
    // progress, until they are stored or cancelBackgroundWork); a change to
    // the records meanwhile starts the computation again.
    void metricsForAllCollections();
    static constexpr std::size_t backgroundMetricsTaxa = 50000;
    // Runs an analysis of a large document (one of more than
    // backgroundMetricsTaxa taxa; work owns what it reads) on another thread,
    // busy with progress and Cancel as the metrics are; finished runs here
    // afterwards unless it was cancelled. A new analysis cancels the last.
    void runAnalysisInBackground(std::function<void(BackgroundProgress &)> work,
                                 std::function<void()> finished);
    // Runs read, which reads the records (e.g. to copy what an analysis
    // needs), on another thread behind a short modal wait when the document
    // is large, so the window keeps turning; the records stay unchanged
    // meanwhile. A small document is read here at once.
    void readRecordsWhileWaiting(const QString &label, const std::function<void()> &read);
    // The same with Cancel in the wait: Cancel sets `stop`, read ends soon
    // after (see runStoppableWhileWaiting), and this returns false.
    bool readRecordsWhileWaiting(const QString &label,
                                 const std::function<void(const std::atomic<bool> &stop)> &read);
    void cancelBackgroundWork();
    bool isWorkingInBackground() const;

    // --- queries -----------------------------------------------------------

    bool hasTaxonData() const;  // the selected collection has a taxon
    bool hasCensusData() const; // at least one collection
    bool hasAtLeastThreeCensuses() const;
    bool hasCountedTaxa() const; // some collection holds a positive count

    std::vector<Taxon> createArrayOfAllTaxa() const;
    std::vector<Census> createArrayOfAllCensuses() const;
    // The group of all collections, or nothing when the store holds no taxon.
    std::optional<EcoCollectionGroup> makeEcoCollectionGroup() const;
    // The selected collection's taxa in display order, as analysis input.
    std::vector<TaxonEntry> selectedCollectionTaxonEntries() const;
    // Name of the selected collection (empty when unnamed or none).
    QString selectedCollectionName() const;

    // --- texts of the window ------------------------------------------------

    QString statusText() const { return m_statusText; }
    void setStatusText(const QString &text);
    QString chao2Text() const { return m_chao2Text; }
    void setChao2Text(const QString &text);
    // "for sample size of %d" after a metrics command; empty before.
    QString rarefactionCaption() const { return m_rarefactionCaption; }

    // Long commands bracket their work with these; they nest.
    void beginBusy();
    void endBusy();
    bool isBusy() const { return m_busyDepth > 0; }

    // Busy for the lifetime of the scope, also when the work throws.
    class BusyScope
    {
    public:
        explicit BusyScope(MyDocument &document) : m_document(document) { document.beginBusy(); }
        ~BusyScope() { m_document.endBusy(); }
        BusyScope(const BusyScope &) = delete;
        BusyScope &operator=(const BusyScope &) = delete;

    private:
        MyDocument &m_document;
    };

signals:
    // The selected collection changed (the species table shows other taxa).
    void selectedCollectionChanged();
    // Anything the toolbar's enabling depends on may have changed.
    void commandStateChanged();
    void statusTextChanged(const QString &text);
    void chao2TextChanged(const QString &text);
    void rarefactionCaptionChanged(const QString &text);
    void busyStarted();
    void busyEnded();
    // Progress of the work in the background (total 0: not known).
    void backgroundProgress(long long done, long long total);
    // A new row wants its first cell opened for typing.
    void editCensusNameRequested(int row);
    void editTaxonNameRequested(int row);
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString &fileName);

private:
    void onStoreChanged(const StoreChanges &changes);
    void onCensusSelectionChanged();
    // A command's changes are recorded between these and become one undo
    // step; the store sends them to the views as one notification.
    void beginRecording();
    StoreEdit endRecording();
    void pushEdit(const QString &text, StoreEdit edit);
    void finishRecording(const QString &text);
    // Updates a record, noting its values before for undo.
    void recordUpdate(const Census &census);
    void recordUpdate(const Taxon &taxon);
    void updateModifiedState();
    int rarefactionSampleSizeForCommand();
    void startBackgroundMetrics(int sampleSize);
    void deliverAllMetrics(const std::shared_ptr<const AllMetrics> &metrics, int sampleSize,
                           std::uint64_t takenAt);
    // Writes computed measures as one undo step, with the status line's
    // problems and the caption.
    void storeAllMetrics(const AllMetrics &metrics, int sampleSize);
    void setRarefactionCaption(int sampleSize);

    std::unique_ptr<Store> m_store;
    Store::ObserverId m_observerId = 0;
    QUndoStack m_undoStack;
    std::unique_ptr<CensusTableModel> m_censusModel;
    std::unique_ptr<TaxonTableModel> m_taxonModel;
    std::unique_ptr<QItemSelectionModel> m_censusSelection;
    std::unique_ptr<QItemSelectionModel> m_taxonSelection;
    std::shared_ptr<Ui> m_ui;
    std::function<bool()> m_endEditing;
    std::unique_ptr<StoreEditRecorder> m_recorder;
    int m_recordingDepth = 0;
    std::optional<RecordId> m_shownCollection;
    std::optional<RecordId> m_recordingSelection;
    bool m_recordingModified = false;

    bool m_lastModified = false;
    QString m_statusText;
    QString m_chao2Text;
    QString m_rarefactionCaption;
    int m_busyDepth = 0;
    bool m_changingInSlices = false;
    bool m_readingAway = false;
    int m_refusedEdits = 0;
    // Counts store notifications: a background result computed from an
    // older state is not stored.
    std::uint64_t m_changeCount = 0;
    std::unique_ptr<BackgroundTask> m_background;
    std::unique_ptr<BackgroundTask> m_analysis;
    // Last: it refers to the members above until it goes.
    std::unique_ptr<DocumentFileHandler> m_file;
};

template <typename Fill> auto MyDocument::importRecords(const QString &undoText, Fill &&fill)
{
    beginRecording();
    struct Finish
    {
        MyDocument &document;
        const QString &text;
        ~Finish() { document.finishRecording(text); }
    } finish{*this, undoText};
    return fill(*m_store);
}

} // namespace quorvella
