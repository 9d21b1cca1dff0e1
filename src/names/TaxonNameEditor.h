#pragma once

// The line editor of a taxon-name cell: after every edit the user makes, it
// asks the TaxonFormatter for a completion and, when there is one, shows the
// whole name with the characters not typed yet selected, so that typing on
// overwrites them and Return or Tab accepts them.

#include <QLineEdit>
#include <QPointer>

namespace quorvella {

class TaxonFormatter;

class TaxonNameEditor : public QLineEdit
{
    Q_OBJECT

public:
    TaxonNameEditor(const TaxonFormatter *formatter, QWidget *parent = nullptr);

protected:
    bool event(QEvent *e) override;

private:
    void complete(const QString &editedText);
    int currentSelectionStart() const;

    QPointer<const TaxonFormatter> m_formatter;
    // Where the selection (or the cursor) began before the event that is
    // being handled changed the text.
    int m_selectionStartBeforeEdit = 0;
};

} // namespace quorvella
