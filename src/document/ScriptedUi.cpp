#include "document/ScriptedUi.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QPointer>
#include <QWidget>

namespace quorvella {
namespace {

class WindowScriptedUi final : public ForwardingUi
{
public:
    WindowScriptedUi(ScriptedUi &ui, QWidget *window) : ForwardingUi(ui), m_ui(ui), m_window(window)
    {}

protected:
    // The window's name as it is when the conversation starts (a window
    // names itself after asking for its Ui).
    void beginConversation() override
    {
        m_ui.conversationWindow = m_window ? m_window->objectName() : QString();
    }
    void endConversation() override { m_ui.conversationWindow.clear(); }

private:
    ScriptedUi &m_ui;
    QPointer<QWidget> m_window;
};

} // namespace

std::unique_ptr<Ui> ScriptedUi::forWindow(QWidget *window)
{
    return std::make_unique<WindowScriptedUi>(*this, window);
}

void ScriptedUi::record(Kind kind, const QString &message, const QString &informativeText,
                        const QStringList &extensions)
{
    events << Event{kind, message, informativeText, extensions, conversationWindow};
}

QList<ScriptedUi::Event> ScriptedUi::eventsOf(Kind kind) const
{
    QList<Event> found;
    for (const Event &event : events) {
        if (event.kind == kind)
            found << event;
    }
    return found;
}

ScriptedUi::Event ScriptedUi::lastAlert() const
{
    for (auto it = events.crbegin(); it != events.crend(); ++it) {
        if (it->kind == Kind::Alert || it->kind == Kind::ImportAlert ||
            it->kind == Kind::ErrorAlert)
            return *it;
    }
    return Event{Kind::Alert, {}, {}, {}, {}};
}

void ScriptedUi::showAlert(const QString &message, const QString &informativeText)
{
    record(Kind::Alert, message, informativeText, {});
}

void ScriptedUi::showImportAlert(const QString &message, const QString &informativeText,
                                 const QString &helpAnchor)
{
    record(Kind::ImportAlert, message, informativeText, {helpAnchor});
}

void ScriptedUi::showErrorAlert(const QString &message, const QString &reason)
{
    record(Kind::ErrorAlert, message, reason, {});
}

QString ScriptedUi::chooseFileToOpen(const QString &title, const QStringList &extensions)
{
    record(Kind::OpenPanel, title, {}, extensions);
    if (openPaths.isEmpty()) {
        ++unexpectedQuestions;
        return {};
    }
    return openPaths.dequeue();
}

QString ScriptedUi::chooseFileToSave(const QString &title, const QString &extension,
                                     const QString &suggestedName)
{
    record(Kind::SavePanel, title, suggestedName, {extension});
    if (savePaths.isEmpty()) {
        ++unexpectedQuestions;
        return {};
    }
    return withExtension(savePaths.dequeue(), extension);
}

Ui::SaveChangesAnswer ScriptedUi::askSaveChanges(const QString &documentName)
{
    record(Kind::SaveChanges, documentName, {}, {});
    if (saveChangesAnswers.isEmpty()) {
        ++unexpectedQuestions;
        return SaveChangesAnswer::Cancel;
    }
    return saveChangesAnswers.dequeue();
}

namespace {

template <typename Answer> Answer next(QQueue<Answer> &answers, Answer none, int &unexpected)
{
    if (answers.isEmpty()) {
        ++unexpected;
        return none;
    }
    return answers.dequeue();
}

} // namespace

Ui::ExternalChangeAnswer ScriptedUi::askAboutExternalChange(const QString &documentName)
{
    record(Kind::ExternalChange, documentName, {}, {});
    return next(externalChangeAnswers, ExternalChangeAnswer::Undecided, unexpectedQuestions);
}

Ui::MissingFileAnswer ScriptedUi::askAboutMissingFile(const QString &documentName)
{
    record(Kind::MissingFile, documentName, {}, {});
    return next(missingFileAnswers, MissingFileAnswer::Cancel, unexpectedQuestions);
}

void ScriptedUi::showPrintPreview(const QString &title, const PagePainter &paint)
{
    record(Kind::PrintPreview, title, {}, {});
    printedPdf.clear();
    QBuffer buffer(&printedPdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(title);
    paint(writer);
}

int ScriptedUi::askChoice(const QString &message, const QString &informativeText,
                          const QStringList &choices)
{
    record(Kind::Choice, message, informativeText, choices);
    if (choiceAnswers.isEmpty()) {
        ++unexpectedQuestions;
        return -1;
    }
    return choiceAnswers.dequeue();
}

std::optional<CommunityOptions> ScriptedUi::chooseCommunityOptions(const QString &fileName,
                                                                   std::string_view text)
{
    Q_UNUSED(text);
    record(Kind::CommunityImport, fileName, {}, {});
    if (communityOptionsAnswers.isEmpty()) {
        ++unexpectedQuestions;
        return std::nullopt;
    }
    return communityOptionsAnswers.dequeue();
}

} // namespace quorvella
