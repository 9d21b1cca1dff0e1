#include "names/DocumentWindowNames.h"

#include "document/BackgroundTask.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/Ui.h"
#include "names/CensusTableView.h"
#include "names/DocumentTexts.h"
#include "names/FileImport.h"
#include "names/SpeciesTableView.h"
#include "names/TaxonFormatter.h"
#include "names/TaxonNameDelegate.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <string_view>
#include <unordered_set>

namespace quorvella {

namespace {

const char *const attachmentName = "quorvellaDocumentWindowNames";

} // namespace

DocumentWindowNames *DocumentWindowNames::attach(DocumentWindow &window)
{
    if (DocumentWindowNames *existing = find(window)) {
        return existing;
    }
    return new DocumentWindowNames(window);
}

DocumentWindowNames *DocumentWindowNames::find(const DocumentWindow &window)
{
    return window.findChild<DocumentWindowNames *>(QLatin1String(attachmentName),
                                                   Qt::FindDirectChildrenOnly);
}

DocumentWindowNames::DocumentWindowNames(DocumentWindow &window)
    : QObject(&window), m_window(window), m_document(&window.document()),
      m_formatter(new TaxonFormatter(this)), m_sorting(std::make_unique<BackgroundTask>())
{
    setObjectName(QLatin1String(attachmentName));
    m_gatherTimer.setInterval(0);
    connect(&m_gatherTimer, &QTimer::timeout, this, &DocumentWindowNames::gatherSomeNames);
    installTables();
    // The window opens with the document's names, then follows the store.
    updateAutocompletionList();
    observeStore();
    connect(m_document.data(), &MyDocument::busyEnded, this, &DocumentWindowNames::addNewNames);
    connect(window.action(ToolbarItem::TaxonList), &QAction::triggered, this,
            &DocumentWindowNames::setTaxonList);
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

DocumentWindowNames::~DocumentWindowNames()
{
    if (m_document) {
        m_document->store().removeObserver(m_observerId);
    }
}

void DocumentWindowNames::installTables()
{
    m_censusTable = new CensusTableView;
    m_speciesTable = new SpeciesTableView;
    m_window.setCensusTable(m_censusTable);
    m_window.setSpeciesTable(m_speciesTable);
    m_speciesTable->setItemDelegateForColumn(SpeciesTableView::taxonNameColumn,
                                             new TaxonNameDelegate(m_formatter, m_speciesTable));
    for (TabFlowTableView *table : {static_cast<TabFlowTableView *>(m_censusTable),
                                    static_cast<TabFlowTableView *>(m_speciesTable)}) {
        table->setRefusedEditCounter(
            [document = m_document] { return document ? document->refusedEditCount() : 0; });
    }
    // The window's own actions end any edit and check that the command may
    // run, exactly as a toolbar click would.
    connect(m_speciesTable, &SpeciesTableView::addTaxonRequested,
            m_window.action(ToolbarItem::AddTaxon), &QAction::trigger);
    connect(m_censusTable, &CensusTableView::addCollectionRequested,
            m_window.action(ToolbarItem::AddCollection), &QAction::trigger);
    // A record the document adds for typing in is new until Tab leaves it.
    connect(m_document.data(), &MyDocument::editCensusNameRequested, m_censusTable,
            &TabFlowTableView::markNewRecord);
    connect(m_document.data(), &MyDocument::editTaxonNameRequested, m_speciesTable,
            &TabFlowTableView::markNewRecord);
}

void DocumentWindowNames::observeStore()
{
    m_observerId = m_document->store().addObserver(
        [this](const StoreChanges &changes) { onStoreChanged(changes); });
}

void DocumentWindowNames::onStoreChanged(const StoreChanges &changes)
{
    // A gathering reads the store as it was, and a list being sorted would
    // replace the names added meanwhile: begin again.
    if (changes.reset || isGatheringNames()) {
        updateAutocompletionList();
        return;
    }
    // An import brings millions of taxa but only thousands of names; an
    // edit applied in slices adds them once, when its last slice is in.
    for (const auto *taxa : {&changes.insertedTaxa, &changes.updatedTaxa}) {
        for (const Taxon &taxon : *taxa) {
            if (taxon.taxonName && m_newNamesSeen.insert(*taxon.taxonName).second) {
                m_newNames.push_back(*taxon.taxonName);
            }
        }
    }
    if (!m_document->isChangingInSlices()) {
        addNewNames();
    }
}

void DocumentWindowNames::addNewNames()
{
    if (m_newNames.empty()) {
        return;
    }
    QStringList names;
    names.reserve(static_cast<qsizetype>(m_newNames.size()));
    for (const std::string &name : m_newNames) {
        names.append(QString::fromStdString(name));
    }
    m_newNames.clear();
    m_newNamesSeen.clear();
    m_formatter->handleNewTaxon(names);
}

void DocumentWindowNames::setTaxonList()
{
    if (m_formatter->loadListOfTaxonNames(m_document->ui())) {
        stopGathering(); // the user's list wins over the document's names
    }
}

void DocumentWindowNames::setCompletionList(const QStringList &names)
{
    stopGathering();
    m_formatter->setListOfTaxonNamesFromList(names);
}

bool DocumentWindowNames::isGatheringNames() const
{
    return m_gathering != nullptr || isSortingNames();
}

bool DocumentWindowNames::isSortingNames() const
{
    return m_sorting->isRunning();
}

void DocumentWindowNames::stopGathering()
{
    m_gathering.reset();
    m_gatherTimer.stop();
    m_sorting->cancel();
}

void DocumentWindowNames::updateAutocompletionList()
{
    stopGathering();
    if (m_document->store().taxonCount() > gatherAtOnceTaxa) {
        m_gathering = std::make_unique<TaxonNameGathering>(m_document->store());
        m_gatherTimer.start();
    } else if (const std::optional<QStringList> names = documentTaxonNames(*m_document)) {
        m_formatter->setListOfTaxonNamesFromList(*names);
    }
}

void DocumentWindowNames::gatherSomeNames()
{
    // A short slice per turn keeps the window answering.
    if (!m_gathering || !m_gathering->gatherUntil(QDeadlineTimer(20))) {
        return;
    }
    // The names are copies: the sort touches nothing of the document.
    auto names = std::make_shared<std::vector<std::string>>(m_gathering->takeNames());
    m_gathering.reset();
    m_gatherTimer.stop();
    auto sorted = std::make_shared<QStringList>();
    m_sorting->start(
        [names, sorted](BackgroundProgress &) { *sorted = sortedTaxonNames(std::move(*names)); },
        [this, sorted] { m_formatter->setListOfTaxonNamesFromList(*sorted); });
}

bool DocumentWindowNames::importDroppedFile(const QString &path)
{
    Ui &ui = m_document->ui();
    const QList<ImportFormat> formats{ImportFormat::AbundanceList, ImportFormat::Collection,
                                      ImportFormat::CollectionGroup};
    const int chosen =
        ui.askChoice(tr("Import “%1”").arg(QFileInfo(path).fileName()),
                     tr("Which kind of data does the file hold?"),
                     {tr("Abundance List"), tr("One Collection"), tr("Group of Collections")});
    if (chosen < 0 || chosen >= formats.size()) {
        return false;
    }
    const ImportFormat format = formats.at(chosen);
    const std::optional<std::string> text = readImportFile(ui, path);
    if (!text || !checkImportText(ui, format, *text)) {
        return false;
    }
    importTextIntoWindow(m_window, format, *text);
    return true;
}

QStringList DocumentWindowNames::droppableFiles(const QEvent *event)
{
    const QMimeData *mime = static_cast<const QDropEvent *>(event)->mimeData();
    QStringList paths;
    if (mime == nullptr || !mime->hasUrls()) {
        return paths;
    }
    for (const QUrl &url : mime->urls()) {
        const QString suffix = QFileInfo(url.toLocalFile()).suffix();
        if (url.isLocalFile() && importFileExtensions().contains(suffix, Qt::CaseInsensitive)) {
            paths.append(url.toLocalFile());
        }
    }
    return paths;
}

bool DocumentWindowNames::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_window) {
        return false;
    }
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!droppableFiles(event).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        const QStringList paths = droppableFiles(event);
        if (!paths.isEmpty()) {
            static_cast<QDropEvent *>(event)->acceptProposedAction();
            // The questions and alerts of the import are modal: run them
            // after the drop has finished, not inside it.
            QMetaObject::invokeMethod(
                this,
                [this, paths] {
                    for (const QString &path : paths) {
                        importDroppedFile(path);
                    }
                },
                Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}

} // namespace quorvella
