// The quorvella program: `quorvella [DOCUMENT...]` opens the given
// documents, or an untitled one, and runs until the last document window
// has closed.

#include "app/AppController.h"
#include "app/HelpLinks.h"
#include "app/ProgramHelp.h"
#include "document/QtUi.h"
#include "log/Log.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

Q_LOGGING_CATEGORY(quorvellaLog, "quorvella")

// The core's fixed log lines go to Qt's message handler, like Qt's own.
void routeLogLinesToQt()
{
    quorvella::setLogSink([](std::string_view line) {
        qCInfo(quorvellaLog).noquote()
            << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    });
}

// --help and --version answer on standard output without starting the
// graphical application, so they work without a display.
bool printedProgramText(int argc, char *argv[])
{
    if (argc != 2)
        return false;
    std::string text;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        text = quorvella::programHelpText();
    else if (std::strcmp(argv[1], "--version") == 0)
        text = quorvella::programVersionText();
    else
        return false;
    std::fwrite(text.data(), 1, text.size(), stdout);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (printedProgramText(argc, argv))
        return 0;
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvella"));
    QApplication::setApplicationName(QStringLiteral("Quorvella"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorvella"));
    QApplication::setApplicationVersion(quorvella::applicationVersion());
    QApplication::setDesktopFileName(QStringLiteral("quorvella"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvella.png")));
    // The controller decides when the application ends: after the last
    // document window, not after a help or preferences window.
    QApplication::setQuitOnLastWindowClosed(false);
    routeLogLinesToQt();

    quorvella::AppController::Services services;
    services.makeUi = [] { return std::make_shared<quorvella::QtUi>(); };
    quorvella::AppController controller(std::move(services));
    QObject::connect(&controller, &quorvella::AppController::lastDocumentClosed, &application,
                     &QApplication::quit, Qt::QueuedConnection);

    QStringList documents = QApplication::arguments();
    documents.removeFirst();
    controller.openStartupDocuments(documents);
    return QApplication::exec();
}
