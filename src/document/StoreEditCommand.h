#pragma once

// One undo step of a document: a recorded StoreEdit, plus the collection
// that was selected before and after, so undo and redo also bring back
// what the user was looking at, and whether the document was modified
// before the step, so undoing back to the saved (or new) state leaves it
// unmodified as it was there.

#include "document/StoreEdit.h"

#include <QUndoCommand>
#include <optional>

namespace quorvella {

class MyDocument;

class StoreEditCommand final : public QUndoCommand
{
public:
    StoreEditCommand(MyDocument &document, const QString &text, StoreEdit edit,
                     std::optional<RecordId> selectedBefore, std::optional<RecordId> selectedAfter,
                     bool modifiedBefore);

    // The first redo comes from QUndoStack::push after the command already
    // ran; it changes nothing.
    void redo() override;
    void undo() override;

private:
    // Whether the stack's clean state is the one this step's undo (or redo)
    // arrives at.
    bool arrivesAtClean(bool undoing) const;

    MyDocument &m_document;
    StoreEdit m_edit;
    std::optional<RecordId> m_selectedBefore;
    std::optional<RecordId> m_selectedAfter;
    bool m_modifiedBefore;
    bool m_alreadyDone = true;
};

} // namespace quorvella
