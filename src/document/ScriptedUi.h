#pragma once

// A Ui for tests: answers come from queues filled beforehand, and every
// conversation is recorded so a test can check what the user was shown.
// A question asked with an empty queue is answered "cancel" and counted
// in unexpectedQuestions.

#include "document/Ui.h"

#include <QList>
#include <QQueue>

namespace quorvella {

class ScriptedUi final : public Ui
{
public:
    enum class Kind {
        Alert,
        ImportAlert,
        ErrorAlert,
        OpenPanel,
        SavePanel,
        SaveChanges,
        Choice,
        ExternalChange,
        MissingFile,
        PrintPreview,
        CommunityImport
    };

    struct Event
    {
        Kind kind;
        QString message;         // alert message, panel title or document name
        QString informativeText; // informative text, error reason or help anchor
        QStringList extensions;  // panels only
        QString window;          // forWindow()'s window (its object name); empty: the document's
    };

    QQueue<QString> openPaths;
    QQueue<QString> savePaths;
    QQueue<SaveChangesAnswer> saveChangesAnswers;
    QQueue<int> choiceAnswers;                          // index of the choice, -1 for cancel
    QQueue<ExternalChangeAnswer> externalChangeAnswers; // Undecided when empty
    QQueue<MissingFileAnswer> missingFileAnswers;       // Cancel when empty
    // Answers of the community-table import dialog; nothing for Cancel.
    QQueue<std::optional<quorvella::CommunityOptions>> communityOptionsAnswers;

    QList<Event> events;
    // What the last print preview showed, painted into a PDF.
    QByteArray printedPdf;
    int unexpectedQuestions = 0;
    // The window of the conversation in progress, recorded in its Event.
    QString conversationWindow;

    // The events of one kind, in order.
    QList<Event> eventsOf(Kind kind) const;
    // The last alert of any of the three alert kinds; empty Event if none.
    Event lastAlert() const;

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
    // Records the file name as the event's message.
    std::optional<quorvella::CommunityOptions>
    chooseCommunityOptions(const QString &fileName, std::string_view text) override;
    // Conversations held through the returned Ui are recorded here with the
    // window's object name.
    std::unique_ptr<Ui> forWindow(QWidget *window) override;

private:
    void record(Kind kind, const QString &message, const QString &informativeText,
                const QStringList &extensions);
};

} // namespace quorvella
