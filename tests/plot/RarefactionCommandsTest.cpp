#include "plot/RarefactionCommands.h"

#include "PlotTestDocument.h"
#include "analysis/EcoCollection.h"
#include "document/DocumentWindow.h"
#include "document/ToolbarItem.h"
#include "plot/Chao2Text.h"
#include "plot/RarefactionPlotController.h"
#include "plot/RarefactionView.h"
#include "store/AnalysisInput.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

using namespace quorvella;
using namespace quorvella::testing;

namespace {

using Command = void (RarefactionCommands::*)();

struct Fixture
{
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    MyDocument document;
    RarefactionCommands commands{document};

    Fixture() { document.setUi(ui); }
};

} // namespace

Q_DECLARE_METATYPE(Command)

class RarefactionCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { isolateSettings(); }
    void alertsWhenThereIsNothingToCompute_data();
    void alertsWhenThereIsNothingToCompute();
    void curvesThatCannotBeDrawnAreExplained_data();
    void curvesThatCannotBeDrawnAreExplained();
    void chao2OfTheWorkedExample();
    void sampleRarefactionPlotsAndWritesChao2();
    void poolingSumsByTaxonNameAndCountsExcludedTaxa();
    void singleCollectionLeavesExcludedTaxaOut();
    void busyIndicatorBracketsTheRarefactions();
    void twoWindowsOpenedOneClosedLeavesOne();
    void documentWindowWiresAndClosesItsPlots();
    void commandsCommitTheCellBeingEdited();
    void largeDocumentComputesAwayFromTheWindow();
};

void RarefactionCommandsTest::alertsWhenThereIsNothingToCompute_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<int>("collections");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("informative");

    const QString add = QStringLiteral("Add collections and taxa.");
    QTest::newRow("individual, nothing selected")
        << &RarefactionCommands::doRarefaction << 0
        << QStringLiteral("Rarefaction could not be plotted")
        << QStringLiteral("Select a collection to run a rarefaction.");
    QTest::newRow("chao-2, three empty collections")
        << &RarefactionCommands::doChao2 << 3 << QStringLiteral("Chao2 could not be calculated")
        << add;
    QTest::newRow("sample-based, no taxa")
        << &RarefactionCommands::doSampleBasedRarefaction << 3
        << QStringLiteral("Sample-based rarefaction could not be performed") << add;
    QTest::newRow("all collections, no taxa")
        << &RarefactionCommands::individualBasedRarefactionForAllCollections << 3
        << QStringLiteral("Individual-based rarefaction could not be performed") << add;
}

void RarefactionCommandsTest::alertsWhenThereIsNothingToCompute()
{
    QFETCH(Command, command);
    QFETCH(int, collections);
    QFETCH(QString, message);
    QFETCH(QString, informative);

    Fixture f;
    std::vector<std::string> names;
    for (int i = 0; i < collections; ++i) {
        names.push_back("Empty " + std::to_string(i));
    }
    fillDocument(f.document, names, {});
    f.document.setChao2Text(QStringLiteral("unchanged"));
    (f.commands.*command)();

    const auto alerts = f.ui->eventsOf(ScriptedUi::Kind::Alert);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].message, message);
    QCOMPARE(alerts[0].informativeText, informative);
    QVERIFY(f.commands.rarefactionPlotControllers().empty());
    QCOMPARE(f.document.chao2Text(), QStringLiteral("unchanged"));
    QVERIFY(!f.document.isBusy());
}

void RarefactionCommandsTest::curvesThatCannotBeDrawnAreExplained_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<std::int32_t>("abundance");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("informativeStart");

    const auto individual = &RarefactionCommands::doRarefaction;
    const auto pooled = &RarefactionCommands::individualBasedRarefactionForAllCollections;
    const QString single = QStringLiteral("Rarefaction could not be plotted");
    const QString all = QStringLiteral("Individual-based rarefaction could not be performed");
    const QString noSpecimens = QStringLiteral("There are no specimens to count");
    QTest::newRow("no specimens") << individual << 0 << single << noSpecimens;
    QTest::newRow("no specimens, pooled") << pooled << 0 << all << noSpecimens;
    // Rarefaction refuses census sizes above 2^24 with a message of its own.
    QTest::newRow("too many specimens") << individual << 20000000 << single << QString();
    QTest::newRow("too many, pooled") << pooled << 9000000 << all << QString();
}

void RarefactionCommandsTest::curvesThatCannotBeDrawnAreExplained()
{
    QFETCH(Command, command);
    QFETCH(std::int32_t, abundance);
    QFETCH(QString, message);
    QFETCH(QString, informativeStart);

    Fixture f;
    const auto ids = fillDocument(f.document, {"One", "Two"},
                                  {{"One", "A", abundance}, {"Two", "B", abundance}});
    f.document.selectCollection(ids[0]);
    (f.commands.*command)();

    const auto alerts = f.ui->eventsOf(ScriptedUi::Kind::Alert);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].message, message);
    QVERIFY(!alerts[0].informativeText.isEmpty());
    QVERIFY(alerts[0].informativeText.startsWith(informativeStart));
    QVERIFY(f.commands.rarefactionPlotControllers().empty());
    QVERIFY(!f.document.isBusy());
}

void RarefactionCommandsTest::chao2OfTheWorkedExample()
{
    Fixture f;
    fillChao2Example(f.document);
    f.commands.doChao2();
    QCOMPARE(f.document.chao2Text(), QStringLiteral("Chao-2:   3.33"));
    QVERIFY(f.commands.rarefactionPlotControllers().empty());
    QVERIFY(f.ui->events.isEmpty());
}

void RarefactionCommandsTest::sampleRarefactionPlotsAndWritesChao2()
{
    Fixture f;
    fillChao2Example(f.document);
    f.commands.doSampleBasedRarefaction();

    QCOMPARE(f.document.chao2Text(), QStringLiteral("Chao-2:   3.33"));
    QCOMPARE(f.commands.rarefactionPlotControllers().size(), std::size_t(1));
    RarefactionPlotController *plot = f.commands.rarefactionPlotControllers().front();
    QCOMPARE(plot->windowTitle(), QStringLiteral("All Collections"));
    QVERIFY(plot->isVisible());
    const auto &points = plot->rarefactionView().points();
    QCOMPARE(points.size(), std::size_t(3));
    QCOMPARE(points[0].theSampleSize, 1);
    QCOMPARE(points[2].theSampleSize, 3);
    QCOMPARE(points[2].theE, 3.0);
    QCOMPARE(f.commands.rarefactionArray().size(), std::size_t(3));
}

void RarefactionCommandsTest::poolingSumsByTaxonNameAndCountsExcludedTaxa()
{
    Fixture f;
    fillDocument(f.document, {"One", "Two", "Three"},
                 {{"One", "Abies", 5}, {"Two", "Abies", 7, false}, {"Three", "Betula", 3}});
    f.commands.individualBasedRarefactionForAllCollections();

    const auto expected =
        EcoCollection::initFromAbundanceArray({12, 3}).individualBasedRarefactionCurve();
    const auto &curve = f.commands.rarefactionArray();
    QCOMPARE(curve.size(), expected.size());
    QCOMPARE(curve.back().theSampleSize, 15);
    for (std::size_t i = 0; i < curve.size(); ++i) {
        QCOMPARE(curve[i].theE, expected[i].theE);
    }
    QCOMPARE(f.commands.rarefactionPlotControllers().front()->windowTitle(),
             QStringLiteral("All Collections"));
}

void RarefactionCommandsTest::singleCollectionLeavesExcludedTaxaOut()
{
    Fixture f;
    const auto ids =
        fillDocument(f.document, {"Pond"},
                     {{"Pond", "Abies", 5}, {"Pond", "Betula", 7, false}, {"Pond", "Carex", 2}});
    f.document.selectCollection(ids[0]);
    f.commands.doRarefaction();

    QCOMPARE(f.commands.rarefactionPlotControllers().size(), std::size_t(1));
    QCOMPARE(f.commands.rarefactionPlotControllers().front()->windowTitle(),
             QStringLiteral("Pond"));
    const auto &curve = f.commands.rarefactionArray();
    QCOMPARE(curve.front().theSampleSize, 1);
    QCOMPARE(curve.back().theSampleSize, 7);
    QCOMPARE(curve.back().theE, 2.0);
}

void RarefactionCommandsTest::busyIndicatorBracketsTheRarefactions()
{
    Fixture f;
    const auto ids = fillChao2Example(f.document);
    f.document.selectCollection(ids[0]);
    QSignalSpy started(&f.document, &MyDocument::busyStarted);
    QSignalSpy ended(&f.document, &MyDocument::busyEnded);

    f.commands.doRarefaction();
    f.commands.individualBasedRarefactionForAllCollections();
    f.commands.doSampleBasedRarefaction();
    QCOMPARE(started.size(), 3);
    QCOMPARE(ended.size(), 3);
    f.commands.doChao2();
    QCOMPARE(started.size(), 3);
    QVERIFY(!f.document.isBusy());
}

void RarefactionCommandsTest::twoWindowsOpenedOneClosedLeavesOne()
{
    Fixture f;
    const auto ids = fillChao2Example(f.document);
    f.document.selectCollection(ids[1]);
    f.commands.doRarefaction();
    f.commands.doRarefaction();
    QCOMPARE(f.commands.rarefactionPlotControllers().size(), std::size_t(2));

    QPointer<RarefactionPlotController> first = f.commands.rarefactionPlotControllers()[0];
    RarefactionPlotController *second = f.commands.rarefactionPlotControllers()[1];
    QCOMPARE(first->windowTitle(), QStringLiteral("Two"));
    QVERIFY(first->close());
    QCOMPARE(f.commands.rarefactionPlotControllers().size(), std::size_t(1));
    QCOMPARE(f.commands.rarefactionPlotControllers()[0], second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
}

void RarefactionCommandsTest::documentWindowWiresAndClosesItsPlots()
{
    auto ui = std::make_shared<ScriptedUi>();
    auto *document = new MyDocument;
    document->setUi(ui);
    const auto ids = fillChao2Example(*document);
    auto *window = new DocumentWindow(document);
    RarefactionCommands *commands = RarefactionCommands::attach(*window);
    QCOMPARE(RarefactionCommands::forWindow(window), commands);
    window->show();
    document->selectCollection(ids[0]);

    window->action(ToolbarItem::IndividualRarefaction)->trigger();
    window->action(ToolbarItem::SampleRarefaction)->trigger();
    window->action(ToolbarItem::Chao2)->trigger();
    QCOMPARE(commands->rarefactionPlotControllers().size(), std::size_t(2));
    QCOMPARE(window->chao2FieldText(), QStringLiteral("Chao-2:   3.33"));
    QPointer<RarefactionPlotController> plot = commands->rarefactionPlotControllers()[0];

    ui->saveChangesAnswers.enqueue(Ui::SaveChangesAnswer::DontSave);
    QVERIFY(window->close());
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(plot.isNull());
    QVERIFY(commands->rarefactionPlotControllers().empty());
    delete window;
}

void RarefactionCommandsTest::commandsCommitTheCellBeingEdited()
{
    auto ui = std::make_shared<ScriptedUi>();
    auto *document = new MyDocument;
    document->setUi(ui);
    const auto ids = fillChao2Example(*document);
    DocumentWindow window(document);
    RarefactionCommands &commands = RarefactionCommands::of(window);
    QCOMPARE(&RarefactionCommands::of(window), &commands);
    window.show();
    document->selectCollection(ids[0]); // A 4, B 3, C 1

    QTableView *table = window.speciesTable();
    const QModelIndex abundanceOfA = table->model()->index(0, 2);
    QCOMPARE(abundanceOfA.data().toString(), QStringLiteral("4"));
    table->setCurrentIndex(abundanceOfA);
    table->edit(abundanceOfA);
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("40"));

    window.action(ToolbarItem::IndividualRarefaction)->trigger();
    QCOMPARE(commands.rarefactionArray().back().theSampleSize, 44);
}

// A document past the background threshold: the group commands run on
// another thread (the window stays free, Cancel drops the result) and give
// what the group made from the store gives.
void RarefactionCommandsTest::largeDocumentComputesAwayFromTheWindow()
{
    Fixture f;
    for (int c = 0; c < 60; ++c) {
        Census made;
        made.censusName = "c" + std::to_string(c);
        const RecordId census = f.document.store().insertCensus(made);
        const Store::Batch batch(f.document.store());
        for (int i = 0; i < 1000; ++i) {
            Taxon taxon;
            taxon.taxonName = "t" + std::to_string((i * 7 + c) % 1400);
            taxon.abundance = 1 + (i * c) % 5;
            taxon.includeTaxon = true;
            taxon.census = census;
            f.document.store().insertTaxon(taxon);
        }
    }
    QVERIFY(f.document.store().taxonCount() > MyDocument::backgroundMetricsTaxa);
    std::optional<EcoCollectionGroup> group = makeEcoCollectionGroup(f.document.store());
    const std::vector<Rarefaction> expected = group->sampleBasedRarefactionCurve();
    const QString chao2 = chao2Text(static_cast<double>(group->chao2()));

    f.commands.doSampleBasedRarefaction();
    QVERIFY(f.document.isWorkingInBackground());
    QTRY_VERIFY(!f.document.isBusy());
    const std::vector<Rarefaction> &curve = f.commands.rarefactionArray();
    QCOMPARE(curve.size(), expected.size());
    for (std::size_t i = 0; i < curve.size(); ++i) {
        QCOMPARE(curve[i].theSampleSize, expected[i].theSampleSize);
        QCOMPARE(curve[i].theE, expected[i].theE);
    }
    QCOMPARE(f.document.chao2Text(), chao2);

    f.document.setChao2Text({});
    f.commands.doChao2();
    f.document.cancelBackgroundWork();
    QVERIFY(!f.document.isBusy());
    QTest::qWait(500);
    QVERIFY(f.document.chao2Text().isEmpty());

    // The wait while the collections are read closed (its Cancel button
    // comes only once a wait lasts): nothing is computed, nothing shown, no
    // alert.
    const qsizetype events = f.ui->events.size();
    QTimer cancelWait;
    cancelWait.setInterval(0);
    QObject::connect(&cancelWait, &QTimer::timeout, [&cancelWait] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *wait = qobject_cast<QProgressDialog *>(widget);
            if (wait != nullptr && wait->isVisible()) {
                wait->close(); // as its title bar's close button does
                cancelWait.stop();
            }
        }
    });
    cancelWait.start();
    f.commands.doSampleBasedRarefaction();
    QVERIFY(!f.document.isWorkingInBackground());
    QTest::qWait(200);
    QVERIFY(f.document.chao2Text().isEmpty());
    QCOMPARE(f.ui->events.size(), events);
}

QTEST_MAIN(RarefactionCommandsTest)
#include "RarefactionCommandsTest.moc"
