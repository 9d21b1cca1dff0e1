#include "plot/DiversityWindow.h"

#include "document/MyDocument.h"
#include "document/Ui.h"
#include "plot/CommonDiversityModel.h"
#include "plot/DiversityComputation.h"
#include "plot/DiversityControls.h"
#include "plot/DiversityCurves.h"
#include "plot/DiversityTables.h"
#include "plot/DiversityView.h"
#include "plot/DiversityWorker.h"
#include "plot/PlotFiles.h"
#include "store/AnalysisInput.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvella {

namespace {

// Typing a number fires a change per keystroke: wait for a pause.
constexpr int debounceMs = 150;

QPushButton *button(QWidget *parent, const QString &text, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

DiversityWindow::DiversityWindow(MyDocument &document, std::vector<RecordId> collections,
                                 DiversityDataType dataType, QWidget *parent)
    : QWidget(parent, Qt::Window), m_document(&document), m_ui(document.ui().forWindow(this)),
      m_collections(std::move(collections))
{
    setObjectName(QStringLiteral("DiversityWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_worker = new DiversityWorker(this);
    m_controls = new DiversityControls(dataType, this);
    m_view = new DiversityView(this);
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(m_view, tr("Curves"));
    m_tabs->addTab(buildCommonTab(), tr("Diversity at a common size or coverage"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_controls);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buildProgressRow());
    layout->addWidget(buildButtons());

    m_debounce.setSingleShot(true);
    m_debounce.setInterval(debounceMs);
    connect(&m_debounce, &QTimer::timeout, this, &DiversityWindow::requestComputation);
    connect(m_controls, &DiversityControls::settingsChanged, this,
            &DiversityWindow::scheduleComputation);
    connect(m_controls, &DiversityControls::plotTypeChanged, this, &DiversityWindow::showPicture);
    connect(m_worker, &DiversityWorker::finished, this, &DiversityWindow::showResult);
    connect(m_worker, &DiversityWorker::failed, this,
            [this](std::uint64_t, const QString &message) { showFailure(message); });
    connect(m_worker, &DiversityWorker::cancelled, this,
            [this] { showFailure(tr("Cancelled; the last finished result is shown.")); });
    connect(m_worker, &DiversityWorker::progressChanged, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    // Any change of the document's data re-plots.
    m_observer =
        document.store().addObserver([this](const StoreChanges &) { scheduleComputation(); });

    auto *closeWindow = new QAction(tr("Close"), this);
    closeWindow->setShortcut(QKeySequence::Close);
    connect(closeWindow, &QAction::triggered, this, &QWidget::close);
    addAction(closeWindow);
    auto *copy = new QAction(tr("Copy"), this);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &DiversityWindow::copyPicture);
    addAction(copy);
    updateTitle();
    resize(1040, 600);
}

DiversityWindow::~DiversityWindow()
{
    // The document may be gone already (its window is torn down first).
    if (m_document) {
        m_document->store().removeObserver(m_observer);
    }
}

QWidget *DiversityWindow::buildProgressRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_status = new QLabel(row);
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_status->setWordWrap(true);
    m_progress = new QProgressBar(row);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setMaximumWidth(200);
    m_cancel = button(row, tr("Cancel"), "cancelButton");
    connect(m_cancel, &QPushButton::clicked, this, &DiversityWindow::cancelComputation);
    layout->addWidget(m_status, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel);
    m_progress->setVisible(false);
    m_cancel->setVisible(false);
    return row;
}

QWidget *DiversityWindow::buildCommonTab()
{
    auto *tab = new QWidget(this);
    m_commonBasis = new QComboBox(tab);
    m_commonBasis->setObjectName(QStringLiteral("commonBasisBox"));
    m_commonBasis->addItems({tr("At a common size"), tr("At a common coverage")});
    m_commonValue = new QDoubleSpinBox(tab);
    m_commonValue->setObjectName(QStringLiteral("commonValueBox"));
    m_commonValue->setSpecialValueText(tr("Default"));
    m_commonValue->setRange(0, 1e9);
    m_commonValue->setDecimals(0);
    m_commonModel = new CommonDiversityModel(tab);
    auto *proxy = new QSortFilterProxyModel(tab);
    proxy->setSourceModel(m_commonModel);
    proxy->setSortRole(CommonDiversityModel::sortRole);
    m_commonTable = new QTableView(tab);
    m_commonTable->setObjectName(QStringLiteral("commonTable"));
    m_commonTable->setModel(proxy);
    m_commonTable->setSortingEnabled(true);
    m_commonTable->sortByColumn(-1, Qt::AscendingOrder);
    m_commonTable->horizontalHeader()->setStretchLastSection(true);
    auto *exportButton = button(tab, tr("Export CSV…"), "exportCommonButton");
    connect(exportButton, &QPushButton::clicked, this, &DiversityWindow::exportCommonTable);

    connect(m_commonBasis, &QComboBox::currentIndexChanged, this, [this](int basis) {
        // A size is a whole number of individuals or units; a coverage a
        // fraction below 1.
        m_commonValue->blockSignals(true);
        m_commonValue->setDecimals(basis == 1 ? 4 : 0);
        m_commonValue->setRange(0, basis == 1 ? 0.9999 : 1e9);
        m_commonValue->setSingleStep(basis == 1 ? 0.01 : 10);
        m_commonValue->setValue(0);
        m_commonValue->blockSignals(false);
        scheduleComputation();
    });
    connect(m_commonValue, &QDoubleSpinBox::valueChanged, this,
            &DiversityWindow::scheduleComputation);

    auto *controls = new QHBoxLayout;
    controls->addWidget(m_commonBasis);
    controls->addWidget(m_commonValue);
    controls->addStretch(1);
    controls->addWidget(exportButton);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(controls);
    layout->addWidget(m_commonTable, 1);
    return tab;
}

QWidget *DiversityWindow::buildButtons()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    auto *copyButton = button(row, tr("Copy Picture"), "copyPictureButton");
    connect(copyButton, &QPushButton::clicked, this, &DiversityWindow::copyPicture);
    auto *printButton = button(row, tr("Print…"), "printButton");
    connect(printButton, &QPushButton::clicked, this, &DiversityWindow::printPicture);
    auto *tableButton = button(row, tr("Save Table…"), "saveTableButton");
    connect(tableButton, &QPushButton::clicked, this, &DiversityWindow::saveTable);
    layout->addWidget(copyButton);
    layout->addWidget(printButton);
    layout->addWidget(tableButton);
    layout->addWidget(
        makeSavePictureButton(row, [this](PictureFormat format) { savePicture(format); }));
    return row;
}

DiversitySettings DiversityWindow::settings() const
{
    DiversitySettings settings = m_controls->settings();
    settings.commonBasis =
        m_commonBasis->currentIndex() == 1 ? CommonBasis::Coverage : CommonBasis::Size;
    if (m_commonValue->value() > 0) {
        settings.commonValue = m_commonValue->value();
    }
    return settings;
}

void DiversityWindow::scheduleComputation()
{
    m_debounce.start();
}

void DiversityWindow::requestComputation()
{
    m_debounce.stop();
    if (!m_document) {
        return;
    }
    if (m_document->isChangingInSlices()) {
        m_debounce.start(); // after the change, not from half of it
        return;
    }
    const DiversitySettings chosen = settings();
    // Copied from the store here, made into samples on the worker's thread.
    const Store &store = m_document->store();
    std::optional<GroupTaxa> group;
    std::vector<CensusCounts> counts;
    const bool read = m_document->readRecordsWhileWaiting(
        tr("Reading the collections\u2026"), [&](const std::atomic<bool> &stop) {
            if (chosen.dataType == DiversityDataType::Incidence) {
                if (store.taxonCount() > 0) {
                    group = groupTaxaOfStore(store, &stop);
                }
            } else {
                counts = countsOfCensuses(store, m_collections, &stop);
            }
        });
    updateTitle();
    if (!read) {
        showFailure(tr("Cancelled; the last finished result is shown."));
        return;
    }
    m_progress->setRange(0, 0);
    m_progress->setVisible(true);
    m_cancel->setVisible(true);
    m_status->setText(tr("Computing…"));
    m_worker->start([chosen, group = std::move(group),
                     counts = std::move(counts)](DiversityJobControl &control) mutable {
        std::vector<DiversitySample> samples;
        if (group) {
            EcoCollectionGroup all(std::move(*group));
            samples.push_back(incidenceSampleOfGroup(all));
        }
        for (const CensusCounts &census : counts) {
            samples.push_back(abundanceSample(census.name, census.counts));
        }
        return std::make_shared<const DiversityResult>(
            computeDiversity(chosen, std::move(samples), control));
    });
}

void DiversityWindow::cancelComputation()
{
    m_debounce.stop();
    m_worker->cancel();
}

void DiversityWindow::showResult()
{
    m_progress->setVisible(false);
    m_cancel->setVisible(false);
    const std::shared_ptr<const DiversityResult> result = m_worker->result();
    QStringList problems;
    for (const DiversityOutcome &outcome : result->curves) {
        if (!outcome.profile) {
            problems << QString::fromStdString(outcome.problem);
        }
    }
    if (result->samples.empty()) {
        problems << tr(
            "There is nothing to compare: the chosen collections are gone or hold no taxa.");
    }
    m_status->setText(problems.join(QLatin1Char(' ')));
    m_commonModel->setResult(result);
    showPicture();
    emit resultShown();
}

void DiversityWindow::showPicture()
{
    if (const auto result = m_worker->result()) {
        m_view->setPicture(diversityPicture(*result, m_controls->plotType()));
    }
}

void DiversityWindow::showFailure(const QString &message)
{
    m_progress->setVisible(false);
    m_cancel->setVisible(false);
    m_status->setText(message);
}

QString DiversityWindow::statusText() const
{
    return m_status->text();
}

QString DiversityWindow::titleText() const
{
    const QString documentName = m_document ? m_document->displayName() : QString();
    if (m_controls->settings().dataType == DiversityDataType::Incidence) {
        return tr("Diversity of all collections as sampling units — %1").arg(documentName);
    }
    QStringList names;
    if (m_document) {
        for (const RecordId id : m_collections) {
            if (const Census *census = m_document->store().findCensus(id)) {
                names << QString::fromStdString(census->censusName.value_or(std::string()));
            }
        }
    }
    const QString which = names.size() <= 3 ? names.join(QStringLiteral(", "))
                                            : tr("%n collections", nullptr, int(names.size()));
    return tr("Diversity of %1 — %2").arg(which, documentName);
}

void DiversityWindow::updateTitle()
{
    setWindowTitle(titleText());
}

PictureDrawing DiversityWindow::drawing() const
{
    return m_view->drawing(windowTitle());
}

void DiversityWindow::savePicture(PictureFormat format)
{
    if (m_document) {
        savePictureWithPanel(*m_ui, format, drawing());
    }
}

void DiversityWindow::copyPicture()
{
    quorvella::copyPicture(drawing());
}

void DiversityWindow::printPicture()
{
    if (m_document) {
        printPictureWithPreview(*m_ui, windowTitle(), drawing());
    }
}

void DiversityWindow::saveTable()
{
    const auto result = m_worker->result();
    if (m_document && result) {
        saveBytesWithPanel(*m_ui, tr("Save Table"), QStringLiteral("csv"),
                           QByteArray::fromStdString(curvesTableText(*result)));
    }
}

void DiversityWindow::exportCommonTable()
{
    const auto result = m_worker->result();
    if (m_document && result) {
        saveBytesWithPanel(*m_ui, tr("Export Table"), QStringLiteral("csv"),
                           QByteArray::fromStdString(commonTableText(*result)));
    }
}

void DiversityWindow::closeEvent(QCloseEvent *event)
{
    m_worker->cancel();
    emit windowWillClose(this);
    QWidget::closeEvent(event);
}

} // namespace quorvella
