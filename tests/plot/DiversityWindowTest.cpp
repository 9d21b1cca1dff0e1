#include "plot/DiversityWindow.h"

#include "ExternalTool.h"
#include "PlotTestDocument.h"
#include "document/CensusTableModel.h"
#include "document/DocumentWindow.h"
#include "document/ToolbarConfiguration.h"
#include "plot/CommonDiversityModel.h"
#include "plot/DiversityCommands.h"
#include "plot/DiversityControls.h"
#include "plot/DiversityResult.h"
#include "plot/DiversityView.h"
#include "plot/DiversityWorker.h"
#include "plot/PlotFiles.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QProcess>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <clocale>
#include <memory>
#include <stdexcept>

using namespace quorvella;
using namespace quorvella::testing;

namespace {

// A job that reports which request it was and, when given a gate, waits
// for it first.
DiversityJob taggedJob(double tag, QSemaphore *gate = nullptr, std::atomic<bool> *ended = nullptr)
{
    return [=](DiversityJobControl &) {
        if (gate) {
            gate->acquire();
        }
        auto result = std::make_shared<DiversityResult>();
        result->commonValue = tag;
        if (ended) {
            ended->store(true);
        }
        return std::shared_ptr<const DiversityResult>(result);
    };
}

// Three ponds of unequal size.
void fillPonds(MyDocument &document)
{
    fillDocument(document, {"Pond A", "Pond B", "Pond C"},
                 {{"Pond A", "Ammonia", 40},
                  {"Pond A", "Elphidium", 12},
                  {"Pond A", "Quinqueloculina", 3},
                  {"Pond A", "Miliolinella", 1},
                  {"Pond A", "Trochammina", 1},
                  {"Pond B", "Ammonia", 9},
                  {"Pond B", "Haynesina", 2},
                  {"Pond B", "Elphidium", 1},
                  {"Pond C", "Ammonia", 5},
                  {"Pond C", "Jadammina", 4},
                  {"Pond C", "Trochammina", 2},
                  {"Pond C", "Miliammina", 1},
                  {"Pond C", "Reophax", 1}});
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class DiversityWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { isolateSettings(); }
    void supersededRequestNeverShows();
    void cancelKeepsTheLastResult();
    void commandChoosesCollectionsAndNeedsCounts();
    void tableBytesEqualTheCommandLine();
    void commonTableHoldsOnlyItsPoint_data();
    void commonTableHoldsOnlyItsPoint();
    void windowFollowsDataAndClosesWithItsDocument();
    void toolbarItemNeedsCountsAndOpensAWindow();
};

void DiversityWindowTest::supersededRequestNeverShows()
{
    DiversityWorker worker;
    QSignalSpy finished(&worker, &DiversityWorker::finished);
    QSemaphore gate;
    std::atomic<bool> slowEnded{false};
    worker.start(taggedJob(1, &gate, &slowEnded));
    const std::uint64_t second = worker.start(taggedJob(2));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().value<std::uint64_t>(), second);
    QCOMPARE(worker.result()->commonValue, 2.0);

    // The first request ends after the second: it must not replace it.
    gate.release();
    QTRY_VERIFY(slowEnded.load());
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(worker.result()->commonValue, 2.0);
    QVERIFY(!worker.isRunning());
}

void DiversityWindowTest::cancelKeepsTheLastResult()
{
    DiversityWorker worker;
    QSignalSpy finished(&worker, &DiversityWorker::finished);
    QSignalSpy cancelled(&worker, &DiversityWorker::cancelled);
    QSignalSpy failed(&worker, &DiversityWorker::failed);
    worker.start(taggedJob(7));
    QTRY_COMPARE(finished.count(), 1);

    QSemaphore gate;
    std::atomic<bool> ended{false};
    std::atomic<bool> sawCancel{false};
    worker.start([&](DiversityJobControl &control) {
        gate.acquire();
        sawCancel = control.isCancelled();
        ended = true;
        return std::make_shared<const DiversityResult>();
    });
    QVERIFY(worker.isRunning());
    worker.cancel();
    QCOMPARE(cancelled.count(), 1);
    gate.release();
    QTRY_VERIFY(ended.load());
    QTest::qWait(50);
    QVERIFY(sawCancel.load());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(worker.result()->commonValue, 7.0);

    // A job that throws says why and keeps the result too.
    worker.start([](DiversityJobControl &) -> std::shared_ptr<const DiversityResult> {
        throw std::invalid_argument("no counts");
    });
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(failed.first().at(1).toString(), QStringLiteral("no counts"));
    QCOMPARE(worker.result()->commonValue, 7.0);
}

void DiversityWindowTest::commandChoosesCollectionsAndNeedsCounts()
{
    MyDocument document;
    const std::vector<RecordId> ids =
        fillDocument(document, {"Pond A", "Pond B", "Pond C"},
                     {{"Pond A", "Ammonia", 0}, {"Pond B", "Elphidium", std::nullopt}});
    QVERIFY(!document.hasCountedTaxa()); // taxa, but nothing counted
    document.importRecords(QStringLiteral("Count"), [&](Store &store) {
        Taxon taxon;
        taxon.taxonName = "Haynesina";
        taxon.abundance = 3;
        taxon.includeTaxon = false; // a count counts, included or not
        taxon.census = ids[2];
        store.insertTaxon(taxon);
    });
    QVERIFY(document.hasCountedTaxa());

    const std::vector<RecordId> all{ids[0], ids[1], ids[2]};
    document.censusSelection().clear();
    QCOMPARE(DiversityCommands::chosenCollections(document), all);
    document.selectCollection(ids[1]);
    QCOMPARE(DiversityCommands::chosenCollections(document), all);
    document.censusSelection().select(document.censusModel().index(0, 0),
                                      QItemSelectionModel::Select |
                                          QItemSelectionModel::Rows); // Pond A joins Pond B
    const std::vector<RecordId> two{ids[0], ids[1]};
    QCOMPARE(DiversityCommands::chosenCollections(document), two);
}

void DiversityWindowTest::tableBytesEqualTheCommandLine()
{
    // Numbers in the files never take the user's comma decimals.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto ui = std::make_shared<ScriptedUi>();
    MyDocument document;
    document.setUi(ui);
    fillPonds(document);
    QTemporaryDir dir;
    const QString documentPath = dir.filePath(QStringLiteral("ponds.qvl"));
    QVERIFY(document.saveTo(documentPath));

    DiversityWindow window(document, DiversityCommands::chosenCollections(document),
                           DiversityDataType::Abundance);
    QSignalSpy shown(&window, &DiversityWindow::resultShown);
    window.controls().orderBox()->setCurrentIndex(1);
    window.controls().bootstrapBox()->setValue(20);
    window.controls().levelBox()->setValue(90.0);
    window.controls().endpointBox()->setValue(30);
    window.requestComputation();
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 20000);
    const QString tablePath = dir.filePath(QStringLiteral("curves.csv"));
    ui->savePaths.enqueue(tablePath);
    window.saveTable();

    QProcess cli;
    cli.start(QStringLiteral(QUORVELLA_CLI_PATH),
              {QStringLiteral("diversity"), QStringLiteral("--q"), QStringLiteral("1"),
               QStringLiteral("--bootstrap"), QStringLiteral("20"), QStringLiteral("--level"),
               QStringLiteral("0.9"), QStringLiteral("--endpoint"), QStringLiteral("30"),
               documentPath});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray expected = cli.readAllStandardOutput();
    QVERIFY(expected.count('\n') > 3 * 30);
    QCOMPARE(readFile(tablePath), expected);

    // The common-size table: every pond at the smallest doubled size, 2 x 12.
    QCOMPARE(window.commonModel().rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(window.commonModel()
                     .index(row, CommonDiversityModel::Size)
                     .data(CommonDiversityModel::sortRole)
                     .toDouble(),
                 24.0);
    }
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
}

void DiversityWindowTest::commonTableHoldsOnlyItsPoint_data()
{
    QTest::addColumn<int>("basis");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("column");
    QTest::newRow("at a common size") << 0 << 18.0 << int(CommonDiversityModel::Size);
    QTest::newRow("at a common coverage") << 1 << 0.6 << int(CommonDiversityModel::Coverage);
}

// One row per pond and order, each at the chosen size or coverage, and no
// row of the curves' sizes.
void DiversityWindowTest::commonTableHoldsOnlyItsPoint()
{
    QFETCH(int, basis);
    QFETCH(double, value);
    QFETCH(int, column);
    MyDocument document;
    document.setUi(std::make_shared<ScriptedUi>());
    fillPonds(document);
    DiversityWindow window(document, DiversityCommands::chosenCollections(document),
                           DiversityDataType::Abundance);
    QSignalSpy shown(&window, &DiversityWindow::resultShown);
    window.controls().orderBox()->setCurrentIndex(1);
    window.controls().bootstrapBox()->setValue(10);
    window.findChild<QComboBox *>(QStringLiteral("commonBasisBox"))->setCurrentIndex(basis);
    window.findChild<QDoubleSpinBox *>(QStringLiteral("commonValueBox"))->setValue(value);
    window.requestComputation();
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 20000);
    QCOMPARE(window.commonModel().rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(
            window.commonModel().index(row, column).data(CommonDiversityModel::sortRole).toDouble(),
            value);
    }
}

void DiversityWindowTest::windowFollowsDataAndClosesWithItsDocument()
{
    auto ui = std::make_shared<ScriptedUi>();
    auto *document = new MyDocument;
    document->setUi(ui);
    fillPonds(*document);
    DocumentWindow documentWindow(document);
    documentWindow.show();
    DiversityCommands &commands = DiversityCommands::of(documentWindow);
    commands.compareDiversity();
    QCOMPARE(commands.diversityWindows().size(), std::size_t(1));
    QPointer<DiversityWindow> window = commands.diversityWindows().front();
    QSignalSpy shown(window.data(), &DiversityWindow::resultShown);
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 20000);
    QVERIFY(window->windowTitle().contains(QStringLiteral("Pond A, Pond B, Pond C")));
    QCOMPARE(window->view().picture().panels.size(), std::size_t(3));
    QCOMPARE(window->view().picture().panels[0].series.size(), std::size_t(3));

    // The printed page carries the names.
    window->printPicture();
    QTemporaryDir dir;
    const QString printedPath = dir.filePath(QStringLiteral("printed.pdf"));
    QFile printedFile(printedPath);
    QVERIFY(printedFile.open(QIODevice::WriteOnly));
    printedFile.write(ui->printedPdf);
    printedFile.close();
    const QString printed =
        runTool(QStringLiteral("pdftotext"), {printedPath, QStringLiteral("-")});
    QVERIFY2(printed.contains(QStringLiteral("Pond C")), qPrintable(printed));

    // Sampling units: one assemblage of the three ponds.
    window->controls().dataTypeBox()->setCurrentIndex(1);
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 2, 20000);
    QCOMPARE(window->view().picture().panels[0].series.size(), std::size_t(1));
    QCOMPARE(window->view().picture().panels[0].xTitle, QStringLiteral("Number of sampling units"));

    // A change of the data re-plots: Pond C goes, and with it a unit.
    window->controls().dataTypeBox()->setCurrentIndex(0);
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 3, 20000);
    document->selectCollection(document->store().createArrayOfAllCensuses().back().id);
    document->deleteCollection();
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 4, 20000);
    QCOMPARE(window->view().picture().panels[0].series.size(), std::size_t(2));

    ui->saveChangesAnswers.enqueue(Ui::SaveChangesAnswer::DontSave);
    documentWindow.close();
    QTRY_VERIFY(window.isNull());
}

void DiversityWindowTest::toolbarItemNeedsCountsAndOpensAWindow()
{
    DiversityCommands::allowToolbarItem();
    ToolbarConfiguration &toolbar = ToolbarConfiguration::instance();
    QVERIFY(toolbar.findAllowed(QStringLiteral("QTRCompareDiversity")));
    QVERIFY(!ToolbarConfiguration::defaultItemIdentifiers().contains(
        QStringLiteral("QTRCompareDiversity")));
    toolbar.setItemIdentifiers(
        {QStringLiteral("QTRAddCollection"), QStringLiteral("QTRCompareDiversity")});

    auto *document = new MyDocument;
    document->setUi(std::make_shared<ScriptedUi>());
    DocumentWindow documentWindow(document);
    QAction *item = DiversityCommands::attachToolbarAction(documentWindow);
    QCOMPARE(
        documentWindow.toolbarItemIdentifiers(),
        QStringList({QStringLiteral("QTRAddCollection"), QStringLiteral("QTRCompareDiversity")}));
    QVERIFY(!item->isEnabled()); // nothing counted yet
    fillPonds(*document);
    QVERIFY(item->isEnabled());

    item->trigger();
    QCOMPARE(DiversityCommands::of(documentWindow).diversityWindows().size(), std::size_t(1));
    toolbar.restoreDefaultSet();
}

QTEST_MAIN(DiversityWindowTest)
#include "DiversityWindowTest.moc"
