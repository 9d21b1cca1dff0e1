#include "document/CommunityImportDialog.h"

#include "document/CommunityPreviewModel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace quorvella {

CommunityImportDialog::CommunityImportDialog(const QString &fileName, std::string_view text,
                                             QWidget *parent)
    : QDialog(parent), m_preview(new CommunityPreviewModel(text, this)),
      m_taxaAsRows(new QRadioButton(tr("Taxa as rows, samples as columns (as sequencing "
                                       "pipelines write it)"))),
      m_samplesAsRows(new QRadioButton(tr("Samples as rows, taxa as columns"))),
      m_textColumnLabel(new QLabel), m_textColumnUse(new QComboBox), m_fault(new QLabel),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel))
{
    setObjectName(QStringLiteral("communityImportDialog"));
    setWindowTitle(tr("Import Community Table"));
    auto *intro = new QLabel(tr("Each sample of “%1” becomes a collection, each taxon with a "
                                "count above zero a taxon of it. The preview shows the first "
                                "collections across and their first taxa down.")
                                 .arg(fileName));
    intro->setWordWrap(true);
    m_taxaAsRows->setChecked(true);
    m_textColumnUse->addItems({tr("Leave it out"), tr("Use it as the taxon name")});
    m_fault->setWordWrap(true);
    m_fault->setStyleSheet(QStringLiteral("color: #b00020"));
    m_buttons->button(QDialogButtonBox::Ok)->setText(tr("Import"));

    auto *view = new QTableView;
    view->setModel(m_preview);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setFocusPolicy(Qt::NoFocus);
    view->horizontalHeader()->setDefaultSectionSize(90);
    view->setMinimumSize(640, 300);

    auto *choices = new QFormLayout;
    auto *orientation = new QVBoxLayout;
    orientation->addWidget(m_taxaAsRows);
    orientation->addWidget(m_samplesAsRows);
    choices->addRow(tr("Orientation:"), orientation);
    choices->addRow(m_textColumnLabel, m_textColumnUse);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(choices);
    layout->addWidget(view, 1);
    layout->addWidget(m_fault);
    layout->addWidget(m_buttons);

    for (QRadioButton *button : {m_taxaAsRows, m_samplesAsRows})
        connect(button, &QRadioButton::toggled, this, &CommunityImportDialog::optionsChanged);
    connect(m_textColumnUse, &QComboBox::currentIndexChanged, this,
            &CommunityImportDialog::optionsChanged);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    optionsChanged();
}

CommunityOptions CommunityImportDialog::options() const
{
    return m_preview->options();
}

void CommunityImportDialog::optionsChanged()
{
    CommunityOptions options;
    options.taxaAsRows = m_taxaAsRows->isChecked();
    options.namesFromTextColumn = m_textColumnUse->currentIndex() == 1;
    m_preview->setOptions(options);

    const QString textColumn = m_preview->textColumn();
    m_textColumnLabel->setText(textColumn.isEmpty() ? tr("Text column:")
                                                    : tr("Text column “%1”:").arg(textColumn));
    // A transposed table's rows are samples: its text column names no taxa.
    m_textColumnUse->setEnabled(!textColumn.isEmpty() && options.taxaAsRows);
    m_fault->setText(m_preview->fault());
    m_fault->setVisible(!m_preview->fault().isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_preview->fault().isEmpty());
}

} // namespace quorvella
