// The application controller: which menu entries are enabled in each state
// of the current document, which document is current, the questions asked
// when windows close and the application quits, Open Recent, Undo/Redo
// across documents, and the command line.

#include "AppTestSupport.h"
#include "app/RecentDocuments.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvella;
using quorvella::test::App;
using Answer = Ui::SaveChangesAnswer;

Q_DECLARE_METATYPE(QList<quorvella::Ui::SaveChangesAnswer>)

namespace {

// The document commands whose enabling the tests watch.
const QStringList watchedCommands = {
    QStringLiteral("addCensusClicked"),
    QStringLiteral("removeCensusClicked"),
    QStringLiteral("addSpeciesClicked"),
    QStringLiteral("removeSpeciesClicked"),
    QStringLiteral("calculateSampleMetrics"),
    QStringLiteral("metricsForAllCollectionsClicked"),
    QStringLiteral("doChao2"),
    QStringLiteral("individualBasedRarefactionForAllCollectionsClicked"),
    QStringLiteral("importGroupOfCollectionsClicked"),
    QStringLiteral("exportMetricsClicked"),
    QStringLiteral("buildSpeciesListClicked"),
    QStringLiteral("saveDocument"),
};

QStringList enabledCommands(const App &app)
{
    QStringList enabled;
    for (const QString &name : watchedCommands) {
        QAction *action = app.action(name);
        if (action == nullptr)
            return {QStringLiteral("missing: ") + name};
        if (action->isEnabled())
            enabled.append(name);
    }
    return enabled;
}

} // namespace

class AppControllerTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        quorvella::test::useTestSettings();
        qRegisterMetaType<quorvella::MyDocument *>();
    }
    void init() { QSettings().clear(); }

    void menuEnabling_data();
    void menuEnabling();
    void menusFollowTheActiveWindow();
    void undoFollowsTheCurrentDocument();
    void closeQuestions_data();
    void closeQuestions();
    void quitQuestions_data();
    void quitQuestions();
    void savingOnCloseRemembersTheFile();
    void openRecent();
    void openingAMissingFileForgetsIt();
    void commandLine();
    void openingTheSameFileTwiceShowsOneWindow();
    void openingReplacesAnUntouchedUntitledWindow();
    void openPanelOffersDocumentsOnly();
    void menusAndButtonsUseOneEllipsis();
};

void AppControllerTest::menuEnabling_data()
{
    QTest::addColumn<int>("collections");
    QTest::addColumn<int>("withTaxa");
    QTest::addColumn<QStringList>("enabled");

    const QString add = QStringLiteral("addCensusClicked");
    const QString removeCensus = QStringLiteral("removeCensusClicked");
    const QString addSpecies = QStringLiteral("addSpeciesClicked");
    const QString removeSpecies = QStringLiteral("removeSpeciesClicked");
    const QString metrics = QStringLiteral("calculateSampleMetrics");
    const QString all = QStringLiteral("metricsForAllCollectionsClicked");
    const QString chao2 = QStringLiteral("doChao2");
    const QString pooled = QStringLiteral("individualBasedRarefactionForAllCollectionsClicked");
    const QString import = QStringLiteral("importGroupOfCollectionsClicked");
    const QString exportMetrics = QStringLiteral("exportMetricsClicked");
    const QString speciesList = QStringLiteral("buildSpeciesListClicked");
    const QString save = QStringLiteral("saveDocument");

    // Imports make a document when none is open.
    QTest::newRow("no document") << -1 << 0 << QStringList{import};
    QTest::newRow("empty document") << 0 << 0 << QStringList{add, import, save};
    QTest::newRow("collection without taxa")
        << 1 << 0 << QStringList{add, removeCensus, addSpecies, import, save};
    QTest::newRow("two collections with taxa: no group commands")
        << 2 << 2 << QStringList{add, removeCensus, addSpecies,    removeSpecies, metrics,
                                 all, import,       exportMetrics, speciesList,   save};
    QTest::newRow("selected collection empty, another with taxa")
        << 2 << 0 << QStringList{add, removeCensus, addSpecies, import, save};
    QTest::newRow("three collections, selected one empty")
        << 3 << 0 << QStringList{add, removeCensus, addSpecies, chao2, pooled, import, save};
    QTest::newRow("three collections with taxa")
        << 3 << 3 << QStringList{add,   removeCensus, addSpecies, removeSpecies, metrics,     all,
                                 chao2, pooled,       import,     exportMetrics, speciesList, save};
}

void AppControllerTest::menuEnabling()
{
    QFETCH(int, collections);
    QFETCH(int, withTaxa);
    QFETCH(QStringList, enabled);

    App app;
    app->openStartupDocuments({});
    if (collections < 0) {
        app->currentWindow()->close();
        test::processDeletions();
        QCOMPARE(app->currentDocument(), nullptr);
    } else {
        test::fill(*app->currentDocument(), collections, withTaxa);
        if (collections == 2 && withTaxa == 0) {
            // Taxa in the first collection only, the second selected.
            MyDocument &document = *app->currentDocument();
            document.selectCollection(document.createArrayOfAllCensuses().front().id);
            document.addTaxon();
            document.selectMostRecentCollection();
        }
    }
    QCOMPARE(enabledCommands(app), enabled);
}

void AppControllerTest::menusFollowTheActiveWindow()
{
    App app;
    DocumentWindow *filled = app->newDocument();
    test::fill(filled->document(), 2, 2);
    DocumentWindow *empty = app->newDocument();
    QCOMPARE(app->currentWindow(), empty); // a new document becomes current
    QVERIFY(!app.action(QStringLiteral("removeSpeciesClicked"))->isEnabled());

    QSignalSpy changed(app.controller.get(), &AppController::currentDocumentChanged);
    QApplication::setActiveWindow(filled);
    QCOMPARE(app->currentDocument(), &filled->document());
    QCOMPARE(changed.count(), 1);
    QVERIFY(app.action(QStringLiteral("removeSpeciesClicked"))->isEnabled());

    // The menu command acts on the current document only.
    app.action(QStringLiteral("addCensusClicked"))->trigger();
    QCOMPARE(filled->document().createArrayOfAllCensuses().size(), std::size_t{3});
    QCOMPARE(empty->document().createArrayOfAllCensuses().size(), std::size_t{0});

    // Closing the current window hands over to the other one.
    app.ui->saveChangesAnswers.enqueue(Answer::DontSave);
    filled->close();
    test::processDeletions();
    QCOMPARE(app->currentWindow(), empty);
    QVERIFY(!app.action(QStringLiteral("removeSpeciesClicked"))->isEnabled());
}

void AppControllerTest::undoFollowsTheCurrentDocument()
{
    App app;
    DocumentWindow *first = app->newDocument();
    first->document().addCollection();
    QAction *undo = app.action(QStringLiteral("undo"));
    QAction *redo = app.action(QStringLiteral("redo"));
    QVERIFY(undo->isEnabled());
    QVERIFY(undo->text().contains(QStringLiteral("Add Collection")));

    DocumentWindow *second = app->newDocument();
    QVERIFY(!undo->isEnabled()); // the new document has no history

    QApplication::setActiveWindow(first);
    undo->trigger();
    QCOMPARE(first->document().createArrayOfAllCensuses().size(), std::size_t{0});
    QVERIFY(redo->isEnabled());
    redo->trigger();
    QCOMPARE(first->document().createArrayOfAllCensuses().size(), std::size_t{1});
    QCOMPARE(second->document().undoStack().count(), 0);
}

void AppControllerTest::closeQuestions_data()
{
    QTest::addColumn<int>("collections");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("closed");

    QTest::newRow("untitled and empty: no question") << 0 << QList<Answer>{} << 0 << true;
    QTest::newRow("content, Don't Save") << 1 << QList<Answer>{Answer::DontSave} << 1 << true;
    QTest::newRow("content, Cancel") << 1 << QList<Answer>{Answer::Cancel} << 1 << false;
    // Save with the save panel cancelled: nothing is lost, the window stays.
    QTest::newRow("content, Save, panel cancelled")
        << 1 << QList<Answer>{Answer::Save} << 1 << false;
}

void AppControllerTest::closeQuestions()
{
    QFETCH(int, collections);
    QFETCH(QList<Answer>, answers);
    QFETCH(int, questions);
    QFETCH(bool, closed);

    App app;
    DocumentWindow *window = app->newDocument();
    test::fill(window->document(), collections, 0);
    for (Answer answer : answers)
        app.ui->saveChangesAnswers.enqueue(answer);
    app.ui->savePaths.enqueue(QString()); // the save panel, if it opens, is cancelled
    QSignalSpy last(app.controller.get(), &AppController::lastDocumentClosed);

    app.action(QStringLiteral("closeDocument"))->trigger();
    test::processDeletions();

    QCOMPARE(app.ui->eventsOf(ScriptedUi::Kind::SaveChanges).size(), questions);
    QCOMPARE(app.ui->unexpectedQuestions, 0);
    QCOMPARE(app->documentWindows().isEmpty(), closed);
    QCOMPARE(last.count(), closed ? 1 : 0);
}

void AppControllerTest::quitQuestions_data()
{
    QTest::addColumn<QList<int>>("collectionsPerDocument");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("quit");
    QTest::addColumn<int>("windowsLeft");

    QTest::newRow("three documents, two with content")
        << QList<int>{1, 0, 2} << QList<Answer>{Answer::DontSave, Answer::DontSave} << 2 << true
        << 0;
    QTest::newRow("cancel at the first question keeps everything")
        << QList<int>{1, 1} << QList<Answer>{Answer::Cancel} << 1 << false << 2;
    QTest::newRow("cancel at the second question keeps the rest")
        << QList<int>{1, 1, 1} << QList<Answer>{Answer::DontSave, Answer::Cancel} << 2 << false
        << 2;
    QTest::newRow("only empty documents: no question")
        << QList<int>{0, 0} << QList<Answer>{} << 0 << true << 0;
}

void AppControllerTest::quitQuestions()
{
    QFETCH(QList<int>, collectionsPerDocument);
    QFETCH(QList<Answer>, answers);
    QFETCH(int, questions);
    QFETCH(bool, quit);
    QFETCH(int, windowsLeft);

    App app;
    for (int collections : collectionsPerDocument)
        test::fill(app->newDocument()->document(), collections, 0);
    for (Answer answer : answers)
        app.ui->saveChangesAnswers.enqueue(answer);
    QSignalSpy last(app.controller.get(), &AppController::lastDocumentClosed);

    QCOMPARE(app->quitClicked(), quit);
    test::processDeletions();

    QCOMPARE(app.ui->eventsOf(ScriptedUi::Kind::SaveChanges).size(), questions);
    QCOMPARE(app.ui->unexpectedQuestions, 0);
    QCOMPARE(app->documentWindows().size(), windowsLeft);
    QCOMPARE(last.count(), quit ? 1 : 0);
    if (!quit)
        QVERIFY(app->currentWindow() != nullptr);
}

void AppControllerTest::savingOnCloseRemembersTheFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("cores.qvl"));
    App app;
    DocumentWindow *window = app->newDocument();
    test::fill(window->document(), 2, 1);
    app.ui->saveChangesAnswers.enqueue(Answer::Save);
    app.ui->savePaths.enqueue(path);

    QVERIFY(app->quitClicked());
    test::processDeletions();
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(app->recentDocuments().paths(), QStringList{path});
}

void AppControllerTest::openRecent()
{
    QTemporaryDir folder;
    const QString first = folder.filePath(QStringLiteral("first.qvl"));
    const QString second = folder.filePath(QStringLiteral("second.qvl"));
    App app;
    for (const QString &path : {first, second}) {
        DocumentWindow *window = app->newDocument();
        test::fill(window->document(), 1, 1);
        QVERIFY(window->document().saveTo(path));
    }
    QCOMPARE(app->recentDocuments().paths(), (QStringList{second, first}));

    // The menu lists them newest first and opens them.
    QVERIFY(app->quitClicked());
    test::processDeletions();
    QMenu *menu = app->menus().openRecentMenu();
    QVERIFY(menu->isEnabled());
    QList<QAction *> entries;
    for (QAction *action : menu->actions()) {
        if (!action->data().toString().isEmpty())
            entries.append(action);
    }
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("&1 second.qvl"));
    QCOMPARE(entries.at(1)->text(), QStringLiteral("&2 first.qvl"));
    entries.at(1)->trigger();
    QCOMPARE(app->documentWindows().size(), 1);
    QCOMPARE(app->currentDocument()->fileName(), first);
    QCOMPARE(app->recentDocuments().paths(), (QStringList{first, second}));

    app.action(QStringLiteral("clearRecent"))->trigger();
    QVERIFY(app->recentDocuments().paths().isEmpty());
    QVERIFY(!menu->isEnabled());
}

void AppControllerTest::openingAMissingFileForgetsIt()
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("moved-away.qvl"));
    App app;
    app->recentDocuments().add(missing);
    QCOMPARE(app->openDocument(missing), nullptr);
    QCOMPARE(app.ui->eventsOf(ScriptedUi::Kind::ErrorAlert).size(), 1);
    QVERIFY(app->recentDocuments().paths().isEmpty());
}

void AppControllerTest::commandLine()
{
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("saved.qvl"));
    {
        App writer;
        DocumentWindow *window = writer->newDocument();
        test::fill(window->document(), 3, 3);
        QVERIFY(window->document().saveTo(saved));
    }
    struct Row
    {
        const char *name;
        QStringList arguments;
        QStringList fileNames; // of the open documents; "" for untitled
        int errors;
    };
    const QString missing = folder.filePath(QStringLiteral("missing.qvl"));
    const Row rows[] = {
        {"no argument: an untitled document", {}, {QString()}, 0},
        {"a document", {saved}, {saved}, 0},
        {"an unreadable document only: untitled instead", {missing}, {QString()}, 1},
        {"a readable and an unreadable one", {missing, saved}, {saved}, 1},
    };
    for (const Row &row : rows) {
        App app;
        app->openStartupDocuments(row.arguments);
        QStringList fileNames;
        for (DocumentWindow *window : app->documentWindows())
            fileNames.append(window->document().fileName());
        QCOMPARE(fileNames, row.fileNames);
        QCOMPARE(app.ui->eventsOf(ScriptedUi::Kind::ErrorAlert).size(), row.errors);
    }
}

void AppControllerTest::openingTheSameFileTwiceShowsOneWindow()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("once.qvl"));
    App app;
    DocumentWindow *window = app->newDocument();
    test::fill(window->document(), 1, 1);
    QVERIFY(window->document().saveTo(path));
    app->newDocument();

    QCOMPARE(app->openDocument(path), window);
    QCOMPARE(app->documentWindows().size(), 2);
    QCOMPARE(app->currentWindow(), window);
}

void AppControllerTest::openingReplacesAnUntouchedUntitledWindow()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kept.qvl"));
    App app;
    DocumentWindow *saved = app->newDocument();
    test::fill(saved->document(), 1, 1);
    QVERIFY(saved->document().saveTo(path));
    saved->close();
    test::processDeletions();

    struct Row
    {
        const char *name;
        int collections; // in the untitled window; -1: touched, then undone
        int windowsAfter;
    };
    const Row rows[] = {
        {"untouched: replaced", 0, 1},
        {"with content: kept", 1, 2},
        {"edited and undone: kept", -1, 2},
    };
    for (const Row &row : rows) {
        DocumentWindow *untitled = app->newDocument();
        if (row.collections > 0)
            test::fill(untitled->document(), row.collections, 0);
        if (row.collections < 0) {
            untitled->document().addCollection();
            untitled->document().undoStack().undo();
        }
        QVERIFY(app->openDocument(path) != nullptr);
        test::processDeletions();
        QVERIFY2(app->documentWindows().size() == row.windowsAfter, row.name);
        QCOMPARE(app.ui->unexpectedQuestions, 0);
        for (DocumentWindow *window : app->documentWindows())
            delete window;
    }
}

void AppControllerTest::openPanelOffersDocumentsOnly()
{
    App app;
    app->openStartupDocuments({});
    app.ui->openPaths.enqueue(QString()); // cancelled
    app.action(QStringLiteral("openDocument"))->trigger();
    const QList<ScriptedUi::Event> panels = app.ui->eventsOf(ScriptedUi::Kind::OpenPanel);
    QCOMPARE(panels.size(), 1);
    QCOMPARE(panels.front().extensions, QStringList{QStringLiteral("qvl")});
    QCOMPARE(app->documentWindows().size(), 1);
}

// Every command that asks for more before it acts ends in one ellipsis
// character, never in three full stops.
void AppControllerTest::menusAndButtonsUseOneEllipsis()
{
    App app;
    app->openStartupDocuments({});
    QStringList texts;
    for (QWidget *widget : QApplication::allWidgets()) {
        for (QAction *action : widget->actions())
            texts << action->text();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
    }
    QVERIFY(texts.contains(QStringLiteral("&Open\u2026")));
    for (const QString &text : std::as_const(texts))
        QVERIFY2(!text.contains(QLatin1String("...")), qPrintable(text));
}

QTEST_MAIN(AppControllerTest)
#include "AppControllerTest.moc"
