#pragma once

// The dialog of File > Import > Community Table…: the orientation of the
// table, what to do with a text column such as a taxonomy, and a preview of
// the first collections and taxa as the import will make them
// (CommunityPreviewModel). Import stays disabled while the preview shows a
// fault.

#include "textio/CommunityTable.h"

#include <QDialog>
#include <string_view>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QRadioButton;

namespace quorvella {

class CommunityPreviewModel;

class CommunityImportDialog final : public QDialog
{
    Q_OBJECT
public:
    // text must outlive the dialog.
    CommunityImportDialog(const QString &fileName, std::string_view text,
                          QWidget *parent = nullptr);

    CommunityOptions options() const;

private:
    void optionsChanged();

    CommunityPreviewModel *m_preview;
    QRadioButton *m_taxaAsRows;
    QRadioButton *m_samplesAsRows;
    QLabel *m_textColumnLabel;
    QComboBox *m_textColumnUse;
    QLabel *m_fault;
    QDialogButtonBox *m_buttons;
};

} // namespace quorvella
