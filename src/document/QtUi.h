#pragma once

// The Ui of the running application: QMessageBox and QFileDialog, modal to
// the document's window.

#include "document/Ui.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace quorvella {

class QtUi final : public Ui
{
public:
    using HelpHandler = std::function<void(const QString &anchor)>;

    explicit QtUi(QWidget *parent = nullptr);

    void setParentWidget(QWidget *parent) { m_parent = parent; }

    // What the import alert's Help button does; the application sets it to
    // open its help window. Without a handler the button is not offered.
    static void setHelpHandler(HelpHandler handler);

    void showAlert(const QString &message, const QString &informativeText) override;
    void showImportAlert(const QString &message, const QString &informativeText,
                         const QString &helpAnchor) override;
    void showErrorAlert(const QString &message, const QString &reason) override;
    QString chooseFileToOpen(const QString &title, const QStringList &extensions) override;
    QString chooseFileToSave(const QString &title, const QString &extension,
                             const QString &suggestedName) override;
    SaveChangesAnswer askSaveChanges(const QString &documentName) override;
    ExternalChangeAnswer askAboutExternalChange(const QString &documentName) override;
    MissingFileAnswer askAboutMissingFile(const QString &documentName) override;
    void showPrintPreview(const QString &title, const PagePainter &paint) override;
    int askChoice(const QString &message, const QString &informativeText,
                  const QStringList &choices) override;
    std::optional<CommunityOptions> chooseCommunityOptions(const QString &fileName,
                                                           std::string_view text) override;
    std::unique_ptr<Ui> forWindow(QWidget *window) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace quorvella
