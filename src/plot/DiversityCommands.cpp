#include "plot/DiversityCommands.h"

#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "plot/DiversityWindow.h"
#include "plot/DocumentWindowClosing.h"

#include <algorithm>

namespace quorvella {

namespace {

const QString commandsName = QStringLiteral("diversityCommands");

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
