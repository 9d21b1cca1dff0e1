#include "document/Ui.h"

namespace quorvella {

int Ui::askChoice(const QString &message, const QString &informativeText,
                  const QStringList &choices)
{
    Q_UNUSED(message);
    Q_UNUSED(informativeText);
    Q_UNUSED(choices);
    return -1;
}

std::optional<CommunityOptions> Ui::chooseCommunityOptions(const QString &fileName,
                                                           std::string_view text)
{
    Q_UNUSED(fileName);
    Q_UNUSED(text);
    return std::nullopt;
}

std::unique_ptr<Ui> Ui::forWindow(QWidget *window)
{
    Q_UNUSED(window);
    return std::make_unique<ForwardingUi>(*this);
}

template <typename Call> auto ForwardingUi::handOn(Call &&call)
{
    struct Conversation
    {
        ForwardingUi &ui;
        explicit Conversation(ForwardingUi &forwarding) : ui(forwarding) { ui.beginConversation(); }
        ~Conversation() { ui.endConversation(); }
        Conversation(const Conversation &) = delete;
        Conversation &operator=(const Conversation &) = delete;
    } conversation(*this);
    return call(m_target);
}

void ForwardingUi::showAlert(const QString &message, const QString &informativeText)
{
    handOn([&](Ui &ui) { ui.showAlert(message, informativeText); });
}

void ForwardingUi::showImportAlert(const QString &message, const QString &informativeText,
                                   const QString &helpAnchor)
{
    handOn([&](Ui &ui) { ui.showImportAlert(message, informativeText, helpAnchor); });
}

void ForwardingUi::showErrorAlert(const QString &message, const QString &reason)
{
    handOn([&](Ui &ui) { ui.showErrorAlert(message, reason); });
}

QString ForwardingUi::chooseFileToOpen(const QString &title, const QStringList &extensions)
{
    return handOn([&](Ui &ui) { return ui.chooseFileToOpen(title, extensions); });
}

QString ForwardingUi::chooseFileToSave(const QString &title, const QString &extension,
                                       const QString &suggestedName)
{
    return handOn([&](Ui &ui) { return ui.chooseFileToSave(title, extension, suggestedName); });
}

Ui::SaveChangesAnswer ForwardingUi::askSaveChanges(const QString &documentName)
{
    return handOn([&](Ui &ui) { return ui.askSaveChanges(documentName); });
}

Ui::ExternalChangeAnswer ForwardingUi::askAboutExternalChange(const QString &documentName)
{
    return handOn([&](Ui &ui) { return ui.askAboutExternalChange(documentName); });
}

Ui::MissingFileAnswer ForwardingUi::askAboutMissingFile(const QString &documentName)
{
    return handOn([&](Ui &ui) { return ui.askAboutMissingFile(documentName); });
}

void ForwardingUi::showPrintPreview(const QString &title, const PagePainter &paint)
{
    handOn([&](Ui &ui) { ui.showPrintPreview(title, paint); });
}

int ForwardingUi::askChoice(const QString &message, const QString &informativeText,
                            const QStringList &choices)
{
    return handOn([&](Ui &ui) { return ui.askChoice(message, informativeText, choices); });
}

std::optional<CommunityOptions> ForwardingUi::chooseCommunityOptions(const QString &fileName,
                                                                     std::string_view text)
{
    return handOn([&](Ui &ui) { return ui.chooseCommunityOptions(fileName, text); });
}

QString withExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty())
        return path;
    const QString suffix = QLatin1Char('.') + extension;
    return path.endsWith(suffix, Qt::CaseInsensitive) ? path : path + suffix;
}

} // namespace quorvella
