// The names layer's commands as the application's menus offer them: the
// imports work with no document open, the exports and species-list commands
// follow the current document, and every document window completes names
// and has the keyboard flow of its tables.

#include "AppTestSupport.h"
#include "names/CensusTableView.h"
#include "names/DocumentWindowNames.h"
#include "names/SpeciesTableView.h"
#include "names/TaxonFormatter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvella;
using namespace quorvella::test;

class NamesCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTestSettings(); }
    void menuEntries_data();
    void menuEntries();
    void everyWindowIsEquipped();
    void importWithNoDocumentOpen();
};

void NamesCommandsTest::menuEntries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabledWithoutTaxa");

    QTest::newRow("import list") << "importAbundanceListClicked" << true;
    QTest::newRow("import table") << "importOneCollectionClicked" << true;
    QTest::newRow("import group") << "importGroupOfCollectionsClicked" << true;
    QTest::newRow("export one") << "exportOneCollectionClicked" << false;
    QTest::newRow("export group") << "exportGroupOfCollectionsClicked" << false;
    QTest::newRow("export metrics") << "exportMetricsClicked" << false;
    QTest::newRow("update completion") << "updateAutocompletionListClicked" << false;
    QTest::newRow("species list") << "buildSpeciesListClicked" << false;
}

void NamesCommandsTest::menuEntries()
{
    QFETCH(QString, name);
    QFETCH(bool, enabledWithoutTaxa);

    App app;
    app->newDocument();
    QAction *action = app.action(name);
    QVERIFY(action != nullptr);
    QCOMPARE(action->isEnabled(), enabledWithoutTaxa);
    fill(*app->currentDocument(), 1, 1);
    QVERIFY(action->isEnabled());
}

void NamesCommandsTest::everyWindowIsEquipped()
{
    App app;
    DocumentWindow *window = app->newDocument();
    DocumentWindowNames *names = DocumentWindowNames::find(*window);
    QVERIFY(names != nullptr);
    QVERIFY(qobject_cast<SpeciesTableView *>(window->speciesTable()) != nullptr);
    QVERIFY(qobject_cast<CensusTableView *>(window->censusTable()) != nullptr);
}

void NamesCommandsTest::importWithNoDocumentOpen()
{
    App app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("group.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("label,Orbulina,Globigerina\nS1,2,0\nS2,1,4\n");
    file.close();
    app.ui->openPaths.enqueue(path);

    app.action(QStringLiteral("importGroupOfCollectionsClicked"))->trigger();

    QCOMPARE(app->documentWindows().size(), 1);
    MyDocument *document = app->currentDocument();
    QVERIFY(document != nullptr);
    QCOMPARE(document->createArrayOfAllCensuses().size(), std::size_t{2});
    QCOMPARE(DocumentWindowNames::find(*app->currentWindow())->theTaxonFormatter().taxonNames(),
             (QStringList{QStringLiteral("Orbulina"), QStringLiteral("Globigerina")}));
}

QTEST_MAIN(NamesCommandsTest)
#include "NamesCommandsTest.moc"
