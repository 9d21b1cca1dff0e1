#include "plot/DiversityCommands.h"

#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ToolbarConfiguration.h"
#include "plot/DiversityWindow.h"
#include "plot/DocumentWindowClosing.h"

#include <QAction>
#include <QCoreApplication>
#include <QIcon>
#include <algorithm>

namespace quorvella {

namespace {

const QString commandsName = QStringLiteral("diversityCommands");

constexpr char toolbarIdentifier[] = "QTRCompareDiversity";
constexpr char toolbarIcon[] = ":/icons/compareDiversity.png";

QString translated(const char *text)
{
    return QCoreApplication::translate("DiversityCommands", text);
}

} // namespace

DiversityCommands::DiversityCommands(MyDocument &document, QObject *parent)
    : QObject(parent), m_document(document)
{
    setObjectName(commandsName);
}

DiversityCommands::~DiversityCommands()
{
    // The document may be gone already: only the windows are touched here.
    const auto windows = m_windows;
    m_windows.clear();
    for (DiversityWindow *window : windows) {
        disconnect(window, nullptr, this, nullptr);
        delete window;
    }
}

DiversityCommands &DiversityCommands::of(DocumentWindow &window)
{
    if (auto *existing =
            window.findChild<DiversityCommands *>(commandsName, Qt::FindDirectChildrenOnly)) {
        return *existing;
    }
    auto *commands = new DiversityCommands(window.document(), &window);
    commands->setEndEditing([&window] { return window.endEditing(); });
    whenDocumentWindowCloses(window, commands, [commands] { commands->closeAllWindows(); });
    return *commands;
}

void DiversityCommands::allowToolbarItem()
{
    ToolbarConfiguration::instance().addAllowedItem(
        {QLatin1String(toolbarIdentifier), translated("Compare Diversity"),
         translated("Compare the diversity of collections"), QLatin1String(toolbarIcon)});
}

QAction *DiversityCommands::attachToolbarAction(DocumentWindow &window)
{
    auto *action = new QAction(QIcon(QLatin1String(toolbarIcon)),
                               translated("Compare Diversity\u2026"), &window);
    action->setObjectName(QLatin1String(toolbarIdentifier));
    action->setIconText(translated("Compare Diversity"));
    action->setToolTip(translated("Compare the diversity of collections"));
    MyDocument &document = window.document();
    const auto updateEnabled = [action, &document] {
        action->setEnabled(document.hasCountedTaxa());
    };
    connect(&document, &MyDocument::commandStateChanged, action, updateEnabled);
    updateEnabled();
    connect(action, &QAction::triggered, &window, [&window] { of(window).compareDiversity(); });
    window.addToolbarAction(action);
    return action;
}

std::vector<RecordId> DiversityCommands::chosenCollections(const MyDocument &document)
{
    std::vector<RecordId> chosen = document.selectedCollections();
    if (chosen.size() <= 1) {
        chosen.clear();
        for (const Census &census : document.store().createArrayOfAllCensuses()) {
            chosen.push_back(census.id);
        }
    }
    // Store order, as quorvella-cli diversity lists a document's collections.
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

void DiversityCommands::compareDiversity()
{
    if (m_endEditing && !m_endEditing()) {
        return;
    }
    openDiversityWindow(chosenCollections(m_document), DiversityDataType::Abundance);
}

DiversityWindow *DiversityCommands::openDiversityWindow(std::vector<RecordId> collections,
                                                        DiversityDataType dataType)
{
    auto *window = new DiversityWindow(m_document, std::move(collections), dataType);
    m_windows.push_back(window);
    connect(window, &DiversityWindow::windowWillClose, this,
            [this](DiversityWindow *closing) { std::erase(m_windows, closing); });
    connect(window, &QObject::destroyed, this, [this, window] { std::erase(m_windows, window); });
    window->requestComputation();
    window->show();
    window->activateWindow();
    emit windowOpened(window);
    return window;
}

void DiversityCommands::closeAllWindows()
{
    const auto windows = m_windows;
    for (DiversityWindow *window : windows) {
        window->close();
    }
}

} // namespace quorvella
