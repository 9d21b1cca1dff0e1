#include "app/AboutDialog.h"

#include "app/HelpLinks.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace quorvella {

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent), m_versionLabel(new QLabel(this))
{
    setWindowTitle(tr("About Quorvella"));
    setObjectName(QStringLiteral("aboutDialog"));

    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/quorvella.png")).pixmap(96, 96));
    icon->setAlignment(Qt::AlignTop);

    auto *name = new QLabel(QStringLiteral("<h2>Quorvella</h2>"), this);
    m_versionLabel->setObjectName(QStringLiteral("versionTextField"));
    m_versionLabel->setText(tr("Version %1").arg(applicationVersion()));
    m_versionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *summary = new QLabel(
        tr("Species-diversity measures and rarefaction for counted collections of specimens."),
        this);
    summary->setWordWrap(true);

    auto *texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(m_versionLabel);
    texts->addWidget(summary);
    texts->addStretch();

    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addLayout(texts, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

QString AboutDialog::versionText() const
{
    return m_versionLabel->text();
}

} // namespace quorvella
