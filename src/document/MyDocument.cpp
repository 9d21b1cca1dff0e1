#include "document/MyDocument.h"

#include "analysis/EcoCollection.h"
#include "document/AbundanceText.h"
#include "document/BackgroundTask.h"
#include "document/CensusTableModel.h"
#include "document/CollectionMetrics.h"
#include "document/DocumentFileHandler.h"
#include "document/QtUi.h"
#include "document/Settings.h"
#include "document/StoreEdit.h"
#include "document/StoreEditCommand.h"
#include "document/TaxonTableModel.h"
#include "log/Log.h"
#include "store/AnalysisInput.h"
#include "store/DocumentFile.h"

#include <QFileInfo>
#include <QTimer>

namespace quorvella {
namespace {

std::optional<std::string> nameFromText(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text.toStdString();
}

TaxonEntry toEntry(const Taxon &taxon, std::optional<std::size_t> collection)
{
    return TaxonEntry{taxon.taxonName, taxon.abundance, taxon.includeTaxon, collection};
}

} // namespace

MyDocument::MyDocument(QObject *parent)
    : QObject(parent), m_store(std::make_unique<Store>()), m_ui(std::make_shared<QtUi>())
{
    m_censusModel = std::make_unique<CensusTableModel>(*this, *m_store);
    m_taxonModel = std::make_unique<TaxonTableModel>(*this, *m_store);
    m_censusSelection = std::make_unique<QItemSelectionModel>(m_censusModel.get());
    m_taxonSelection = std::make_unique<QItemSelectionModel>(m_taxonModel.get());
    m_observerId =
        m_store->addObserver([this](const StoreChanges &changes) { onStoreChanged(changes); });

    connect(m_censusSelection.get(), &QItemSelectionModel::selectionChanged, this,
            &MyDocument::onCensusSelectionChanged);
    connect(m_taxonSelection.get(), &QItemSelectionModel::selectionChanged, this,
            &MyDocument::commandStateChanged);

    m_background = std::make_unique<BackgroundTask>();
    m_analysis = std::make_unique<BackgroundTask>();
    for (BackgroundTask *task : {m_background.get(), m_analysis.get()}) {
        connect(task, &BackgroundTask::progressChanged, this, &MyDocument::backgroundProgress);
        connect(task, &BackgroundTask::runningChanged, this,
                [this](bool running) { running ? beginBusy() : endBusy(); });
    }

    m_file = std::make_unique<DocumentFileHandler>(*this);
    connect(m_file.get(), &DocumentFileHandler::fileNameChanged, this,
            &MyDocument::fileNameChanged);
    connect(m_file.get(), &DocumentFileHandler::savedStateChanged, this,
            &MyDocument::updateModifiedState);
}

MyDocument::~MyDocument()
{
    m_file.reset();
    m_analysis.reset();
    m_background.reset();
    m_store->removeObserver(m_observerId);
    // The selection models go before the models they watch.
    m_taxonSelection.reset();
    m_censusSelection.reset();
}

QString MyDocument::fileExtension()
{
    return QString::fromLatin1(DocumentFile::extension);
}

void MyDocument::setUi(std::shared_ptr<Ui> ui)
{
    if (ui)
        m_ui = std::move(ui);
}

// --- file ------------------------------------------------------------------

bool MyDocument::open(const QString &path)
{
    return m_file->open(path);
}

bool MyDocument::save()
{
    return m_file->save();
}

bool MyDocument::saveAs()
{
    return m_file->saveAs();
}

bool MyDocument::saveTo(const QString &path)
{
    return m_file->saveTo(path);
}

bool MyDocument::prepareToClose()
{
    return m_file->prepareToClose();
}

QString MyDocument::fileName() const
{
    return m_file->fileName();
}

QString MyDocument::displayName() const
{
    const QString file = fileName();
    return file.isEmpty() ? tr("Untitled") : QFileInfo(file).fileName();
}

bool MyDocument::isModified() const
{
    return m_store->isModified();
}

bool MyDocument::isEmpty() const
{
    return m_store->censusCount() == 0 && m_store->taxonCount() == 0;
}

void MyDocument::replaceContents(Store &&records)
{
    // A selected record stays selected when the new records hold it under
    // the same id and name: another program may have given the id of a
    // record never saved here to a record of its own.
    const std::optional<RecordId> collection = selectedCollection();
    const std::optional<std::string> collectionName =
        collection ? m_store->findCensus(*collection)->censusName : std::nullopt;
    std::vector<std::pair<RecordId, std::optional<std::string>>> taxa;
    for (const RecordId taxon : selectedTaxa())
        taxa.emplace_back(taxon, m_store->findTaxon(taxon)->taxonName);
    m_store->replaceAllRecords(std::move(records));
    removeOrphanedTaxa();
    m_undoStack.clear();
    // Like any list that avoids an empty selection, start on the first
    // collection, so its taxa show at once.
    const Census *kept = collection ? m_store->findCensus(*collection) : nullptr;
    if (kept && kept->censusName == collectionName)
        selectCollection(collection);
    else if (m_censusModel->rowCount() > 0)
        selectCollection(m_censusModel->censusAt(0));
    for (const auto &[taxon, name] : taxa) {
        const std::optional<Taxon> found = m_store->findTaxon(taxon);
        const int row = found && found->taxonName == name ? m_taxonModel->rowOf(taxon) : -1;
        if (row >= 0)
            m_taxonSelection->select(m_taxonModel->index(row, TaxonTableModel::NameColumn),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    updateModifiedState();
}

void MyDocument::setModifiedAsWhenClean(bool modified)
{
    m_store->setModified(modified);
    updateModifiedState();
}

void MyDocument::updateModifiedState()
{
    const bool modified = isModified();
    if (modified != m_lastModified) {
        m_lastModified = modified;
        emit modifiedChanged(modified);
    }
}

// --- store notifications and selection ----------------------------------------

void MyDocument::onStoreChanged(const StoreChanges &changes)
{
    ++m_changeCount;
    const std::optional<RecordId> shown = m_shownCollection;
    m_censusModel->applyChanges(changes);
    // A reset of the collection rows drops the selection; keep the
    // collection selected when it still exists.
    if (shown && m_censusSelection->selectedRows().isEmpty() && m_store->findCensus(*shown))
        selectCollection(shown);
    // A reset clears the selection without a signal: follow it here.
    onCensusSelectionChanged();
    m_taxonModel->applyChanges(changes);
    updateModifiedState();
    m_file->scheduleAutosave();
    emit commandStateChanged();
}

void MyDocument::onCensusSelectionChanged()
{
    const std::optional<RecordId> selected = selectedCollection();
    if (selected != m_shownCollection) {
        m_shownCollection = selected;
        m_taxonModel->showCensus(selected);
        emit selectedCollectionChanged();
    }
    emit commandStateChanged();
}

std::optional<RecordId> MyDocument::selectedCollection() const
{
    QModelIndexList rows = m_censusSelection->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    std::sort(rows.begin(), rows.end());
    return m_censusModel->censusAt(rows.constFirst().row());
}

std::vector<RecordId> MyDocument::selectedCollections() const
{
    QModelIndexList rows = m_censusSelection->selectedRows();
    std::sort(rows.begin(), rows.end());
    std::vector<RecordId> ids;
    ids.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex &index : rows)
        ids.push_back(m_censusModel->censusAt(index.row()));
    return ids;
}

void MyDocument::selectCollection(std::optional<RecordId> census)
{
    const int row = census ? m_censusModel->rowOf(*census) : -1;
    if (row < 0) {
        m_censusSelection->clear();
        return;
    }
    const QModelIndex index = m_censusModel->index(row, CensusTableModel::NameColumn);
    m_censusSelection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
}

void MyDocument::selectMostRecentCollection()
{
    const int rows = m_censusModel->rowCount();
    if (rows > 0)
        selectCollection(m_censusModel->censusAt(rows - 1));
}

std::vector<RecordId> MyDocument::selectedTaxa() const
{
    QModelIndexList rows = m_taxonSelection->selectedRows();
    std::sort(rows.begin(), rows.end());
    std::vector<RecordId> taxa;
    taxa.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex &index : rows)
        taxa.push_back(m_taxonModel->taxonAt(index.row()));
    return taxa;
}

// --- recording undo steps ----------------------------------------------------------

// Recordings nest: a command run inside another (e.g. from an import's fill
// function) becomes part of the outer command's undo step.
void MyDocument::beginRecording()
{
    if (!m_recorder) {
        m_recordingSelection = selectedCollection();
        m_recordingModified = m_store->isModified();
        m_recorder = std::make_unique<StoreEditRecorder>(*m_store);
    }
    ++m_recordingDepth;
    m_store->beginBatch();
}

StoreEdit MyDocument::endRecording()
{
    m_store->endBatch();
    if (--m_recordingDepth > 0)
        return {};
    StoreEdit edit = m_recorder->finish();
    m_recorder.reset();
    return edit;
}

void MyDocument::pushEdit(const QString &text, StoreEdit edit)
{
    if (!edit.empty()) {
        m_undoStack.push(new StoreEditCommand(*this, text, std::move(edit), m_recordingSelection,
                                              selectedCollection(), m_recordingModified));
    }
}

void MyDocument::finishRecording(const QString &text)
{
    pushEdit(text, endRecording());
}

void MyDocument::recordUpdate(const Census &census)
{
    if (const Census *before = m_store->findCensus(census.id))
        m_recorder->noteBefore(*before);
    m_store->updateCensus(census);
}

void MyDocument::recordUpdate(const Taxon &taxon)
{
    if (const std::optional<Taxon> before = m_store->findTaxon(taxon.id))
        m_recorder->noteBefore(*before);
    m_store->updateTaxon(taxon);
}

bool MyDocument::endEditing()
{
    return !m_endEditing || m_endEditing();
}

// --- editing commands -----------------------------------------------------------------

void MyDocument::addCollection()
{
    if (!endEditing()) {
        logLine("Quorvella - Could not end editing when adding a new collection");
        return;
    }
    beginRecording();
    const RecordId census = m_store->insertCensus();
    StoreEdit edit = endRecording();
    // The new collection is selected, as a list selects what it inserts.
    selectCollection(census);
    pushEdit(tr("Add Collection"), std::move(edit));
    emit editCensusNameRequested(m_censusModel->rowOf(census));
}

void MyDocument::deleteCollection()
{
    const std::vector<RecordId> ids = selectedCollections();
    if (ids.empty())
        return;
    const int firstRow = m_censusModel->rowOf(ids.front());

    beginRecording();
    m_store->deleteCensuses(ids);
    StoreEdit edit = endRecording();
    // Keep a collection selected where the deleted one was.
    const int remaining = m_censusModel->rowCount();
    if (remaining > 0)
        selectCollection(m_censusModel->censusAt(std::min(firstRow, remaining - 1)));
    pushEdit(ids.size() == 1 ? tr("Delete Collection") : tr("Delete Collections"), std::move(edit));
}

void MyDocument::addTaxon()
{
    if (!endEditing()) {
        logLine("Quorvella - Could not end editing when adding a new taxon");
        return;
    }
    const std::optional<RecordId> census = selectedCollection();
    if (!census) {
        // A species always belongs to a collection: none is made unattached.
        setStatusText(tr("Select a collection before adding a species."));
        return;
    }
    Taxon taxon;
    taxon.census = census;
    taxon.includeTaxon = true;
    beginRecording();
    const RecordId id = m_store->insertTaxon(taxon);
    finishRecording(tr("Add Species"));
    const int row = m_taxonModel->rowOf(id);
    if (row >= 0) {
        m_taxonSelection->setCurrentIndex(m_taxonModel->index(row, TaxonTableModel::NameColumn),
                                          QItemSelectionModel::ClearAndSelect |
                                              QItemSelectionModel::Rows);
    }
    emit editTaxonNameRequested(row);
}

void MyDocument::deleteTaxon()
{
    const std::vector<RecordId> taxa = selectedTaxa();
    if (taxa.empty())
        return;
    beginRecording();
    m_store->deleteTaxa(taxa);
    finishRecording(taxa.size() == 1
                        ? tr("Delete Species")
                        : tr("Delete Species (%n)", nullptr, static_cast<int>(taxa.size())));
}

bool MyDocument::setCensusName(RecordId census, const QString &name)
{
    const Census *current = m_store->findCensus(census);
    if (!current)
        return false;
    Census updated = *current;
    updated.censusName = nameFromText(name);
    beginRecording();
    recordUpdate(updated);
    finishRecording(tr("Rename Collection"));
    return true;
}

bool MyDocument::setTaxonName(RecordId taxon, const QString &name)
{
    const std::optional<Taxon> current = m_store->findTaxon(taxon);
    if (!current)
        return false;
    Taxon updated = *current;
    updated.taxonName = nameFromText(name);
    beginRecording();
    recordUpdate(updated);
    finishRecording(tr("Rename Species"));
    return true;
}

bool MyDocument::setTaxonAbundanceText(RecordId taxon, const QString &text)
{
    const std::optional<Taxon> current = m_store->findTaxon(taxon);
    if (!current)
        return false;
    const ParsedAbundance abundance = parseAbundance(text);
    if (!abundance.valid) {
        ++m_refusedEdits;
        setStatusText(tr("\u201c%1\u201d is not an abundance: type a whole number from 0 to "
                         "2147483647, or leave the cell empty.")
                          .arg(text));
        return false;
    }
    Taxon updated = *current;
    updated.abundance = abundance.value;
    beginRecording();
    recordUpdate(updated);
    finishRecording(tr("Change Abundance"));
    return true;
}

bool MyDocument::setTaxonIncluded(RecordId taxon, bool included)
{
    const std::optional<Taxon> current = m_store->findTaxon(taxon);
    if (!current)
        return false;
    Taxon updated = *current;
    updated.includeTaxon = included;
    beginRecording();
    recordUpdate(updated);
    finishRecording(included ? tr("Include Species") : tr("Exclude Species"));
    return true;
}

bool MyDocument::insertPreparedRecords(const QString &undoText, DeletedRecords records)
{
    StoreEdit edit;
    edit.inserted = std::move(records);
    const std::optional<RecordId> selectedBefore = selectedCollection();
    const bool wasModified = m_store->isModified();
    const QString label = tr("%1\u2026").arg(undoText);
    if (!applyEdit(edit, EditDirection::Redo, label, Cancel::Offered)) {
        // Takes out what the slices done so far put in.
        applyEdit(edit, EditDirection::Undo, tr("Cancelling\u2026"));
        m_store->setModified(wasModified);
        updateModifiedState();
        return false;
    }
    // The first new collection is selected, here and after a redo.
    if (!edit.inserted.censuses.empty())
        selectCollection(edit.inserted.censuses.front().id);
    m_undoStack.push(new StoreEditCommand(*this, undoText, std::move(edit), selectedBefore,
                                          selectedCollection(), wasModified));
    return true;
}

bool MyDocument::applyEdit(const StoreEdit &edit, EditDirection direction, const QString &label,
                           Cancel cancel)
{
    const bool undo = direction == EditDirection::Undo;
    if (edit.recordCount() < slicedEditRecords) {
        undo ? edit.undo(*m_store) : edit.redo(*m_store);
        return true;
    }
    constexpr std::size_t sliceRecords = 10000;
    const std::vector<StoreEditStep> steps =
        undo ? edit.undoSteps(sliceRecords) : edit.redoSteps(sliceRecords);
    std::vector<std::function<void()>> onStore;
    onStore.reserve(steps.size());
    for (const StoreEditStep &step : steps)
        onStore.emplace_back([this, &step] { step(*m_store); });
    const BusyScope busy(*this);
    m_changingInSlices = true;
    const bool done = runStepsWhileWaiting(label, onStore, cancel) == onStore.size();
    m_changingInSlices = false;
    return done;
}

void MyDocument::removeOrphanedTaxa()
{
    m_store->removeOrphanedTaxa();
}

// --- metrics commands -------------------------------------------------------------------

int MyDocument::rarefactionSampleSizeForCommand()
{
    return Settings::rarefactionSampleSize();
}

void MyDocument::setRarefactionCaption(int sampleSize)
{
    m_rarefactionCaption = tr("for sample size of %1").arg(sampleSize);
    emit rarefactionCaptionChanged(m_rarefactionCaption);
}

void MyDocument::calculateSampleMetrics()
{
    const EcoCollection collection =
        EcoCollection::initWithTaxonArray(selectedCollectionTaxonEntries());
    const int sampleSize = rarefactionSampleSizeForCommand();
    QString problem;
    if (const std::optional<RecordId> selected = selectedCollection()) {
        Census census = *m_store->findCensus(*selected);
        problem = storeMeasures(census, collection, sampleSize, false);
        beginRecording();
        recordUpdate(census);
        finishRecording(tr("Calculate Metrics"));
    }
    setStatusText(problem);
    setRarefactionCaption(sampleSize);
}

void MyDocument::metricsForAllCollections()
{
    const int sampleSize = rarefactionSampleSizeForCommand();
    if (m_store->taxonCount() > backgroundMetricsTaxa) {
        startBackgroundMetrics(sampleSize);
        return;
    }
    const BusyScope busy(*this);
    storeAllMetrics(computeAllMetrics(takeMetricsSnapshot(*m_store), sampleSize), sampleSize);
}

void MyDocument::startBackgroundMetrics(int sampleSize)
{
    auto snapshot = std::make_shared<MetricsSnapshot>(takeMetricsSnapshot(*m_store));
    auto result = std::make_shared<AllMetrics>();
    const std::uint64_t takenAt = m_changeCount;
    m_background->start(
        [snapshot, result, sampleSize](BackgroundProgress &progress) {
            *result = computeAllMetrics(std::move(*snapshot), sampleSize, &progress);
        },
        [this, result, sampleSize, takenAt] { deliverAllMetrics(result, sampleSize, takenAt); });
}

void MyDocument::deliverAllMetrics(const std::shared_ptr<const AllMetrics> &metrics, int sampleSize,
                                   std::uint64_t takenAt)
{
    if (m_file->isWriting() || m_changingInSlices || m_readingAway) {
        // A save is reading the records on another thread, or an edit is
        // half applied: store them after.
        QTimer::singleShot(100, this, [this, metrics, sampleSize, takenAt] {
            deliverAllMetrics(metrics, sampleSize, takenAt);
        });
    } else if (takenAt == m_changeCount) {
        storeAllMetrics(*metrics, sampleSize);
    } else {
        startBackgroundMetrics(sampleSize); // the records changed meanwhile
    }
}

void MyDocument::storeAllMetrics(const AllMetrics &metrics, int sampleSize)
{
    beginRecording();
    for (const Census &census : metrics.censuses)
        recordUpdate(census);
    finishRecording(tr("Metrics for All Collections"));
    setStatusText(metrics.problems.join(QLatin1Char(' ')));
    setRarefactionCaption(sampleSize);
}

void MyDocument::runAnalysisInBackground(std::function<void(BackgroundProgress &)> work,
                                         std::function<void()> finished)
{
    m_analysis->start(std::move(work), std::move(finished));
}

void MyDocument::readRecordsWhileWaiting(const QString &label, const std::function<void()> &read)
{
    if (m_store->taxonCount() <= backgroundMetricsTaxa || m_readingAway) {
        read();
        return;
    }
    m_readingAway = true;
    runWhileWaiting(label, read, Cancel::NotOffered);
    m_readingAway = false;
}

bool MyDocument::readRecordsWhileWaiting(
    const QString &label, const std::function<void(const std::atomic<bool> &stop)> &read)
{
    if (m_store->taxonCount() <= backgroundMetricsTaxa || m_readingAway) {
        const std::atomic<bool> never{false};
        read(never);
        return true;
    }
    m_readingAway = true;
    const bool finished = runStoppableWhileWaiting(label, read);
    m_readingAway = false;
    return finished;
}

void MyDocument::cancelBackgroundWork()
{
    m_background->cancel();
    m_analysis->cancel();
}

bool MyDocument::isWorkingInBackground() const
{
    return m_background->isRunning() || m_analysis->isRunning();
}

// --- queries ------------------------------------------------------------------------------

bool MyDocument::hasTaxonData() const
{
    return m_store->hasTaxonData(selectedCollection());
}

bool MyDocument::hasCensusData() const
{
    return m_store->hasCensusData();
}

bool MyDocument::hasAtLeastThreeCensuses() const
{
    return m_store->hasAtLeastThreeCensuses();
}

bool MyDocument::hasCountedTaxa() const
{
    return m_store->hasCountedTaxa();
}

std::vector<Taxon> MyDocument::createArrayOfAllTaxa() const
{
    return m_store->createArrayOfAllTaxa();
}

std::vector<Census> MyDocument::createArrayOfAllCensuses() const
{
    return m_store->createArrayOfAllCensuses();
}

std::optional<EcoCollectionGroup> MyDocument::makeEcoCollectionGroup() const
{
    return quorvella::makeEcoCollectionGroup(*m_store);
}

std::vector<TaxonEntry> MyDocument::selectedCollectionTaxonEntries() const
{
    std::vector<TaxonEntry> entries;
    entries.reserve(m_taxonModel->taxa().size());
    for (const RecordId id : m_taxonModel->taxa()) {
        if (const std::optional<Taxon> taxon = m_store->findTaxon(id))
            entries.push_back(toEntry(*taxon, std::nullopt));
    }
    return entries;
}

QString MyDocument::selectedCollectionName() const
{
    const std::optional<RecordId> selected = selectedCollection();
    const Census *census = selected ? m_store->findCensus(*selected) : nullptr;
    return census && census->censusName ? QString::fromStdString(*census->censusName) : QString();
}

// --- texts and busy state ---------------------------------------------------------------------

void MyDocument::setStatusText(const QString &text)
{
    if (text == m_statusText)
        return;
    m_statusText = text;
    emit statusTextChanged(text);
}

void MyDocument::setChao2Text(const QString &text)
{
    if (text == m_chao2Text)
        return;
    m_chao2Text = text;
    emit chao2TextChanged(text);
}

void MyDocument::beginBusy()
{
    if (m_busyDepth++ == 0)
        emit busyStarted();
}

void MyDocument::endBusy()
{
    if (m_busyDepth > 0 && --m_busyDepth == 0)
        emit busyEnded();
}

} // namespace quorvella
