#pragma once

// "Customize Toolbar…": the allowed items on the left, the toolbar's items
// on the right. Add, Remove, Move Up, Move Down (or drag within the toolbar
// list) and Restore Default Set change the toolbar of every document window
// at once; there is nothing to confirm.

#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quorvella {

class ToolbarConfiguration;

class ToolbarCustomizationDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit ToolbarCustomizationDialog(QWidget *parent = nullptr);

    // The one dialog of the application, made on first use and shown.
    static ToolbarCustomizationDialog *showShared(QWidget *parent);

    QListWidget *allowedList() const { return m_allowed; }
    QListWidget *toolbarList() const { return m_toolbar; }

    // Adds the selected allowed item after the toolbar's selected item (or
    // at the end) and selects it.
    void addSelected();
    void removeSelected();
    void moveSelected(int offset);
    void restoreDefaultSet();

private:
    void reload();
    void save();
    QListWidgetItem *makeItem(const QString &identifier) const;
    void updateButtons();

    ToolbarConfiguration &m_configuration;
    QListWidget *m_allowed;
    QListWidget *m_toolbar;
    QPushButton *m_add;
    QPushButton *m_remove;
    QPushButton *m_up;
    QPushButton *m_down;
    bool m_saving = false;
};

} // namespace quorvella
