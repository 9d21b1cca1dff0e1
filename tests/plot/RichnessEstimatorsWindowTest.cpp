// The Richness Estimators window on a real document: its tables follow the
// document's edits and the confidence level, Copy and Export CSV write the
// shared table text, and a comma-decimal locale changes no digit.

#include "plot/RichnessEstimatorsWindow.h"

#include "PlotTestDocument.h"
#include "document/Settings.h"
#include "plot/RichnessEstimatesModels.h"
#include "textio/EstimatorTables.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <clocale>

using namespace quorvella;
using namespace quorvella::testing;

namespace {

struct Fixture
{
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    MyDocument document;

    Fixture()
    {
        document.setUi(ui);
        fillChao2Example(document);
    }
};

QString cell(const QTableView &table, int row, int column)
{
    return table.model()->index(row, column).data().toString();
}

QString header(const QTableView &table, int column)
{
    return table.model()->headerData(column, Qt::Horizontal).toString();
}

} // namespace

class RichnessEstimatorsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        isolateSettings();
        std::setlocale(LC_ALL, "de_DE.UTF-8"); // where installed: "," as decimal point
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void cleanup()
    {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
    }
    void tablesShowTheEstimatesAndFollowTheDocument();
    void exportAndCopyWriteTheSharedText();
    void largeDocumentReadingCanBeCancelled();
};

void RichnessEstimatorsWindowTest::tablesShowTheEstimatesAndFollowTheDocument()
{
    Fixture f;
    RichnessEstimatorsWindow window(f.document);
    const QTableView &collections = window.collectionsTable();
    const QTableView &group = window.groupTable();

    QCOMPARE(collections.model()->rowCount(), 3);
    // "One": counts 4, 3, 1: f1 = 1, f2 = 0, so Chao1 = S = 3; coverage
    // 1 - (1/8) * 0 = 1.
    QCOMPARE(cell(collections, 0, 0), QStringLiteral("One"));
    QCOMPARE(cell(collections, 0, 1), QStringLiteral("3"));
    QCOMPARE(cell(collections, 0, 2), QStringLiteral("8"));
    QCOMPARE(cell(collections, 0, 3), QStringLiteral("3.00"));
    QCOMPARE(cell(collections, 0, 8), QStringLiteral("1.0000"));
    QCOMPARE(header(collections, 5), QStringLiteral("Chao1 lower 95 %"));
    // Bias-corrected Chao-2 of Q1 = Q2 = Q3 = 1: 3 + (2/3) / 2.
    QCOMPARE(group.model()->rowCount(), 5);
    QCOMPARE(cell(group, 0, 0), QStringLiteral("Chao-2 (bias-corrected)"));
    QCOMPARE(cell(group, 0, 1), QStringLiteral("3.33"));
    QCOMPARE(cell(group, 2, 2), QStringLiteral("0.67")); // first-order jackknife s.e.
    QCOMPARE(cell(group, 1, 2), QString());              // ICE has no s.e.

    // "Three" holds one specimen: ACE has no value and says why.
    const QModelIndex ace = collections.model()->index(2, 7);
    QCOMPARE(ace.data().toString(), QStringLiteral("\u2013"));
    QVERIFY(ace.data(Qt::ToolTipRole).toString().contains(QStringLiteral("singleton")));

    // An edit of the document reaches the window: a taxon only in "Three".
    f.document.importRecords(QStringLiteral("Add"), [](Store &store) {
        const RecordId three = store.createArrayOfAllCensuses()[2].id;
        store.insertTaxon(Taxon{.taxonName = "D", .abundance = 2, .census = three});
        return 0;
    });
    QTRY_COMPARE(window.estimates().group->observed, 4.0);
    QCOMPARE(cell(collections, 2, 1), QStringLiteral("2"));

    // So does the confidence level preference.
    Settings::setConfidenceLevel(99);
    QTRY_COMPARE(window.estimates().confidenceLevel, 99);
    QCOMPARE(header(collections, 6), QStringLiteral("Chao1 upper 99 %"));
    QCOMPARE(header(group, 3), QStringLiteral("Lower 99 %"));

    // Fewer than two collections: no group rows, and the caption says why.
    f.document.importRecords(QStringLiteral("Remove"), [](Store &store) {
        const std::vector<Census> censuses = store.createArrayOfAllCensuses();
        const RecordId removed[] = {censuses[1].id, censuses[2].id};
        store.deleteCensuses(removed);
        return 0;
    });
    QTRY_COMPARE(group.model()->rowCount(), 0);
    QVERIFY(window.groupCaption().contains(QStringLiteral("at least two collections")));
}

void RichnessEstimatorsWindowTest::exportAndCopyWriteTheSharedText()
{
    Fixture f;
    RichnessEstimatorsWindow window(f.document);
    const std::string expected = richnessEstimatesCsv(window.estimates(), "\r");
    QVERIFY(expected.find("One,3,8,3.000000,") != std::string::npos); // "." under de_DE

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("estimators.csv"));
    f.ui->savePaths.enqueue(path);
    window.exportCsv();
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().toStdString(), expected);

    window.copyTables();
    QCOMPARE(QGuiApplication::clipboard()->text().toStdString(),
             richnessEstimatesCsv(window.estimates(), "\n", '\t'));

    // A name outside ASCII is refused before the save panel, as by every export.
    f.document.importRecords(QStringLiteral("Add"), [](Store &store) {
        return store.insertCensus(Census{.censusName = "Sédiment"});
    });
    QTRY_COMPARE(window.estimates().collections.size(), std::size_t{4});
    window.exportCsv();
    QCOMPARE(f.ui->eventsOf(ScriptedUi::Kind::ErrorAlert).size(), 1);
    QCOMPARE(f.ui->eventsOf(ScriptedUi::Kind::SavePanel).size(), 1);
}

// A document past the background threshold is read behind a wait; closing
// that wait (as Cancel does) stops the reading and computes nothing.
void RichnessEstimatorsWindowTest::largeDocumentReadingCanBeCancelled()
{
    Fixture f;
    f.document.importRecords(QStringLiteral("Fill"), [](Store &store) {
        for (int c = 0; c < 60; ++c) {
            const RecordId census =
                store.insertCensus(Census{.censusName = "c" + std::to_string(c)});
            for (int i = 0; i < 1000; ++i) {
                store.insertTaxon(Taxon{.taxonName = "t" + std::to_string((i * 7 + c) % 1400),
                                        .abundance = 1 + (i * c) % 5,
                                        .census = census});
            }
        }
        return 0;
    });
    QVERIFY(f.document.store().taxonCount() > MyDocument::backgroundMetricsTaxa);
    QTimer closeWait;
    closeWait.setInterval(0);
    QObject::connect(&closeWait, &QTimer::timeout, [&closeWait] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *wait = qobject_cast<QProgressDialog *>(widget);
            if (wait != nullptr && wait->isVisible()) {
                wait->close();
                closeWait.stop();
            }
        }
    });
    closeWait.start();
    RichnessEstimatorsWindow window(f.document);
    QVERIFY(!window.isComputing());
    QVERIFY(window.groupCaption().startsWith(QStringLiteral("Cancelled")));
    QCOMPARE(window.collectionsTable().model()->rowCount(), 0);
}

QTEST_MAIN(RichnessEstimatorsWindowTest)
#include "RichnessEstimatorsWindowTest.moc"
