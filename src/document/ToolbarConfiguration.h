#pragma once

// What the document toolbar may hold and what it holds: the allowed items
// (the nine commands, a separator, a space, a flexible space, Print, and
// whatever other commands register), the default set, and the user's set,
// kept in QSettings under the toolbar's identifier "myDocumentToolbar".
// One configuration serves every document window; a change reaches every
// open window through itemsChanged.
//
// A command of another layer joins the toolbar in two steps: it adds its
// item here once (addAllowedItem), and gives each document window the
// action of that identifier (DocumentWindow::addToolbarAction).

#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorvella {

// Identifiers of the items that are not commands of their own.
inline constexpr char QTRSeparatorItem[] = "QTRSeparator";
inline constexpr char QTRSpaceItem[] = "QTRSpace";
inline constexpr char QTRFlexibleSpaceItem[] = "QTRFlexibleSpace";
inline constexpr char QTRPrintItem[] = "QTRPrint";

struct ToolbarItemEntry
{
    QString identifier;
    QString label;   // as in the customisation panel
    QString toolTip; // empty for separators and spaces
    QString icon;    // resource path, may be empty
};

class ToolbarConfiguration final : public QObject
{
    Q_OBJECT
public:
    static ToolbarConfiguration &instance();

    // In the order the customisation panel offers them.
    const std::vector<ToolbarItemEntry> &allowedItems() const { return m_allowed; }
    const ToolbarItemEntry *findAllowed(const QString &identifier) const;
    // Adds an item after the others (an identifier already allowed is
    // replaced in place).
    void addAllowedItem(ToolbarItemEntry entry);

    // The nine commands in their four groups, separated.
    static QStringList defaultItemIdentifiers();
    // Separators and spaces may appear any number of times, other items once.
    static bool isRepeatable(const QString &identifier);

    // The user's set, or the default set when there is none.
    QStringList itemIdentifiers() const;
    // Saves the set at once (an unknown identifier is kept, for a command
    // that registers later) and tells every window.
    void setItemIdentifiers(const QStringList &identifiers);
    void restoreDefaultSet();

signals:
    void itemsChanged();
    void allowedItemsChanged();

private:
    ToolbarConfiguration();

    std::vector<ToolbarItemEntry> m_allowed;
};

} // namespace quorvella
