#include "document/ToolbarConfiguration.h"

#include "document/ToolbarItem.h"

#include <QCoreApplication>
#include <QSettings>

namespace quorvella {
namespace {

QString settingsKey()
{
    return QStringLiteral("Toolbars/") + QLatin1String(QTRDocumentToolbarIdentifier);
}

} // namespace

ToolbarConfiguration &ToolbarConfiguration::instance()
{
    static ToolbarConfiguration configuration;
    return configuration;
}

ToolbarConfiguration::ToolbarConfiguration()
{
    for (const ToolbarItemDescription &item : toolbarItemDescriptions()) {
        m_allowed.push_back({QLatin1String(item.identifier),
                             QCoreApplication::translate("DocumentWindow", item.label),
                             QCoreApplication::translate("DocumentWindow", item.toolTip),
                             QStringLiteral(":/icons/") + QLatin1String(item.icon)});
    }
    m_allowed.push_back({QLatin1String(QTRSeparatorItem), tr("Separator"), {}, {}});
    m_allowed.push_back({QLatin1String(QTRSpaceItem), tr("Space"), {}, {}});
    m_allowed.push_back({QLatin1String(QTRFlexibleSpaceItem), tr("Flexible Space"), {}, {}});
    m_allowed.push_back({QLatin1String(QTRPrintItem), tr("Print"), tr("Print your document"),
                         QStringLiteral(":/icons/print.png")});
}

const ToolbarItemEntry *ToolbarConfiguration::findAllowed(const QString &identifier) const
{
    for (const ToolbarItemEntry &entry : m_allowed) {
        if (entry.identifier == identifier)
            return &entry;
    }
    return nullptr;
}

void ToolbarConfiguration::addAllowedItem(ToolbarItemEntry entry)
{
    bool replaced = false;
    for (ToolbarItemEntry &existing : m_allowed) {
        if (existing.identifier == entry.identifier) {
            existing = entry;
            replaced = true;
        }
    }
    if (!replaced)
        m_allowed.push_back(std::move(entry));
    emit allowedItemsChanged();
}

QStringList ToolbarConfiguration::defaultItemIdentifiers()
{
    const auto id = [](ToolbarItem item) { return QLatin1String(describe(item).identifier); };
    const QString separator = QLatin1String(QTRSeparatorItem);
    using enum ToolbarItem;
    return {id(AddCollection),
            id(DeleteCollection),
            id(TaxonList),
            separator,
            id(AddTaxon),
            id(DeleteTaxon),
            separator,
            id(CalculateMetrics),
            id(IndividualRarefaction),
            separator,
            id(Chao2),
            id(SampleRarefaction)};
}

bool ToolbarConfiguration::isRepeatable(const QString &identifier)
{
    return identifier == QLatin1String(QTRSeparatorItem) ||
           identifier == QLatin1String(QTRSpaceItem) ||
           identifier == QLatin1String(QTRFlexibleSpaceItem);
}

QStringList ToolbarConfiguration::itemIdentifiers() const
{
    const QSettings settings;
    if (!settings.contains(settingsKey()))
        return defaultItemIdentifiers();
    return settings.value(settingsKey()).toStringList();
}

void ToolbarConfiguration::setItemIdentifiers(const QStringList &identifiers)
{
    if (identifiers == itemIdentifiers())
        return;
    QSettings().setValue(settingsKey(), identifiers);
    emit itemsChanged();
}

void ToolbarConfiguration::restoreDefaultSet()
{
    QSettings().remove(settingsKey());
    emit itemsChanged();
}

} // namespace quorvella
