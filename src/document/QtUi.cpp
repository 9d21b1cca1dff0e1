#include "document/QtUi.h"

#include "document/CommunityImportDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

namespace quorvella {
namespace {

QtUi::HelpHandler &helpHandler()
{
    static QtUi::HelpHandler handler;
    return handler;
}

QString filterFor(const QStringList &extensions)
{
    QStringList patterns;
    for (const QString &extension : extensions)
        patterns << QStringLiteral("*.") + extension;
    return QObject::tr("Files (%1)").arg(patterns.join(QLatin1Char(' ')));
}

} // namespace

QtUi::QtUi(QWidget *parent) : m_parent(parent)
{}

void QtUi::setHelpHandler(HelpHandler handler)
{
    helpHandler() = std::move(handler);
}

void QtUi::showAlert(const QString &message, const QString &informativeText)
{
    QMessageBox box(QMessageBox::Warning, QString(), message, QMessageBox::Ok, m_parent);
    box.setInformativeText(informativeText);
    box.exec();
}

void QtUi::showImportAlert(const QString &message, const QString &informativeText,
                           const QString &helpAnchor)
{
    QMessageBox box(QMessageBox::Warning, QString(), message, QMessageBox::Ok, m_parent);
    box.setInformativeText(informativeText);
    QPushButton *help = nullptr;
    if (helpHandler())
        help = box.addButton(QMessageBox::Help);
    box.exec();
    if (help && box.clickedButton() == help)
        helpHandler()(helpAnchor);
}

void QtUi::showErrorAlert(const QString &message, const QString &reason)
{
    QMessageBox box(QMessageBox::Critical, QString(), message, QMessageBox::Ok, m_parent);
    box.setInformativeText(reason);
    box.exec();
}

QString QtUi::chooseFileToOpen(const QString &title, const QStringList &extensions)
{
    return QFileDialog::getOpenFileName(m_parent, title, QString(), filterFor(extensions));
}

QString QtUi::chooseFileToSave(const QString &title, const QString &extension,
                               const QString &suggestedName)
{
    QFileDialog dialog(m_parent, title, QString(), filterFor({extension}));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(extension);
    if (!suggestedName.isEmpty())
        dialog.selectFile(withExtension(suggestedName, extension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return withExtension(dialog.selectedFiles().constFirst(), extension);
}

std::unique_ptr<Ui> QtUi::forWindow(QWidget *window)
{
    return std::make_unique<QtUi>(window);
}

Ui::SaveChangesAnswer QtUi::askSaveChanges(const QString &documentName)
{
    QMessageBox box(
        QMessageBox::Warning, QString(),
        QObject::tr("Do you want to save the changes made to the document \u201c%1\u201d?")
            .arg(documentName),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_parent);
    box.setInformativeText(QObject::tr("Your changes will be lost if you don\u2019t save them."));
    box.button(QMessageBox::Discard)->setText(QObject::tr("Don\u2019t Save"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChangesAnswer::Save;
    case QMessageBox::Discard:
        return SaveChangesAnswer::DontSave;
    default:
        return SaveChangesAnswer::Cancel;
    }
}

Ui::ExternalChangeAnswer QtUi::askAboutExternalChange(const QString &documentName)
{
    QMessageBox box(QMessageBox::Warning, QString(),
                    QObject::tr("The document \u201c%1\u201d was changed by another program.")
                        .arg(documentName),
                    QMessageBox::NoButton, m_parent);
    box.setInformativeText(
        QObject::tr("This window also holds changes that are not saved yet. Reload shows the "
                    "other program\u2019s version and drops your changes; Keep Mine writes your "
                    "version over it; Save As\u2026 keeps both, yours in a new file."));
    QPushButton *reload = box.addButton(QObject::tr("Reload"), QMessageBox::DestructiveRole);
    QPushButton *keepMine = box.addButton(QObject::tr("Keep Mine"), QMessageBox::AcceptRole);
    QPushButton *saveAs = box.addButton(QObject::tr("Save As\u2026"), QMessageBox::ActionRole);
    box.setDefaultButton(saveAs);
    box.exec();
    if (box.clickedButton() == reload)
        return ExternalChangeAnswer::Reload;
    if (box.clickedButton() == keepMine)
        return ExternalChangeAnswer::KeepMine;
    if (box.clickedButton() == saveAs)
        return ExternalChangeAnswer::SaveAs;
    return ExternalChangeAnswer::Undecided;
}

Ui::MissingFileAnswer QtUi::askAboutMissingFile(const QString &documentName)
{
    QMessageBox box(QMessageBox::Warning, QString(),
                    QObject::tr("The file of the document \u201c%1\u201d was moved or deleted.")
                        .arg(documentName),
                    QMessageBox::Cancel, m_parent);
    box.setInformativeText(QObject::tr(
        "Save Again puts the document back where it was; Save As\u2026 puts it elsewhere. "
        "Until you decide, your changes are not saved."));
    QPushButton *again = box.addButton(QObject::tr("Save Again"), QMessageBox::AcceptRole);
    QPushButton *saveAs = box.addButton(QObject::tr("Save As\u2026"), QMessageBox::ActionRole);
    QPushButton *dontSave =
        box.addButton(QObject::tr("Don\u2019t Save"), QMessageBox::DestructiveRole);
    box.setDefaultButton(saveAs);
    box.exec();
    if (box.clickedButton() == again)
        return MissingFileAnswer::SaveAgain;
    if (box.clickedButton() == saveAs)
        return MissingFileAnswer::SaveAs;
    if (box.clickedButton() == dontSave)
        return MissingFileAnswer::DontSave;
    return MissingFileAnswer::Cancel;
}

void QtUi::showPrintPreview(const QString &title, const PagePainter &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(QObject::tr("Print \u201c%1\u201d").arg(title));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter *pages) { paint(*pages); });
    dialog.exec();
}

int QtUi::askChoice(const QString &message, const QString &informativeText,
                    const QStringList &choices)
{
    QMessageBox box(QMessageBox::Question, QString(), message, QMessageBox::Cancel, m_parent);
    box.setInformativeText(informativeText);
    QList<QAbstractButton *> buttons;
    for (const QString &choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

std::optional<CommunityOptions> QtUi::chooseCommunityOptions(const QString &fileName,
                                                             std::string_view text)
{
    CommunityImportDialog dialog(fileName, text, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

} // namespace quorvella
