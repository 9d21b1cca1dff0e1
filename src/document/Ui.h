#pragma once

// Every modal conversation a document has with its user: alerts, file
// panels and the save-changes question. Commands talk to this interface
// only, so tests can replace the dialogs with scripted answers.

#include "textio/CommunityTable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class QPagedPaintDevice;
class QWidget;

namespace quorvella {

class Ui
{
public:
    enum class SaveChangesAnswer { Save, DontSave, Cancel };
    // Undecided: the question was dismissed without a choice.
    enum class ExternalChangeAnswer { Reload, KeepMine, SaveAs, Undecided };
    enum class MissingFileAnswer { SaveAgain, SaveAs, DontSave, Cancel };
    // Paints every page of a printout on a printer or PDF writer.
    using PagePainter = std::function<void(QPagedPaintDevice &pages)>;

    virtual ~Ui() = default;

    // A modal alert: a short message saying what failed and an informative
    // text saying what to do.
    virtual void showAlert(const QString &message, const QString &informativeText) = 0;

    // The import alert: like showAlert, plus a Help button that opens the
    // user guide at helpAnchor.
    virtual void showImportAlert(const QString &message, const QString &informativeText,
                                 const QString &helpAnchor) = 0;

    // A failed file operation: what failed and the reason the system gave.
    virtual void showErrorAlert(const QString &message, const QString &reason) = 0;

    // An open panel limited to the given extensions (without dots). Returns
    // the chosen path, or an empty string when the user cancels.
    virtual QString chooseFileToOpen(const QString &title, const QStringList &extensions) = 0;

    // A save panel that keeps the file to one extension (without dot); the
    // returned path always ends in it. Empty when the user cancels.
    virtual QString chooseFileToSave(const QString &title, const QString &extension,
                                     const QString &suggestedName = {}) = 0;

    // "Do you want to save the changes made to the document ...?"
    virtual SaveChangesAnswer askSaveChanges(const QString &documentName) = 0;

    // "The document “...” was changed by another program." while this
    // window holds unsaved edits: Reload (take the file's version), Keep Mine
    // (write this version over it) or Save As... (keep both).
    virtual ExternalChangeAnswer askAboutExternalChange(const QString &documentName) = 0;

    // The document's file was moved or deleted while open: save it there
    // again, save it elsewhere, don't save, or cancel.
    virtual MissingFileAnswer askAboutMissingFile(const QString &documentName) = 0;

    // A print preview of what paint draws, titled title; the user prints
    // from it (or closes it).
    virtual void showPrintPreview(const QString &title, const PagePainter &paint) = 0;

    // A question answered with one of a few choices (e.g. which format a
    // dropped file holds). Returns the index of the choice, or -1 when the
    // user cancels. The default answers -1.
    virtual int askChoice(const QString &message, const QString &informativeText,
                          const QStringList &choices);

    // The community-table import dialog for the text of fileName: how to
    // read it (orientation, the text column), with a preview. Nothing when
    // the user cancels. The default answers nothing.
    virtual std::optional<CommunityOptions> chooseCommunityOptions(const QString &fileName,
                                                                   std::string_view text);

    // The same conversations, modal to another window of the document (a
    // plot window) so that they do not raise the document's window over it.
    // The default hands every conversation to this Ui, which must outlive
    // the returned one.
    virtual std::unique_ptr<Ui> forWindow(QWidget *window);
};

// Hands every conversation to another Ui.
class ForwardingUi : public Ui
{
public:
    explicit ForwardingUi(Ui &target) : m_target(target) {}

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

protected:
    // Run around every conversation handed on.
    virtual void beginConversation() {}
    virtual void endConversation() {}

private:
    template <typename Call> auto handOn(Call &&call);

    Ui &m_target;
};

// Ensures path ends in "." + extension (compared without regard to case).
QString withExtension(const QString &path, const QString &extension);

} // namespace quorvella
