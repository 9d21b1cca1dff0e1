#include "names/TaxonNameEditor.h"

#include "names/TaxonFormatter.h"

namespace quorvella {

TaxonNameEditor::TaxonNameEditor(const TaxonFormatter *formatter, QWidget *parent)
    : QLineEdit(parent), m_formatter(formatter)
{
    // textEdited is emitted for the user's edits only, never for setText, so
    // the completion below does not trigger itself.
    connect(this, &QLineEdit::textEdited, this, &TaxonNameEditor::complete);
}

bool TaxonNameEditor::event(QEvent *e)
{
    // Every edit arrives as an event (key, input method, paste, drop); the
    // selection as it stands now is the selection before that edit.
    m_selectionStartBeforeEdit = currentSelectionStart();
    return QLineEdit::event(e);
}

int TaxonNameEditor::currentSelectionStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TaxonNameEditor::complete(const QString &editedText)
{
    if (m_formatter == nullptr) {
        return;
    }
    const CompletionResult result =
        m_formatter->isPartialStringValid(editedText, cursorPosition(), m_selectionStartBeforeEdit);
    if (result.accepted) {
        return;
    }
    setText(result.text);
    setSelection(result.selectionStart, result.selectionLength);
}

} // namespace quorvella
