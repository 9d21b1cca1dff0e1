#include "plot/RichnessEstimatorsWindow.h"

#include "analysis/Cancellation.h"
#include "document/BackgroundTask.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/Settings.h"
#include "plot/RichnessEstimatesModels.h"
#include "store/AnalysisInput.h"
#include "textio/AsciiCheck.h"
#include "textio/EstimatorTables.h"
#include "textio/TextFile.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace quorvella {
namespace {

constexpr int contentsSampleRows = 64;

QTableView *makeTable(QAbstractItemModel *model, bool sortable, QWidget *parent)
{
    auto *table = new QTableView(parent);
    if (sortable) {
        auto *proxy = new QSortFilterProxyModel(table);
        proxy->setSourceModel(model);
        proxy->setSortRole(Qt::UserRole);
        table->setModel(proxy);
        table->setSortingEnabled(true);
        table->sortByColumn(-1, Qt::AscendingOrder); // the document's order until a click
    } else {
        table->setModel(model);
    }
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Measured on every change: the rows on screen and a sample of the rest
    // give the widths without laying out a thousand rows' text.
    table->horizontalHeader()->setResizeContentsPrecision(contentsSampleRows);
    return table;
}

} // namespace

RichnessEstimatorsWindow::RichnessEstimatorsWindow(MyDocument &document, QWidget *parent)
    : QWidget(parent, Qt::Window), m_document(&document)
{
    setObjectName(QStringLiteral("richnessEstimatorsWindow"));
    m_collectionsModel = new CollectionEstimatesModel(this);
    m_groupModel = new GroupEstimatesModel(this);
    m_collectionsTable = makeTable(m_collectionsModel, true, this);
    m_collectionsTable->setObjectName(QStringLiteral("collectionEstimatesTable"));
    m_groupTable = makeTable(m_groupModel, false, this);
    m_groupTable->setObjectName(QStringLiteral("groupEstimatesTable"));
    m_groupCaption = new QLabel(this);
    m_groupCaption->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("<b>Each collection</b> (from its specimens)"), this));
    layout->addWidget(m_collectionsTable, 3);
    layout->addWidget(m_groupCaption);
    layout->addWidget(m_groupTable, 2);
    layout->addWidget(buildButtons());
    resize(900, 560);

    m_task = std::make_unique<BackgroundTask>();
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &RichnessEstimatorsWindow::refresh);
    m_observerId =
        document.store().addObserver([this](const StoreChanges &) { m_refreshTimer.start(0); });
    connect(&Settings::instance(), &Settings::changed, this, [this](const QString &key) {
        if (key == QLatin1String(QTRConfidenceLevelKey)) {
            m_refreshTimer.start(0);
        }
    });
    connect(&document, &QObject::destroyed, this, &QWidget::close);
    refresh();
}

RichnessEstimatorsWindow::~RichnessEstimatorsWindow()
{
    if (m_document) {
        m_document->store().removeObserver(m_observerId);
    }
}

RichnessEstimatorsWindow &RichnessEstimatorsWindow::showFor(DocumentWindow &window)
{
    auto *estimators =
        window.findChild<RichnessEstimatorsWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (estimators == nullptr) {
        estimators = new RichnessEstimatorsWindow(window.document(), &window);
        estimators->setAttribute(Qt::WA_DeleteOnClose);
    }
    estimators->setWindowTitle(
        tr("Richness Estimators \u2014 %1").arg(window.document().displayName()));
    estimators->show();
    estimators->raise();
    estimators->activateWindow();
    return *estimators;
}

QWidget *RichnessEstimatorsWindow::buildButtons()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    m_progress = new QProgressBar(row);
    m_progress->setRange(0, 0); // the estimators do not count their steps
    m_progress->setMaximumWidth(160);
    m_progress->setVisible(false);
    m_cancel = new QPushButton(tr("Cancel"), row);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setVisible(false);
    connect(m_cancel, &QPushButton::clicked, this, &RichnessEstimatorsWindow::cancelComputation);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel);
    auto *copy = new QPushButton(tr("Copy"), row);
    copy->setObjectName(QStringLiteral("copyButton"));
    connect(copy, &QPushButton::clicked, this, &RichnessEstimatorsWindow::copyTables);
    auto *exportButton = new QPushButton(tr("Export CSV\u2026"), row);
    exportButton->setObjectName(QStringLiteral("exportCsvButton"));
    connect(exportButton, &QPushButton::clicked, this, &RichnessEstimatorsWindow::exportCsv);
    layout->addWidget(copy);
    layout->addWidget(exportButton);
    return row;
}

QString RichnessEstimatorsWindow::groupCaption() const
{
    return m_groupCaption->text();
}

void RichnessEstimatorsWindow::refresh()
{
    if (!m_document) {
        return;
    }
    if (m_document->isChangingInSlices()) {
        m_refreshTimer.start(200); // after the change, not from half of it
        return;
    }
    const Store &store = m_document->store();
    auto input = std::make_shared<RichnessInput>();
    if (!m_document->readRecordsWhileWaiting(tr("Reading the collections\u2026"),
                                             [input, &store](const std::atomic<bool> &stop) {
                                                 *input = makeRichnessInput(store, &stop);
                                             })) {
        showCancelled();
        return;
    }
    const auto level = Settings::confidenceLevel();
    if (store.taxonCount() <= MyDocument::backgroundMetricsTaxa) {
        showEstimates(estimateRichness(std::move(*input), level));
        return;
    }
    auto estimates = std::make_shared<RichnessEstimates>();
    m_groupCaption->setText(tr("Computing the estimators\u2026"));
    m_progress->setVisible(true);
    m_cancel->setVisible(true);
    m_task->start(
        [input, estimates, level](BackgroundProgress &progress) {
            try {
                *estimates = estimateRichness(*input, level, &progress.cancelled);
            } catch (const ComputationCancelled &) {
                // Abandoned: a cancelled run shows nothing.
            }
        },
        [this, estimates] { showEstimates(std::move(*estimates)); });
}

bool RichnessEstimatorsWindow::isComputing() const
{
    return m_task->isRunning();
}

void RichnessEstimatorsWindow::cancelComputation()
{
    m_task->cancel();
    showCancelled();
}

void RichnessEstimatorsWindow::showCancelled()
{
    m_progress->setVisible(false);
    m_cancel->setVisible(false);
    m_groupCaption->setText(tr("Cancelled: the tables show the last finished estimates."));
}

void RichnessEstimatorsWindow::showEstimates(RichnessEstimates estimates)
{
    m_progress->setVisible(false);
    m_cancel->setVisible(false);
    m_estimates = std::move(estimates);
    m_collectionsModel->setEstimates(m_estimates);
    m_groupModel->setEstimates(m_estimates);
    if (const std::optional<IncidenceEstimates> &group = m_estimates.group) {
        m_groupCaption->setText(
            tr("<b>The group</b>: %1 collections as sampling units, %2 taxa observed. "
               "Chao-2 here is the bias-corrected estimator; the document's Chao-2 field "
               "keeps the classic formula.")
                .arg(group->units)
                .arg(group->observed));
    } else {
        m_groupCaption->setText(
            tr("<b>The group</b>: the group estimators need at least two collections."));
    }
}

void RichnessEstimatorsWindow::copyTables()
{
    QApplication::clipboard()->setText(
        QString::fromStdString(richnessEstimatesCsv(m_estimates, "\n", '\t')));
}

void RichnessEstimatorsWindow::exportCsv()
{
    if (!m_document) {
        return;
    }
    Ui &ui = m_document->ui();
    const std::string text = richnessEstimatesCsv(m_estimates, "\r");
    const QString failed = tr("The export could not be saved.");
    if (const std::optional<NonAsciiCharacter> bad = findFirstNonAscii(text)) {
        ui.showErrorAlert(failed, QString::fromStdString(bad->describe()));
        return;
    }
    const QString path =
        ui.chooseFileToSave(tr("Export Richness Estimators"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    const WriteResult written = writeFileAtomically(QFile::encodeName(path).toStdString(), text);
    if (!written.ok) {
        ui.showErrorAlert(failed, QString::fromStdString(written.error));
    }
}

} // namespace quorvella
