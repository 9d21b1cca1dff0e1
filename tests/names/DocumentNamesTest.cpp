// The names layer on a real document window: the completion list and its
// three sources, typing a collection's taxa with the keyboard only, the
// species-list window, and files dropped on the window.

#include "TestDocument.h"
#include "names/DocumentTexts.h"
#include "names/ImportExportCommands.h"
#include "names/SpeciesTableView.h"
#include "names/TaxonListController.h"
#include "names/TaxonNameEditor.h"
#include "store/StoreImport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>

using namespace quorvella;
using namespace quorvella::testing;

namespace {

void importGroup(MyDocument &document, const char *text)
{
    document.importRecords(QStringLiteral("Import"), [text](Store &store) {
        return addCollectionGroupToMOCFromString(store, text);
    });
}

RecordId firstTaxonNamed(const MyDocument &document, const std::string &name)
{
    for (const Taxon &taxon : document.createArrayOfAllTaxa()) {
        if (taxon.taxonName == name) {
            return taxon.id;
        }
    }
    return 0;
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts) {
        list << QString::fromUtf8(text);
    }
    return list;
}

} // namespace

class DocumentNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void windowOpensWithTheDocumentsNames();
    void namesTypedLaterJoinTheList();
    void largeDocumentsNamesArriveOverTurns_data();
    void largeDocumentsNamesArriveOverTurns();
    void setSpeciesList_data();
    void setSpeciesList();
    void updateReplacesAFileList();
    void typingACollectionWithoutTheMouse();
    void typingRecordsIntoResortingTables_data();
    void typingRecordsIntoResortingTables();
    void speciesListWindow_data();
    void speciesListWindow();
    void eachSpeciesListHasItsOwnWindow();
    void droppedFileIsImported_data();
    void droppedFileIsImported();

private:
    QTemporaryDir m_dir;
};

void DocumentNamesTest::windowOpensWithTheDocumentsNames()
{
    auto *document = new MyDocument;
    importGroup(*document, "x,Orbulina universa,globigerina bulloides\nS1,1,2\nS2,3,0\n");
    DocumentWindow window(document);
    DocumentWindowNames *names = DocumentWindowNames::attach(window);
    QCOMPARE(DocumentWindowNames::attach(window), names);
    QCOMPARE(names->theTaxonFormatter().taxonNames(),
             strings({"globigerina bulloides", "Orbulina universa"}));
}

void DocumentNamesTest::namesTypedLaterJoinTheList()
{
    TestDocument test;
    importGroup(test.document(), "x,Abies,Pinus\nS1,1,2\n");
    test.formatter().setListOfTaxonNamesFromList(strings({"Abies", "Pinus"}));

    QVERIFY(test.document().setTaxonName(firstTaxonNamed(test.document(), "Pinus"),
                                         QStringLiteral("Picea")));
    QCOMPARE(test.formatter().taxonNames(), strings({"Abies", "Pinus", "Picea"}));
    // Undo brings the old name back; it is in the list already.
    test.document().undoStack().undo();
    QCOMPARE(test.formatter().taxonNames(), strings({"Abies", "Pinus", "Picea"}));
}

void DocumentNamesTest::largeDocumentsNamesArriveOverTurns_data()
{
    QTest::addColumn<bool>("whileSorting"); // false: while the names are read
    QTest::addColumn<QString>("action");    // "rename", "set list" or "close"
    QTest::newRow("rename while reading") << false << "rename";
    QTest::newRow("rename while sorting") << true << "rename";
    QTest::newRow("list set while reading") << false << "set list";
    QTest::newRow("list set while sorting") << true << "set list";
    QTest::newRow("closed while sorting") << true << "close";
}

void DocumentNamesTest::largeDocumentsNamesArriveOverTurns()
{
    QFETCH(bool, whileSorting);
    QFETCH(QString, action);
    // Two collections sharing more names than the window reads at once.
    const int species = static_cast<int>(DocumentWindowNames::gatherAtOnceTaxa / 2) + 1;
    std::string text = "x";
    for (int s = 0; s < species; ++s) {
        text += ",T" + std::to_string(s);
    }
    for (const char *row : {"\nS1", "\nS2"}) {
        text += row;
        for (int s = 0; s < species; ++s) {
            text += ",1";
        }
    }
    QPointer<MyDocument> document = new MyDocument;
    importGroup(*document, text.c_str());
    auto window = std::make_unique<DocumentWindow>(document);
    DocumentWindowNames *names = DocumentWindowNames::attach(*window);
    TaxonFormatter &formatter = names->theTaxonFormatter();
    QVERIFY(formatter.taxonNames().isEmpty());
    QVERIFY(names->isGatheringNames());
    if (whileSorting) { // the result comes back in a later turn than this
        QTRY_VERIFY_WITH_TIMEOUT(names->isSortingNames(), 30000);
    }

    if (action == QLatin1String("close")) {
        window.reset();
        QTRY_VERIFY(document.isNull());
        QTest::qWait(200); // the sort's result has nowhere to go
        return;
    }
    if (action == QLatin1String("set list")) {
        names->setCompletionList(strings({"Mine"}));
    } else {
        // A rename meanwhile is in the list they make.
        QVERIFY(document->setTaxonName(firstTaxonNamed(*document, "T7"), QStringLiteral("Abies")));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!names->isGatheringNames(), 30000);
    QTest::qWait(50);
    if (action == QLatin1String("set list")) {
        QCOMPARE(formatter.taxonNames(), strings({"Mine"}));
        return;
    }
    QCOMPARE(formatter.taxonNames().size(), species + 1);
    QCOMPARE(formatter.taxonNames(), *documentTaxonNames(*document));
    QCOMPARE(formatter.taxonNames().front(), QStringLiteral("Abies"));
}

void DocumentNamesTest::setSpeciesList_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: cancel the panel
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("alerted");

    const QStringList before = strings({"Before"});
    QTest::newRow("line feeds") << QByteArray("Orbulina universa\nGloborotalia menardii\n")
                                << strings({"Orbulina universa", "Globorotalia menardii"}) << false;
    QTest::newRow("comma and space")
        << QByteArray("Orbulina universa, Globorotalia menardii")
        << strings({"Orbulina universa", " Globorotalia menardii"}) << false;
    QTest::newRow("byte-order mark and CR") << QByteArray("\xef\xbb\xbf"
                                                          "A\rB\r")
                                            << strings({"A", "B"}) << false;
    QTest::newRow("empty file empties the list") << QByteArray("\n") << QStringList{} << false;
    QTest::newRow("not UTF-8 keeps the list") << QByteArray("A\n\xfe\n") << before << true;
    QTest::newRow("cancelled") << QByteArray() << before << false;
}

void DocumentNamesTest::setSpeciesList()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, names);
    QFETCH(bool, alerted);

    TestDocument test;
    test.formatter().setListOfTaxonNamesFromList(strings({"Before"}));
    if (!file.isEmpty()) {
        test.ui->openPaths.enqueue(writeFile(m_dir, QStringLiteral("species.txt"), file));
    }
    test.window->action(ToolbarItem::TaxonList)->trigger();

    QCOMPARE(test.ui->eventsOf(ScriptedUi::Kind::OpenPanel).front().extensions,
             strings({"txt", "csv"}));
    QCOMPARE(test.formatter().taxonNames(), names);
    QCOMPARE(test.ui->eventsOf(ScriptedUi::Kind::ErrorAlert).size(), alerted ? 1 : 0);
}

void DocumentNamesTest::updateReplacesAFileList()
{
    TestDocument test;
    importGroup(test.document(), "x,Pinus,abies\nS1,1,2\n");
    test.ui->openPaths.enqueue(writeFile(m_dir, QStringLiteral("list.txt"), "Zea\nAcer\n"));
    test.window->action(ToolbarItem::TaxonList)->trigger();
    QCOMPARE(test.formatter().taxonNames(), strings({"Zea", "Acer"}));

    ImportExportCommands commands(
        {[&] { return test.window.get(); }, [] { return nullptr; }, test.ui});
    commands.updateAutocompletionListClicked();
    QCOMPARE(test.formatter().taxonNames(), strings({"abies", "Pinus"}));
}

// Name, Tab, abundance, Tab, next name: the names complete as they are typed.
void DocumentNamesTest::typingACollectionWithoutTheMouse()
{
    TestDocument test;
    test.formatter().setListOfTaxonNamesFromList(
        strings({"Globigerina bulloides", "Globigerinoides ruber"}));
    test.window->show();
    test.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(test.window.get()));

    test.document().addCollection();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("S1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    test.window->action(ToolbarItem::AddTaxon)->trigger();

    const auto type = [](const QString &keys) {
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, keys);
        QTest::keyClick(editor, Qt::Key_Tab);
    };
    QVERIFY(qobject_cast<TaxonNameEditor *>(QApplication::focusWidget()) != nullptr);
    type(QStringLiteral("glob"));
    type(QStringLiteral("12"));
    QVERIFY(qobject_cast<TaxonNameEditor *>(QApplication::focusWidget()) != nullptr);
    type(QStringLiteral("globigerino"));
    type(QStringLiteral("3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    QCOMPARE(describeRecords(test.document()),
             QStringLiteral("S1[Globigerina bulloides 12|Globigerinoides ruber 3|<none> -]"));
}

void DocumentNamesTest::typingRecordsIntoResortingTables_data()
{
    QTest::addColumn<QString>("document"); // empty: a new document
    QTest::newRow("new document") << QString();
    QTest::newRow("example document")
        << QStringLiteral(QUORVELLA_SOURCE_DIR "/resources/examples/forams.qvl");
}

// Both tables re-sort on every commit (collections by name, taxa by abundance
// and name), so each Tab below moves the edited record away from the row it
// was typed in. Tab must follow the record: the typed records are exactly
// what the document gains, and nothing else changes.
void DocumentNamesTest::typingRecordsIntoResortingTables()
{
    QFETCH(QString, document);
    auto *opened = new MyDocument;
    opened->setUi(std::make_shared<ScriptedUi>());
    if (!document.isEmpty()) {
        const QString copy = m_dir.filePath(QStringLiteral("typed.qvl"));
        QFile::remove(copy);
        QVERIFY(QFile::copy(document, copy));
        QVERIFY(opened->open(copy));
    }
    DocumentWindow window(opened);
    DocumentWindowNames::attach(window);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QString before = describeRecords(*opened);

    const auto type = [](const QString &keys, Qt::Key key) {
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(qobject_cast<QLineEdit *>(editor) != nullptr);
        QTest::keyClicks(editor, keys);
        QTest::keyClick(editor, key);
        QApplication::processEvents();
    };
    window.action(ToolbarItem::AddCollection)->trigger();
    type(QStringLiteral("QV14-100 cm"), Qt::Key_Tab);
    type(QStringLiteral("QV14-050 cm"), Qt::Key_Tab);
    type(QStringLiteral("QV14-200 cm"), Qt::Key_Return);
    QCOMPARE(opened->selectedCollectionName(), QStringLiteral("QV14-200 cm"));

    // A named taxon left without an abundance sorts below the typed ones.
    window.action(ToolbarItem::AddTaxon)->trigger();
    type(QStringLiteral("Zz"), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    window.action(ToolbarItem::AddTaxon)->trigger();
    type(QStringLiteral("Beta"), Qt::Key_Tab);
    type(QStringLiteral("5"), Qt::Key_Tab);
    type(QStringLiteral("Alpha"), Qt::Key_Tab);
    type(QStringLiteral("9"), Qt::Key_Tab);
    type(QStringLiteral("Gamma"), Qt::Key_Tab);
    type(QStringLiteral("7"), Qt::Key_Return);

    const QString typed =
        QStringLiteral("QV14-100 cm[] QV14-050 cm[] QV14-200 cm[Zz -|Beta 5|Alpha 9|Gamma 7]");
    QCOMPARE(describeRecords(*opened),
             before.isEmpty() ? typed : before + QLatin1Char(' ') + typed);
}

void DocumentNamesTest::speciesListWindow_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QString>("text"); // the window's text; empty: no window
    QTest::addColumn<QString>("alert");

    QTest::newRow("sorted without regard to case")
        << QByteArray("x,Orbulina universa,globigerina bulloides\nS1,1,2\nS2,3,4\n")
        << "globigerina bulloides\nOrbulina universa\n"
        << "";
    QTest::newRow("two cases are two names")
        << QByteArray("x,Abies,abies\nS1,1,2\n") << "Abies\nabies\n"
        << "";
    QTest::newRow("accented name cannot be saved")
        << QByteArray("x,Globig\xc3\xa9rina\nS1,1\n") << QStringLiteral("Globigérina\n")
        << "The species list could not be saved.";
    QTest::newRow("no taxa") << QByteArray("x\nS1\n") << ""
                             << "Species list could not be generated";
}

void DocumentNamesTest::speciesListWindow()
{
    QFETCH(QByteArray, group);
    QFETCH(QString, text);
    QFETCH(QString, alert);

    TestDocument test;
    importGroup(test.document(), group.constData());
    ImportExportCommands commands(
        {[&] { return test.window.get(); }, [] { return nullptr; }, test.ui});
    commands.buildSpeciesListClicked();

    TaxonListController *list = commands.taxonListController();
    QCOMPARE(list != nullptr, !text.isEmpty());
    if (list != nullptr) {
        QCOMPARE(list->taxonListAsString(), text);
        QCOMPARE(list->taxonListTextView()->toPlainText(), text);
        const QString target = m_dir.filePath(QStringLiteral("species-list"));
        test.ui->savePaths.enqueue(target);
        QCOMPARE(list->saveTextFile(), alert.isEmpty());
        QCOMPARE(test.ui->eventsOf(ScriptedUi::Kind::SavePanel).front().extensions,
                 strings({"txt"}));
        QCOMPARE(readFile(target + QStringLiteral(".txt")),
                 alert.isEmpty() ? text.toUtf8() : QByteArray("<missing>"));
        QVERIFY(list->isVisible());
        QFile::remove(target + QStringLiteral(".txt"));
    }
    QCOMPARE(test.ui->lastAlert().message, alert);
}

void DocumentNamesTest::eachSpeciesListHasItsOwnWindow()
{
    TestDocument test;
    importGroup(test.document(), "x,Abies\nS1,1\n");
    ImportExportCommands commands(
        {[&] { return test.window.get(); }, [] { return nullptr; }, test.ui});
    commands.buildSpeciesListClicked();
    const QPointer<TaxonListController> first = commands.taxonListController();
    importGroup(test.document(), "x,Pinus\nS2,1\n");
    commands.buildSpeciesListClicked();
    const QPointer<TaxonListController> second = commands.taxonListController();

    QVERIFY(first && second && first != second);
    QVERIFY(first->isVisible() && second->isVisible());
    QCOMPARE(first->taxonListAsString(), QStringLiteral("Abies\n"));
    QCOMPARE(second->taxonListAsString(), QStringLiteral("Abies\nPinus\n"));
    second->close();
    QTRY_VERIFY(second.isNull()); // a closed list window goes away
    QCOMPARE(commands.taxonListController(), first.data());
}

void DocumentNamesTest::droppedFileIsImported_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("choice"); // -1: cancel
    QTest::addColumn<QString>("records");

    QTest::newRow("abundance list")
        << "drop.txt" << 0 << "imported census[unnamed species 1 2|unnamed species 2 5]";
    // One column read as a matrix names no species: refused, nothing imported.
    QTest::newRow("group") << "drop.CSV" << 2 << "";
    QTest::newRow("cancelled") << "drop.csv" << -1 << "";
    QTest::newRow("other extensions are not taken") << "drop.dat" << 0 << "";
}

void DocumentNamesTest::droppedFileIsImported()
{
    QFETCH(QString, fileName);
    QFETCH(int, choice);
    QFETCH(QString, records);

    TestDocument test;
    const QString path = writeFile(m_dir, fileName, "2\n5\n");
    test.ui->choiceAnswers.enqueue(choice);
    test.window->show();

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint inside(5, 5);
    QDragEnterEvent enter(inside, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(test.window.get(), &enter);
    QCOMPARE(enter.isAccepted(), !fileName.endsWith(QStringLiteral(".dat")));
    QDropEvent drop(QPointF(inside), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(test.window.get(), &drop);
    QApplication::processEvents();

    QCOMPARE(describeRecords(test.document()), records);
}

QTEST_MAIN(DocumentNamesTest)
#include "DocumentNamesTest.moc"
