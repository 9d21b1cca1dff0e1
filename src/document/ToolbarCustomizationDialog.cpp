#include "document/ToolbarCustomizationDialog.h"

#include "document/ToolbarConfiguration.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvella {
namespace {

constexpr int IdentifierRole = Qt::UserRole + 1;

QString identifierOf(const QListWidgetItem *item)
{
    return item ? item->data(IdentifierRole).toString() : QString();
}

} // namespace

ToolbarCustomizationDialog::ToolbarCustomizationDialog(QWidget *parent)
    : QDialog(parent), m_configuration(ToolbarConfiguration::instance()),
      m_allowed(new QListWidget(this)), m_toolbar(new QListWidget(this)),
      m_add(new QPushButton(tr("Add \u2192"), this)),
      m_remove(new QPushButton(tr("\u2190 Remove"), this)),
      m_up(new QPushButton(tr("Move Up"), this)), m_down(new QPushButton(tr("Move Down"), this))
{
    setWindowTitle(tr("Customize Toolbar"));
    resize(640, 460);
    m_allowed->setObjectName(QStringLiteral("allowedItems"));
    m_toolbar->setObjectName(QStringLiteral("toolbarItems"));
    // Reordering by drag within the toolbar's list.
    m_toolbar->setDragDropMode(QAbstractItemView::InternalMove);
    m_toolbar->setDefaultDropAction(Qt::MoveAction);

    auto *restore = new QPushButton(tr("Restore Default Set"), this);
    restore->setObjectName(QStringLiteral("restoreDefaultSet"));
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {m_add, m_remove, m_up, m_down})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(restore);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Items you can add:"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Toolbar:"), this), 0, 2);
    grid->addWidget(m_allowed, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(m_toolbar, 1, 2);
    auto *done = new QDialogButtonBox(QDialogButtonBox::Close, this);
    done->button(QDialogButtonBox::Close)->setText(tr("Done"));
    connect(done, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(done);

    connect(m_add, &QPushButton::clicked, this, &ToolbarCustomizationDialog::addSelected);
    connect(m_allowed, &QListWidget::itemDoubleClicked, this,
            &ToolbarCustomizationDialog::addSelected);
    connect(m_remove, &QPushButton::clicked, this, &ToolbarCustomizationDialog::removeSelected);
    connect(m_toolbar, &QListWidget::itemDoubleClicked, this,
            &ToolbarCustomizationDialog::removeSelected);
    connect(m_up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(restore, &QPushButton::clicked, this, &ToolbarCustomizationDialog::restoreDefaultSet);
    connect(m_allowed, &QListWidget::currentRowChanged, this,
            &ToolbarCustomizationDialog::updateButtons);
    connect(m_toolbar, &QListWidget::currentRowChanged, this,
            &ToolbarCustomizationDialog::updateButtons);
    // A drag within the list moves rows in its model.
    connect(m_toolbar->model(), &QAbstractItemModel::rowsMoved, this,
            &ToolbarCustomizationDialog::save);
    connect(&m_configuration, &ToolbarConfiguration::itemsChanged, this,
            &ToolbarCustomizationDialog::reload);
    connect(&m_configuration, &ToolbarConfiguration::allowedItemsChanged, this,
            &ToolbarCustomizationDialog::reload);
    reload();
}

ToolbarCustomizationDialog *ToolbarCustomizationDialog::showShared(QWidget *parent)
{
    static QPointer<ToolbarCustomizationDialog> shared;
    if (!shared) {
        shared = new ToolbarCustomizationDialog(parent);
        shared->setAttribute(Qt::WA_DeleteOnClose);
    }
    shared->show();
    shared->raise();
    shared->activateWindow();
    return shared;
}

QListWidgetItem *ToolbarCustomizationDialog::makeItem(const QString &identifier) const
{
    const ToolbarItemEntry *entry = m_configuration.findAllowed(identifier);
    auto *item = new QListWidgetItem(entry ? entry->label : identifier);
    item->setData(IdentifierRole, identifier);
    if (entry && !entry->icon.isEmpty() && QFile::exists(entry->icon))
        item->setIcon(QIcon(entry->icon));
    if (entry && !entry->toolTip.isEmpty())
        item->setToolTip(entry->toolTip);
    return item;
}

void ToolbarCustomizationDialog::reload()
{
    if (m_saving)
        return;
    const QString allowedCurrent = identifierOf(m_allowed->currentItem());
    const int toolbarRow = m_toolbar->currentRow();
    m_allowed->clear();
    for (const ToolbarItemEntry &entry : m_configuration.allowedItems()) {
        m_allowed->addItem(makeItem(entry.identifier));
        if (entry.identifier == allowedCurrent)
            m_allowed->setCurrentRow(m_allowed->count() - 1);
    }
    m_toolbar->clear();
    for (const QString &identifier : m_configuration.itemIdentifiers())
        m_toolbar->addItem(makeItem(identifier));
    m_toolbar->setCurrentRow(std::min(toolbarRow, m_toolbar->count() - 1));
    updateButtons();
}

void ToolbarCustomizationDialog::save()
{
    QStringList identifiers;
    for (int row = 0; row < m_toolbar->count(); ++row)
        identifiers << identifierOf(m_toolbar->item(row));
    m_saving = true;
    m_configuration.setItemIdentifiers(identifiers);
    m_saving = false;
    updateButtons();
}

void ToolbarCustomizationDialog::updateButtons()
{
    QStringList shown;
    for (int row = 0; row < m_toolbar->count(); ++row)
        shown << identifierOf(m_toolbar->item(row));
    // An item that is already on the toolbar is greyed out, unless it may
    // appear more than once.
    for (int row = 0; row < m_allowed->count(); ++row) {
        QListWidgetItem *item = m_allowed->item(row);
        const QString identifier = identifierOf(item);
        const bool available =
            ToolbarConfiguration::isRepeatable(identifier) || !shown.contains(identifier);
        item->setFlags(available ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
    }
    const QListWidgetItem *allowed = m_allowed->currentItem();
    m_add->setEnabled(allowed && (allowed->flags() & Qt::ItemIsEnabled));
    const int row = m_toolbar->currentRow();
    m_remove->setEnabled(row >= 0);
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < m_toolbar->count());
}

void ToolbarCustomizationDialog::addSelected()
{
    const QListWidgetItem *allowed = m_allowed->currentItem();
    if (!allowed || !(allowed->flags() & Qt::ItemIsEnabled))
        return;
    const int at = m_toolbar->currentRow() >= 0 ? m_toolbar->currentRow() + 1 : m_toolbar->count();
    m_toolbar->insertItem(at, makeItem(identifierOf(allowed)));
    m_toolbar->setCurrentRow(at);
    save();
}

void ToolbarCustomizationDialog::removeSelected()
{
    const int row = m_toolbar->currentRow();
    if (row < 0)
        return;
    delete m_toolbar->takeItem(row);
    m_toolbar->setCurrentRow(std::min(row, m_toolbar->count() - 1));
    save();
}

void ToolbarCustomizationDialog::moveSelected(int offset)
{
    const int row = m_toolbar->currentRow();
    const int to = row + offset;
    if (row < 0 || to < 0 || to >= m_toolbar->count())
        return;
    QListWidgetItem *item = m_toolbar->takeItem(row);
    m_toolbar->insertItem(to, item);
    m_toolbar->setCurrentRow(to);
    save();
}

void ToolbarCustomizationDialog::restoreDefaultSet()
{
    m_configuration.restoreDefaultSet();
}

} // namespace quorvella
