#include "document/StoreEditCommand.h"

#include "document/MyDocument.h"

#include <QCoreApplication>
#include <QUndoStack>

namespace quorvella {

StoreEditCommand::StoreEditCommand(MyDocument &document, const QString &text, StoreEdit edit,
                                   std::optional<RecordId> selectedBefore,
                                   std::optional<RecordId> selectedAfter, bool modifiedBefore)
    : QUndoCommand(text), m_document(document), m_edit(std::move(edit)),
      m_selectedBefore(selectedBefore), m_selectedAfter(selectedAfter),
      m_modifiedBefore(modifiedBefore)
{}

bool StoreEditCommand::arrivesAtClean(bool undoing) const
{
    // The stack's own index is not yet moved in undo() and redo(), or
    // already moved when it steps through several commands (setIndex), so
    // the step finds its place by itself.
    const QUndoStack &stack = m_document.undoStack();
    for (int at = 0; at < stack.count(); ++at) {
        if (stack.command(at) == this)
            return stack.cleanIndex() == (undoing ? at : at + 1);
    }
    return false;
}

void StoreEditCommand::redo()
{
    if (m_alreadyDone) {
        m_alreadyDone = false;
        return;
    }
    const bool toClean = arrivesAtClean(false);
    m_document.applyEdit(
        m_edit, MyDocument::EditDirection::Redo,
        QCoreApplication::translate("StoreEditCommand", "Redo %1\u2026").arg(text()));
    m_document.selectCollection(m_selectedAfter);
    // Only a save makes a later state clean.
    if (toClean)
        m_document.setModifiedAsWhenClean(false);
}

void StoreEditCommand::undo()
{
    const bool toClean = arrivesAtClean(true);
    m_document.applyEdit(
        m_edit, MyDocument::EditDirection::Undo,
        QCoreApplication::translate("StoreEditCommand", "Undo %1\u2026").arg(text()));
    m_document.selectCollection(m_selectedBefore);
    if (toClean)
        m_document.setModifiedAsWhenClean(m_modifiedBefore);
}

} // namespace quorvella
