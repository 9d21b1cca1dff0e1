#include "document/StoreEditCommand.h"

#include "document/MyDocument.h"

#include <QCoreApplication>

namespace quorvella {

StoreEditCommand::StoreEditCommand(MyDocument &document, const QString &text, StoreEdit edit,
                                   std::optional<RecordId> selectedBefore,
                                   std::optional<RecordId> selectedAfter)
    : QUndoCommand(text), m_document(document), m_edit(std::move(edit)),
      m_selectedBefore(selectedBefore), m_selectedAfter(selectedAfter)
{}

void StoreEditCommand::redo()
{
    if (m_alreadyDone) {
        m_alreadyDone = false;
        return;
    }
    m_document.applyEdit(
        m_edit, MyDocument::EditDirection::Redo,
        QCoreApplication::translate("StoreEditCommand", "Redo %1\u2026").arg(text()));
    m_document.selectCollection(m_selectedAfter);
}

void StoreEditCommand::undo()
{
    m_document.applyEdit(
        m_edit, MyDocument::EditDirection::Undo,
        QCoreApplication::translate("StoreEditCommand", "Undo %1\u2026").arg(text()));
    m_document.selectCollection(m_selectedBefore);
}

} // namespace quorvella
