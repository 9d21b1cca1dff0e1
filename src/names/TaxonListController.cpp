#include "names/TaxonListController.h"

#include "document/Ui.h"
#include "textio/AsciiCheck.h"
#include "textio/TextFile.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvella {

TaxonListController::TaxonListController(std::shared_ptr<Ui> ui, QWidget *parent)
    : QWidget(parent, Qt::Window), m_ui(std::move(ui)), m_textView(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("TaxonListWindow"));
    setWindowTitle(tr("Species List"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_textView->setObjectName(QStringLiteral("taxonListTextView"));
    // What is saved is the list as built, so the view only shows it.
    m_textView->setReadOnly(true);
    m_textView->setFont(QFont(QStringLiteral("Helvetica"), 12));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *save = buttons->addButton(tr("Save…"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("saveTextFile"));
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cancel"));
    connect(save, &QPushButton::clicked, this, &TaxonListController::saveTextFile);
    connect(close, &QPushButton::clicked, this, &TaxonListController::cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_textView);
    layout->addWidget(buttons);
    resize(360, 480);
}

QString TaxonListController::speciesListText(const QStringList &names)
{
    QString text;
    for (const QString &name : names) {
        text += name;
        text += QLatin1Char('\n');
    }
    return text;
}

void TaxonListController::showList(const QStringList &names)
{
    m_taxonListAsString = speciesListText(names);
    m_textView->moveCursor(QTextCursor::End);
    m_textView->insertPlainText(m_taxonListAsString);
}

bool TaxonListController::saveTextFile()
{
    const QString path = m_ui->chooseFileToSave(tr("Save Species List"), QStringLiteral("txt"));
    if (path.isEmpty()) {
        return false;
    }
    const std::string bytes = m_taxonListAsString.toStdString();
    const QString failed = tr("The species list could not be saved.");
    if (const std::optional<NonAsciiCharacter> bad = findFirstNonAscii(bytes)) {
        m_ui->showErrorAlert(failed, QString::fromStdString(bad->describe()));
        return false;
    }
    const WriteResult written = writeFileAtomically(QFile::encodeName(path).toStdString(), bytes);
    if (!written.ok) {
        m_ui->showErrorAlert(failed, QString::fromStdString(written.error));
        return false;
    }
    return true;
}

void TaxonListController::cancel()
{
    close();
}

} // namespace quorvella
