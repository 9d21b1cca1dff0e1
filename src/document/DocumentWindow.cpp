#include "document/DocumentWindow.h"

#include "document/CensusTableModel.h"
#include "document/DocumentPrinting.h"
#include "document/MetricsPanel.h"
#include "document/MyDocument.h"
#include "document/QtUi.h"
#include "document/TaxonTableModel.h"
#include "document/ToolbarConfiguration.h"
#include "document/ToolbarCustomizationDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvella {
namespace {

constexpr char kWindowStateKey[] = "DocumentWindow/state";

// The toolbar images are application resources; a missing one leaves the
// item with its label only.
QIcon toolbarIcon(const char *name)
{
    const QString path = QStringLiteral(":/icons/") + QLatin1String(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

} // namespace

DocumentWindow::DocumentWindow(MyDocument *document, QWidget *parent)
    : QMainWindow(parent), m_document(document)
{
    m_document->setParent(this);
    if (auto *qtUi = dynamic_cast<QtUi *>(&m_document->ui()))
        qtUi->setParentWidget(this);
    m_document->setEndEditing([this] { return endEditing(); });

    buildActions();
    buildToolBar();
    buildCentralWidget();
    buildStatusLine();
    connectDocument();
    restoreState(QSettings().value(QLatin1String(kWindowStateKey)).toByteArray());
    updateActions();
    updateTitle();
    resize(820, 640);
}

DocumentWindow::~DocumentWindow()
{
    m_document->setEndEditing({});
}

QAction *DocumentWindow::action(ToolbarItem item) const
{
    return m_actions[static_cast<std::size_t>(item)];
}

void DocumentWindow::buildActions()
{
    for (const ToolbarItemDescription &description : toolbarItemDescriptions()) {
        auto *action = new QAction(toolbarIcon(description.icon), tr(description.label), this);
        action->setObjectName(QLatin1String(description.identifier));
        action->setToolTip(tr(description.toolTip));
        action->setIconText(tr(description.label));
        m_actions[static_cast<std::size_t>(description.item)] = action;
        m_toolbarActions.insert(action->objectName(), action);
    }
    m_printAction = new QAction(toolbarIcon("print.png"), tr("Print\u2026"), this);
    m_printAction->setObjectName(QLatin1String(QTRPrintItem));
    m_printAction->setToolTip(tr("Print your document"));
    m_printAction->setIconText(tr("Print"));
    connect(m_printAction, &QAction::triggered, this, &DocumentWindow::printDocument);
    m_toolbarActions.insert(m_printAction->objectName(), m_printAction);
    MyDocument *document = m_document;
    connect(action(ToolbarItem::AddCollection), &QAction::triggered, document,
            &MyDocument::addCollection);
    connect(action(ToolbarItem::DeleteCollection), &QAction::triggered, document,
            &MyDocument::deleteCollection);
    connect(action(ToolbarItem::AddTaxon), &QAction::triggered, document, &MyDocument::addTaxon);
    connect(action(ToolbarItem::DeleteTaxon), &QAction::triggered, document,
            &MyDocument::deleteTaxon);
    connect(action(ToolbarItem::CalculateMetrics), &QAction::triggered, document,
            &MyDocument::calculateSampleMetrics);
}

void DocumentWindow::buildToolBar()
{
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QLatin1String(QTRDocumentToolbarIdentifier));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // The user's set, in every window; a change shows in open windows too.
    ToolbarConfiguration &configuration = ToolbarConfiguration::instance();
    connect(&configuration, &ToolbarConfiguration::itemsChanged, this,
            &DocumentWindow::rebuildToolBar);
    rebuildToolBar();
}

void DocumentWindow::rebuildToolBar()
{
    const QList<QAction *> old = m_toolBar->actions();
    m_toolBar->clear();
    // Separators and spaces belong to the toolbar, commands to their owners.
    for (QAction *item : old) {
        if (item->parent() == m_toolBar)
            delete item;
    }
    for (const QString &identifier : ToolbarConfiguration::instance().itemIdentifiers()) {
        QAction *added = nullptr;
        if (identifier == QLatin1String(QTRSeparatorItem)) {
            added = m_toolBar->addSeparator();
        } else if (identifier == QLatin1String(QTRSpaceItem) ||
                   identifier == QLatin1String(QTRFlexibleSpaceItem)) {
            auto *space = new QWidget;
            if (identifier == QLatin1String(QTRFlexibleSpaceItem)) {
                space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
                space->setMinimumWidth(8);
            } else {
                space->setFixedWidth(24);
            }
            added = m_toolBar->addWidget(space);
        } else if (QAction *command = m_toolbarActions.value(identifier)) {
            m_toolBar->addAction(command);
            continue;
        }
        // An item whose command this window lacks is left out.
        if (added)
            added->setObjectName(identifier);
    }
}

void DocumentWindow::addToolbarAction(QAction *action)
{
    if (!action || action->objectName().isEmpty())
        return;
    m_toolbarActions.insert(action->objectName(), action);
    rebuildToolBar();
}

QStringList DocumentWindow::toolbarItemIdentifiers() const
{
    QStringList identifiers;
    for (const QAction *item : m_toolBar->actions())
        identifiers << item->objectName();
    return identifiers;
}

void DocumentWindow::customizeToolbar()
{
    ToolbarCustomizationDialog::showShared(this);
}

QMenu *DocumentWindow::createPopupMenu()
{
    QMenu *menu = QMainWindow::createPopupMenu();
    if (!menu)
        menu = new QMenu(this);
    menu->addSeparator();
    QAction *customize = menu->addAction(tr("Customize Toolbar\u2026"));
    customize->setObjectName(QStringLiteral("customizeToolbar"));
    connect(customize, &QAction::triggered, this, &DocumentWindow::customizeToolbar);
    return menu;
}

void DocumentWindow::printDocument()
{
    if (endEditing())
        quorvella::printDocument(*m_document);
}

void DocumentWindow::exportAsPdf()
{
    if (endEditing())
        exportDocumentAsPdf(*m_document);
}

void DocumentWindow::buildCentralWidget()
{
    m_splitter = new QSplitter(Qt::Vertical, this);

    auto *top = new QWidget(m_splitter);
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    auto *side = new QWidget(top);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    m_metrics = new MetricsPanel(side);
    sideLayout->addWidget(m_metrics);
    auto *chao2Row = new QHBoxLayout;
    chao2Row->addWidget(new QLabel(tr("Chao-2 (all collections)"), side));
    m_chao2Field = new QLineEdit(side);
    m_chao2Field->setObjectName(QStringLiteral("chao2TextField"));
    m_chao2Field->setReadOnly(true);
    chao2Row->addWidget(m_chao2Field);
    sideLayout->addLayout(chao2Row);
    sideLayout->addStretch();
    topLayout->addWidget(side, 0);

    m_speciesHolder = new QWidget(m_splitter);
    auto *speciesLayout = new QVBoxLayout(m_speciesHolder);
    speciesLayout->setContentsMargins(0, 0, 0, 0);

    installTable(m_censusTable, new QTableView, true);
    installTable(m_speciesTable, new QTableView, false);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 2);
    // The layout keeps the style's content margins around the tables and
    // fields, so nothing sits against the window's edges.
    auto *central = new QWidget(this);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->addWidget(m_splitter);
    setCentralWidget(central);
    m_censusTable->setFocus();
}

void DocumentWindow::buildStatusLine()
{
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QStringLiteral("statusTextField"));
    m_busyIndicator = new QProgressBar(this);
    m_busyIndicator->setObjectName(QStringLiteral("theProgressIndicator"));
    m_busyIndicator->setRange(0, 0); // indeterminate
    m_busyIndicator->setMaximumWidth(120);
    m_busyIndicator->setVisible(false);
    m_cancelButton = new QToolButton(this);
    m_cancelButton->setObjectName(QStringLiteral("cancelBackgroundWork"));
    m_cancelButton->setText(tr("Cancel"));
    m_cancelButton->setVisible(false);
    statusBar()->addWidget(m_statusLine, 1);
    statusBar()->addPermanentWidget(m_busyIndicator);
    statusBar()->addPermanentWidget(m_cancelButton);
}

void DocumentWindow::installTable(QTableView *&slot, QTableView *view, bool census)
{
    QTableView *old = slot;
    slot = view;
    if (census) {
        view->setModel(&m_document->censusModel());
        view->setSelectionModel(&m_document->censusSelection());
        // Several collections may be chosen for a comparison.
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        if (old) {
            auto *layout = static_cast<QHBoxLayout *>(old->parentWidget()->layout());
            layout->replaceWidget(old, view);
        } else {
            auto *layout = static_cast<QHBoxLayout *>(m_splitter->widget(0)->layout());
            layout->insertWidget(0, view, 1);
        }
    } else {
        view->setModel(&m_document->taxonModel());
        view->setSelectionModel(&m_document->taxonSelection());
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        if (old)
            m_speciesHolder->layout()->replaceWidget(old, view);
        else
            m_speciesHolder->layout()->addWidget(view);
    }
    view->setObjectName(census ? QStringLiteral("censusTable") : QStringLiteral("speciesTable"));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->horizontalHeader()->setStretchLastSection(!census ? false : true);
    if (!census)
        view->horizontalHeader()->setSectionResizeMode(TaxonTableModel::NameColumn,
                                                       QHeaderView::Stretch);
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setWordWrap(false);
    // Typing starts in the collection table, not in the first metric field.
    if (census && old)
        view->setFocus();
    delete old;
}

void DocumentWindow::setCensusTable(QTableView *view)
{
    if (view && view != m_censusTable)
        installTable(m_censusTable, view, true);
}

void DocumentWindow::setSpeciesTable(QTableView *view)
{
    if (view && view != m_speciesTable)
        installTable(m_speciesTable, view, false);
}

void DocumentWindow::connectDocument()
{
    MyDocument *document = m_document;
    const auto showSelected = [this] {
        const std::optional<RecordId> selected = m_document->selectedCollection();
        const Census *census = selected ? m_document->store().findCensus(*selected) : nullptr;
        m_metrics->showCensus(census);
        QString caption = m_document->rarefactionCaption();
        if (caption.isEmpty() && census && census->rarefactionSampleSize)
            caption = tr("for sample size of %1").arg(*census->rarefactionSampleSize);
        m_metrics->setCaption(caption);
    };
    connect(document, &MyDocument::selectedCollectionChanged, this, showSelected);
    connect(&document->censusModel(), &QAbstractItemModel::dataChanged, this, showSelected);
    connect(document, &MyDocument::rarefactionCaptionChanged, this, showSelected);
    connect(document, &MyDocument::commandStateChanged, this, &DocumentWindow::updateActions);
    connect(document, &MyDocument::statusTextChanged, m_statusLine, &QLabel::setText);
    connect(document, &MyDocument::chao2TextChanged, m_chao2Field, &QLineEdit::setText);
    connect(document, &MyDocument::busyStarted, this, [this] { showBusy(true); });
    connect(document, &MyDocument::busyEnded, this, [this] { showBusy(false); });
    connect(document, &MyDocument::backgroundProgress, this, &DocumentWindow::showProgress);
    connect(m_cancelButton, &QToolButton::clicked, document, &MyDocument::cancelBackgroundWork);
    connect(document, &MyDocument::modifiedChanged, this, &DocumentWindow::updateTitle);
    connect(document, &MyDocument::fileNameChanged, this, &DocumentWindow::updateTitle);
    connect(document, &MyDocument::editCensusNameRequested, this,
            [this](int row) { editCell(m_censusTable, row, CensusTableModel::NameColumn); });
    connect(document, &MyDocument::editTaxonNameRequested, this,
            [this](int row) { editCell(m_speciesTable, row, TaxonTableModel::NameColumn); });
    m_statusLine->setText(document->statusText());
    m_chao2Field->setText(document->chao2Text());
    showSelected();
}

void DocumentWindow::updateActions()
{
    const bool census = m_document->hasCensusData();
    const bool taxon = m_document->hasTaxonData();
    const bool three = m_document->hasAtLeastThreeCensuses();
    for (const ToolbarItemDescription &description : toolbarItemDescriptions()) {
        bool enabled = true;
        switch (description.rule) {
        case EnablingRule::Always:
            break;
        case EnablingRule::HasCensusData:
            enabled = census;
            break;
        case EnablingRule::HasTaxonData:
            enabled = taxon;
            break;
        case EnablingRule::HasAtLeastThreeCensuses:
            enabled = three;
            break;
        case EnablingRule::HasCountedTaxa:
            enabled = m_document->hasCountedTaxa();
            break;
        }
        action(description.item)->setEnabled(enabled);
    }
}

void DocumentWindow::updateTitle()
{
    setWindowTitle(m_document->displayName() + QStringLiteral("[*]"));
    setWindowFilePath(m_document->fileName());
    setWindowModified(m_document->isModified());
}

void DocumentWindow::showBusy(bool busy)
{
    // Work in the background leaves the window usable: progress and
    // Cancel instead of the wait cursor.
    const bool background = busy && m_document->isWorkingInBackground();
    m_busyIndicator->setRange(0, 0); // indeterminate until progress is known
    m_busyIndicator->setVisible(busy);
    m_cancelButton->setVisible(background);
    if (busy && !background && !m_waitCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && m_waitCursor)
        QApplication::restoreOverrideCursor();
    m_waitCursor = busy && (m_waitCursor || !background);
    // A command on this thread blocks the event loop; paint the indicator now.
    if (busy && !background && isVisible())
        m_busyIndicator->repaint();
}

void DocumentWindow::showProgress(long long done, long long total)
{
    if (total <= 0)
        return;
    m_busyIndicator->setRange(0, static_cast<int>(total));
    m_busyIndicator->setValue(static_cast<int>(std::min(done, total)));
}

void DocumentWindow::editCell(QTableView *view, int row, int column)
{
    if (row < 0)
        return;
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    view->setCurrentIndex(index);
    view->edit(index);
}

bool DocumentWindow::commitEditor(QTableView *view)
{
    QWidget *editor = view->indexWidget(view->currentIndex());
    if (!editor)
        return true;
    const int refusedBefore = m_document->refusedEditCount();
    QMetaObject::invokeMethod(view, "commitData", Qt::DirectConnection, Q_ARG(QWidget *, editor));
    if (m_document->refusedEditCount() != refusedBefore)
        return false;
    QMetaObject::invokeMethod(
        view, "closeEditor", Qt::DirectConnection, Q_ARG(QWidget *, editor),
        Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    return true;
}

bool DocumentWindow::endEditing()
{
    return commitEditor(m_censusTable) && commitEditor(m_speciesTable);
}

QString DocumentWindow::statusLineText() const
{
    return m_statusLine->text();
}

QString DocumentWindow::chao2FieldText() const
{
    return m_chao2Field->text();
}

bool DocumentWindow::isBusyIndicatorVisible() const
{
    return !m_busyIndicator->isHidden();
}

QString DocumentWindow::metricFieldText(const QString &objectName) const
{
    if (objectName == QLatin1String("rarefactionSampleSizeTextField"))
        return m_metrics->caption();
    return m_metrics->fieldText(objectName);
}

void DocumentWindow::saveWindowState() const
{
    QSettings().setValue(QLatin1String(kWindowStateKey), saveState());
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    if (!endEditing() || !m_document->prepareToClose()) {
        event->ignore();
        return;
    }
    saveWindowState();
    event->accept();
}

} // namespace quorvella
