// The import and export commands through a scripted Ui: what the user is
// shown, what the document holds afterwards, and the bytes written.

#include "TestDocument.h"
#include "document/TaxonTableModel.h"
#include "names/ImportExportCommands.h"
#include "store/StoreImport.h"
#include "textio/CommunityTable.h"
#include "textio/ImportMessages.h"

#include <QTest>
#include <algorithm>

using namespace quorvella;
using namespace quorvella::testing;

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The application's side: one current window at most, and new untitled
// documents on request.
struct TestApplication
{
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    std::vector<std::unique_ptr<TestDocument>> documents;
    int newDocuments = 0;
    ImportExportCommands commands{ImportExportCommands::Hooks{
        [this]() -> DocumentWindow * {
            return documents.empty() ? nullptr : documents.back()->window.get();
        },
        [this]() -> DocumentWindow * {
            ++newDocuments;
            documents.push_back(std::make_unique<TestDocument>());
            documents.back()->ui = ui;
            documents.back()->document().setUi(ui);
            return documents.back()->window.get();
        },
        ui}};

    TestDocument &openDocument()
    {
        documents.push_back(std::make_unique<TestDocument>());
        documents.back()->document().setUi(ui);
        return *documents.back();
    }
};

bool sameRecords(const Store &a, const Store &b)
{
    const std::vector<Census> censusesA = a.createArrayOfAllCensuses();
    const std::vector<Census> censusesB = b.createArrayOfAllCensuses();
    const std::vector<Taxon> taxaA = a.createArrayOfAllTaxa();
    const std::vector<Taxon> taxaB = b.createArrayOfAllTaxa();
    const auto same = [](const auto &x, const auto &y) {
        return x.id == y.id && x.sameAttributes(y);
    };
    return std::equal(censusesA.begin(), censusesA.end(), censusesB.begin(), censusesB.end(),
                      same) &&
           std::equal(taxaA.begin(), taxaA.end(), taxaB.begin(), taxaB.end(), same);
}

const QString importAlert = QStringLiteral("import");
const QString errorAlert = QStringLiteral("error");

} // namespace

class ImportExportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void importCommands_data();
    void importCommands();
    void importWithoutDocumentMakesOne_data();
    void importWithoutDocumentMakesOne();
    void importIsOneUndoStep();
    void cancelledImportChangesNothing();
    void importCommunityTable_data();
    void importCommunityTable();
    void exportCommands_data();
    void exportCommands();
    void exportFailures_data();
    void exportFailures();
    void exportThenImportGivesBackTheCollections();

private:
    QTemporaryDir m_dir;
};

void ImportExportTest::importCommands_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("records");
    QTest::addColumn<QString>("alert"); // "", import or error
    QTest::addColumn<QString>("alertText");

    const int list = int(ImportFormat::AbundanceList);
    const int table = int(ImportFormat::Collection);
    const int group = int(ImportFormat::CollectionGroup);
    QTest::newRow("abundance list")
        << list << QByteArray("3, 1\r\n4\n")
        << "imported census[unnamed species 1 3|unnamed species 2 1|unnamed species 3 4]"
        << ""
        << "";
    QTest::newRow("abundance list of separators only")
        << list << QByteArray(" \n\n") << "imported census[]"
        << ""
        << "";
    QTest::newRow("abundance list with zero") << list << QByteArray("3 0") << "" << importAlert
                                              << fromView(importmessages::zeroOrNegative);
    QTest::newRow("empty file") << list << QByteArray() << "" << importAlert
                                << fromView(importmessages::emptyFile);
    QTest::newRow("one collection")
        << table << QByteArray("Globigerina,12\r\n\"Orbulina, \"\"u\"\"\",3\r\n")
        << "imported census[Globigerina 12|Orbulina, \"u\" 3]"
        << ""
        << "";
    QTest::newRow("one collection with a third field")
        << table << QByteArray("a,1,2\n") << "" << importAlert
        << fromView(importmessages::taxonNameMissing);
    QTest::newRow("group of collections")
        << group << QByteArray("label,A,B,C\nS1,2,0,5\nS2,0,1,0\n") << "S1[A 2|C 5] S2[B 1]"
        << ""
        << "";
    QTest::newRow("group with too many abundances")
        << group << QByteArray("label,A\nS1,2,3\n") << "" << importAlert
        << fromView(importmessages::tooManyAbundances);
    QTest::newRow("not UTF-8") << table << QByteArray("ab\xff,1\n") << "" << errorAlert
                               << "The text is not valid UTF-8: the byte 0xFF at byte offset 2";
    QTest::newRow("UTF-8 names") << table << QByteArray("Globig\xc3\xa9rina,2\n")
                                 << QStringLiteral("imported census[Globigérina 2]") << ""
                                 << "";
}

void ImportExportTest::importCommands()
{
    QFETCH(int, format);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, records);
    QFETCH(QString, alert);
    QFETCH(QString, alertText);

    TestApplication app;
    TestDocument &target = app.openDocument();
    app.ui->openPaths.enqueue(writeFile(m_dir, QStringLiteral("import.txt"), bytes));

    const bool imported = app.commands.importClicked(static_cast<ImportFormat>(format));

    const QList<ScriptedUi::Event> panels = app.ui->eventsOf(ScriptedUi::Kind::OpenPanel);
    QCOMPARE(panels.size(), 1);
    QCOMPARE(panels.front().extensions,
             (QStringList{QStringLiteral("txt"), QStringLiteral("csv")}));
    QCOMPARE(imported, alert.isEmpty());
    QCOMPARE(describeRecords(target.document()), records);
    if (alert == importAlert) {
        const ScriptedUi::Event shown = app.ui->lastAlert();
        QCOMPARE(shown.kind, ScriptedUi::Kind::ImportAlert);
        QCOMPARE(shown.message, fromView(importmessages::alertMessage));
        QCOMPARE(shown.informativeText, alertText);
        QCOMPARE(shown.extensions, QStringList{QStringLiteral("importing")});
    } else if (alert == errorAlert) {
        QCOMPARE(app.ui->lastAlert().kind, ScriptedUi::Kind::ErrorAlert);
        QVERIFY2(app.ui->lastAlert().informativeText.contains(alertText),
                 qPrintable(app.ui->lastAlert().informativeText));
    } else {
        QVERIFY(app.ui->lastAlert().message.isEmpty());
    }
    QCOMPARE(app.newDocuments, 0);
}

void ImportExportTest::importWithoutDocumentMakesOne_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("newDocuments");
    QTest::addColumn<QStringList>("completion");
    QTest::addColumn<QString>("selected");

    QTest::newRow("a valid list") << int(ImportFormat::AbundanceList) << QByteArray("1 2") << 1
                                  << QStringList{QStringLiteral("unnamed species 1"),
                                                 QStringLiteral("unnamed species 2")}
                                  << "imported census";
    QTest::newRow("a group replaces the completion list")
        << int(ImportFormat::CollectionGroup) << QByteArray(" ,Orbulina,Globigerina\nS1,1,2\n") << 1
        << QStringList{QStringLiteral("Orbulina"), QStringLiteral("Globigerina")} << "";
    QTest::newRow("a group of only a header")
        << int(ImportFormat::CollectionGroup) << QByteArray("x,B,A\n") << 1
        << QStringList{QStringLiteral("B"), QStringLiteral("A")} << "";
    QTest::newRow("a faulty text makes no document")
        << int(ImportFormat::AbundanceList) << QByteArray("1.5") << 0 << QStringList{} << "";
}

void ImportExportTest::importWithoutDocumentMakesOne()
{
    QFETCH(int, format);
    QFETCH(QByteArray, bytes);
    QFETCH(int, newDocuments);
    QFETCH(QStringList, completion);
    QFETCH(QString, selected);

    TestApplication app;
    app.ui->openPaths.enqueue(writeFile(m_dir, QStringLiteral("new.csv"), bytes));
    app.commands.importClicked(static_cast<ImportFormat>(format));

    QCOMPARE(app.newDocuments, newDocuments);
    if (newDocuments > 0) {
        TestDocument &made = *app.documents.back();
        QCOMPARE(made.formatter().taxonNames(), completion);
        QCOMPARE(made.document().selectedCollectionName(), selected);
    }
}

void ImportExportTest::importIsOneUndoStep()
{
    TestApplication app;
    TestDocument &target = app.openDocument();
    target.document().addCollection();
    app.ui->openPaths.enqueue(
        writeFile(m_dir, QStringLiteral("group.csv"), "label,A,B\nS1,1,2\nS2,3,0\nS3,0,4\n"));
    QVERIFY(app.commands.importClicked(ImportFormat::CollectionGroup));
    QCOMPARE(target.document().createArrayOfAllCensuses().size(), std::size_t{4});

    target.document().undoStack().undo();
    QCOMPARE(target.document().createArrayOfAllCensuses().size(), std::size_t{1});
    QCOMPARE(target.document().createArrayOfAllTaxa().size(), std::size_t{0});
    target.document().undoStack().redo();
    QCOMPARE(describeRecords(target.document()),
             QStringLiteral("<none>[] S1[A 1|B 2] S2[A 3] S3[B 4]"));
}

void ImportExportTest::cancelledImportChangesNothing()
{
    TestApplication app;
    QVERIFY(!app.commands.importClicked(ImportFormat::Collection));
    QCOMPARE(app.newDocuments, 0);
    QCOMPARE(app.ui->events.size(), 1); // the open panel, nothing else
}

void ImportExportTest::importCommunityTable_data()
{
    using Options = std::optional<CommunityOptions>;
    QTest::addColumn<bool>("documentOpen");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Options>("answer"); // nothing: the dialog is cancelled
    QTest::addColumn<QString>("records");
    QTest::addColumn<QString>("alertText");

    const QByteArray table("# Constructed from biom file\n"
                           "#OTU ID\tS1\tS2\ttaxonomy\n"
                           "OTU_1\t3\t0\tk__Bacteria; p__Firmicutes\n"
                           "OTU_2\t0\t12\tk__Archaea\n");
    QTest::newRow("taxa as rows, taxonomy left out")
        << true << table << Options(CommunityOptions{true, false}) << "S1[OTU_1 3] S2[OTU_2 12]"
        << "";
    QTest::newRow("taxa named by their taxonomy, into a new document")
        << false << table << Options(CommunityOptions{true, true})
        << "S1[k__Bacteria; p__Firmicutes 3] S2[k__Archaea 12]"
        << "";
    QTest::newRow("samples as rows")
        << true << QByteArray("id\tA\tB\nSt 1\t2\t0\nSt 2\t1\t5\n")
        << Options(CommunityOptions{false, false}) << "St 1[A 2] St 2[A 1|B 5]"
        << "";
    QTest::newRow("a fault past the preview imports nothing and makes no document")
        << false << table + "OTU_3\t1\t-4\tk__Archaea\n"
        << Options(CommunityOptions{}) << ""
        << "Line 5, column 3: “-4” is negative; counts are whole numbers of 0 or more.";
    QTest::newRow("the dialog cancelled") << true << table << Options() << ""
                                          << "";
    // Large enough to be made on another thread and put in a slice at a time.
    QByteArray large("#OTU ID");
    for (int sample = 0; sample < 80; ++sample)
        large += "\tS" + QByteArray::number(sample);
    for (int taxon = 0; taxon < 1000; ++taxon) {
        large += "\nOTU_" + QByteArray::number(taxon % 997); // three names twice
        for (int sample = 0; sample < 80; ++sample)
            large += '\t' + QByteArray::number((taxon * sample + 1) % 7);
    }
    QTest::newRow("large, in slices") << true << large + '\n'
                                      << Options(CommunityOptions{}) << "*"
                                      << "";
}

void ImportExportTest::importCommunityTable()
{
    QFETCH(bool, documentOpen);
    QFETCH(QByteArray, bytes);
    QFETCH(std::optional<CommunityOptions>, answer);
    QFETCH(QString, records);
    QFETCH(QString, alertText);

    TestApplication app;
    if (documentOpen)
        app.openDocument();
    app.ui->openPaths.enqueue(writeFile(m_dir, QStringLiteral("table.tsv"), bytes));
    app.ui->communityOptionsAnswers.enqueue(answer);

    const bool imported = app.commands.importCommunityTable();

    QCOMPARE(imported, !records.isEmpty());
    QCOMPARE(app.ui->eventsOf(ScriptedUi::Kind::OpenPanel).front().extensions,
             (QStringList{QStringLiteral("tsv"), QStringLiteral("txt"), QStringLiteral("csv")}));
    QCOMPARE(app.ui->eventsOf(ScriptedUi::Kind::CommunityImport).front().message,
             QStringLiteral("table.tsv"));
    QCOMPARE(app.ui->lastAlert().informativeText, alertText);
    QCOMPARE(app.documents.size(), std::size_t(documentOpen || imported ? 1 : 0));
    if (app.documents.empty())
        return;
    MyDocument &document = app.documents.back()->document();
    if (records != u"*")
        QCOMPARE(describeRecords(document), records);
    if (imported) {
        // The same records, ids and completion list as the table read as
        // one value per cell and imported record by record.
        const CommunityReadResult read = readCommunityTable(bytes.toStdString(), *answer);
        Store expected;
        addCommunityGroupToMOC(expected, read.group);
        QVERIFY(sameRecords(document.store(), expected));
        QStringList completion;
        for (const std::string &name : read.group.completionNames)
            completion.append(QString::fromStdString(name));
        QCOMPARE(app.documents.back()->formatter().taxonNames(), completion);
        // The first new collection is selected, so its taxa show at once.
        QVERIFY(records.startsWith(document.selectedCollectionName() + u'[') ||
                (records == u"*" && document.selectedCollectionName() == u"S0"));
        const QString selected = document.selectedCollectionName();
        const int shownTaxa = document.taxonModel().rowCount();
        document.undoStack().undo();
        QVERIFY(document.isEmpty());
        // Redo brings back the records and what the user was looking at.
        document.undoStack().redo();
        QVERIFY(sameRecords(document.store(), expected));
        QCOMPARE(document.selectedCollectionName(), selected);
        QCOMPARE(document.taxonModel().rowCount(), shownTaxa);
    }
}

void ImportExportTest::exportCommands_data()
{
    QTest::addColumn<QByteArray>("imported"); // a collection group
    QTest::addColumn<int>("command");         // 0 one collection, 1 group, 2 metrics
    QTest::addColumn<QByteArray>("written");

    const QByteArray two("x,Globigerina,Orbulina\nS1,12,3\n");
    QTest::newRow("one collection") << two << 0 << QByteArray("Globigerina,12\rOrbulina,3\r");
    QTest::newRow("group of one") << QByteArray("x,A\nS1,7\n") << 1 << QByteArray(" , A\rS1,7\r");
    QTest::newRow("group") << QByteArray("x,A,B\nS1,2,0\nS2,1,4\n") << 1
                           << QByteArray(" , A, B\rS1,2,0\rS2,1,4\r");
    QTest::newRow("metrics never calculated")
        << QByteArray("x,A\nS1,7\n") << 2
        << QByteArray(" ,richness,sample size,Buzas-Gibson E,Chao-1,Hurlbert's PIE,Shannon's H,"
                      "Simpson's D,Peters' Ess,Pielou's J,Rarified Richness\r"
                      "S1,0,0,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,"
                      "0.000000\r");
}

void ImportExportTest::exportCommands()
{
    QFETCH(QByteArray, imported);
    QFETCH(int, command);
    QFETCH(QByteArray, written);

    TestApplication app;
    TestDocument &source = app.openDocument();
    app.ui->openPaths.enqueue(writeFile(m_dir, QStringLiteral("source.csv"), imported));
    QVERIFY(app.commands.importClicked(ImportFormat::CollectionGroup));
    source.document().selectMostRecentCollection();

    const QString target = m_dir.filePath(QStringLiteral("export%1").arg(command));
    app.ui->savePaths.enqueue(target);
    const std::array<void (ImportExportCommands::*)(), 3> commands{
        &ImportExportCommands::exportOneCollectionClicked,
        &ImportExportCommands::exportGroupOfCollectionsClicked,
        &ImportExportCommands::exportMetricsClicked};
    (app.commands.*commands.at(std::size_t(command)))();

    const QList<ScriptedUi::Event> panels = app.ui->eventsOf(ScriptedUi::Kind::SavePanel);
    QCOMPARE(panels.size(), 1);
    QCOMPARE(panels.front().extensions, QStringList{QStringLiteral("csv")});
    QCOMPARE(readFile(target + QStringLiteral(".csv")), written);
    QVERIFY(app.ui->lastAlert().message.isEmpty());
}

void ImportExportTest::exportFailures_data()
{
    QTest::addColumn<QByteArray>("imported"); // a collection group, or empty for none
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("savePath"); // empty: cancel the panel
    QTest::addColumn<int>("savePanels");
    QTest::addColumn<QString>("alertMessage");
    QTest::addColumn<QString>("alertText");

    const QString nothing = QStringLiteral("Export could not be performed.");
    const QString addData = QStringLiteral("Add collections and taxa.");
    const QString unsaved = QStringLiteral("The export could not be saved.");
    for (int command : {0, 1, 2}) {
        QTest::addRow("empty document, command %d", command)
            << QByteArray() << command << "out" << 0 << nothing << addData;
    }
    QTest::newRow("selected collection without taxa")
        << QByteArray("x,A\nS1,1\nS2,0\n") << 0 << "out" << 0 << nothing << addData;
    QTest::newRow("accented name")
        << QByteArray("x,Globig\xc3\xa9rina\nS1,1\n") << 1 << "out" << 0 << unsaved
        << QStringLiteral("The character “é” (U+00E9) in “ Globigérina” on line 1");
    QTest::newRow("cancelled panel") << QByteArray("x,A\nS1,1\n") << 1 << "" << 1 << ""
                                     << "";
    QTest::newRow("folder that does not exist")
        << QByteArray("x,A\nS1,1\n") << 1 << "missing/out" << 1 << unsaved << "missing";
}

void ImportExportTest::exportFailures()
{
    QFETCH(QByteArray, imported);
    QFETCH(int, command);
    QFETCH(QString, savePath);
    QFETCH(int, savePanels);
    QFETCH(QString, alertMessage);
    QFETCH(QString, alertText);

    TestApplication app;
    TestDocument &source = app.openDocument();
    if (!imported.isEmpty()) {
        app.ui->openPaths.enqueue(writeFile(m_dir, QStringLiteral("failing.csv"), imported));
        QVERIFY(app.commands.importClicked(ImportFormat::CollectionGroup));
        source.document().selectMostRecentCollection();
    }
    const QString target = m_dir.filePath(savePath);
    if (!savePath.isEmpty()) {
        app.ui->savePaths.enqueue(target);
    }
    const std::array<void (ImportExportCommands::*)(), 3> commands{
        &ImportExportCommands::exportOneCollectionClicked,
        &ImportExportCommands::exportGroupOfCollectionsClicked,
        &ImportExportCommands::exportMetricsClicked};
    (app.commands.*commands.at(std::size_t(command)))();

    QCOMPARE(app.ui->eventsOf(ScriptedUi::Kind::SavePanel).size(), savePanels);
    QCOMPARE(app.ui->lastAlert().message, alertMessage);
    QVERIFY2(app.ui->lastAlert().informativeText.contains(alertText),
             qPrintable(app.ui->lastAlert().informativeText));
    QVERIFY(!QFile::exists(target + QStringLiteral(".csv")));
}

void ImportExportTest::exportThenImportGivesBackTheCollections()
{
    const QByteArray group("label,Orbulina universa,Globigerina,Abies\n"
                           "S1,2,0,5\nS2,0,0,1\nS3,7,3,0\n");
    TestApplication app;
    TestDocument &first = app.openDocument();
    app.ui->openPaths.enqueue(writeFile(m_dir, QStringLiteral("round.csv"), group));
    QVERIFY(app.commands.importClicked(ImportFormat::CollectionGroup));
    first.document().selectMostRecentCollection();

    const QString groupFile = m_dir.filePath(QStringLiteral("round-group"));
    const QString oneFile = m_dir.filePath(QStringLiteral("round-one"));
    app.ui->savePaths << groupFile << oneFile;
    app.commands.exportGroupOfCollectionsClicked();
    app.commands.exportOneCollectionClicked();

    TestDocument &second = app.openDocument();
    app.ui->openPaths << groupFile + QStringLiteral(".csv") << oneFile + QStringLiteral(".csv");
    QVERIFY(app.commands.importClicked(ImportFormat::CollectionGroup));
    // Taxa come back in the sorted taxon order of the export.
    QCOMPARE(describeRecords(second.document()),
             QStringLiteral("S1[Abies 5|Orbulina universa 2] S2[Abies 1] "
                            "S3[Globigerina 3|Orbulina universa 7]"));
    QVERIFY(app.commands.importClicked(ImportFormat::Collection));
    QVERIFY(describeRecords(second.document())
                .endsWith(QStringLiteral("imported census[Orbulina universa 7|Globigerina 3]")));
}

QTEST_MAIN(ImportExportTest)
#include "ImportExportTest.moc"
