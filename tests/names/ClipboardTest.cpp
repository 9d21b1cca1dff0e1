// Copy and paste between the tables and spreadsheets, through the system
// clipboard of the offscreen platform and the real models: what a paste
// adds (or refuses, naming row and field), that it is one undo step, and the
// exact text a copy leaves for a spreadsheet.

#include "TestDocument.h"
#include "document/CensusTableModel.h"
#include "document/TaxonTableModel.h"
#include "names/TableClipboard.h"
#include "store/StoreImport.h"
#include "textio/ImportMessages.h"
#include "textio/ImportParsing.h"

#include <QApplication>
#include <QClipboard>
#include <QTableView>
#include <QTest>

using namespace quorvella;
using namespace quorvella::testing;

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A document holding S1 (Globigerina 2, Orbulina 5) and an empty S2.
void fill(MyDocument &document)
{
    document.importRecords(QStringLiteral("set up"), [](Store &store) {
        return addCollectionGroupToMOCFromString(store, ",Globigerina,Orbulina\nS1,2,5\nS2,0,0\n");
    });
    document.undoStack().clear();
}

void selectCollection(MyDocument &document, const QString &name)
{
    for (const Census &census : document.createArrayOfAllCensuses()) {
        if (census.censusName == name.toStdString()) {
            document.selectCollection(census.id);
        }
    }
}

void selectRows(QItemSelectionModel &selection, const QList<int> &rows)
{
    selection.clearSelection();
    for (const int row : rows) {
        selection.select(selection.model()->index(row, 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

// The names the abundance-list reader gives a column of two numbers.
QString unnamed(int index)
{
    return QString::fromStdString(
        parseAbundanceList("1 1").taxa.at(static_cast<std::size_t>(index)).name);
}

} // namespace

class ClipboardTest : public QObject
{
    Q_OBJECT

private slots:
    void paste_data();
    void paste();
    void pasteIsOneUndoStep();
    void copiedSpeciesPasteBackAsTheSameTaxa();
    void copiedCollectionsHaveHeaderAndStoredMeasures();
};

void ClipboardTest::paste_data()
{
    QTest::addColumn<bool>("intoSpecies");
    QTest::addColumn<QString>("selected"); // the selected collection
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("records");
    QTest::addColumn<QString>("alert"); // informative text; empty: no alert

    const auto s = [](const char *text) { return QString::fromUtf8(text); };
    const QString before = s("S1[Globigerina 2|Orbulina 5] S2[]");
    const QString s1 = s("S1[Globigerina 2|Orbulina 5] ");
    QTest::newRow("species, tab-separated")
        << true << s("S2") << s("Hastigerina\t7\r\nOrbulina\t1\r\n")
        << s1 + s("S2[Hastigerina 7|Orbulina 1]") << QString();
    QTest::newRow("species, semicolons")
        << true << s("S2") << s("a;1\nb;2") << s1 + s("S2[a 1|b 2]") << QString();
    QTest::newRow("species, commas, into a collection with taxa")
        << true << s("S1") << s("\"Orbulina, juv.\",4\n")
        << s("S1[Globigerina 2|Orbulina 5|Orbulina, juv. 4] S2[]") << QString();
    QTest::newRow("species, a lone column of numbers")
        << true << s("S2") << s("3\n8\n")
        << s1 + s("S2[") + unnamed(0) + s(" 3|") + unnamed(1) + s(" 8]") << QString();
    QTest::newRow("species, a decimal count in row 2")
        << true << s("S2") << s("a\t1\nb\t1.5\n") << before
        << s("Row 2, field 2: ") + fromView(importmessages::decimal);
    QTest::newRow("species, a name without count")
        << true << s("S2") << s("a\t1\nb\t1\nc\n") << before
        << s("Row 3, field 1: ") + fromView(importmessages::abundanceMissing);
    QTest::newRow("species, a word in a column of numbers")
        << true << s("S2") << s("3\nfour\n") << before
        << s("Row 2, field 1: ") + fromView(importmessages::notANumber);
    QTest::newRow("species, no collection selected")
        << true << QString() << s("a\t1\n") << before
        << s("Select the collection that is to receive them.");
    QTest::newRow("collections, a matrix block")
        << false << s("S1") << s("\tHastigerina\tOrbulina\nS3\t2\t0\nS4\t0\t1\n")
        << before + s(" S3[Hastigerina 2] S4[Orbulina 1]") << QString();
    QTest::newRow("collections, a row too long")
        << false << s("S1") << s("\tA\tB\nS3\t2\t0\nS4\t0\t1\t9\n") << before
        << s("Row 3, field 4: ") + fromView(importmessages::tooManyAbundances);
}

void ClipboardTest::paste()
{
    QFETCH(bool, intoSpecies);
    QFETCH(QString, selected);
    QFETCH(QString, clipboard);
    QFETCH(QString, records);
    QFETCH(QString, alert);

    TestDocument t;
    fill(t.document());
    selectCollection(t.document(), selected);
    if (selected.isEmpty()) {
        t.document().selectCollection(std::nullopt);
    }
    QApplication::clipboard()->setText(clipboard);
    (intoSpecies ? t.window->speciesTable() : t.window->censusTable())->setFocus();
    QCOMPARE(focusedTable(*t.window),
             intoSpecies ? ClipboardTable::Species : ClipboardTable::Collections);

    pasteFromClipboard(*t.window, *QApplication::clipboard());

    QCOMPARE(describeRecords(t.document()), records);
    QCOMPARE(t.ui->lastAlert().informativeText, alert);
    QCOMPARE(t.document().undoStack().count(), alert.isEmpty() ? 1 : 0);
}

void ClipboardTest::pasteIsOneUndoStep()
{
    TestDocument t;
    fill(t.document());
    selectCollection(t.document(), QStringLiteral("S2"));
    QVERIFY(pasteRows(*t.window, ClipboardTable::Species, "a,1\nb,2\nc,3\n"));
    QCOMPARE(t.document().taxonModel().rowCount(), 3);
    t.document().undoStack().undo();
    QCOMPARE(describeRecords(t.document()), QStringLiteral("S1[Globigerina 2|Orbulina 5] S2[]"));
    QCOMPARE(t.document().taxonModel().rowCount(), 0);
    t.document().undoStack().redo();
    QCOMPARE(describeRecords(t.document()),
             QStringLiteral("S1[Globigerina 2|Orbulina 5] S2[a 1|b 2|c 3]"));
}

void ClipboardTest::copiedSpeciesPasteBackAsTheSameTaxa()
{
    TestDocument t;
    fill(t.document());
    selectCollection(t.document(), QStringLiteral("S1"));
    // Names a spreadsheet must see as one cell each.
    t.document().setTaxonName(t.document().taxonModel().taxonAt(0), QStringLiteral("O; \"big\""));
    t.document().setTaxonName(t.document().taxonModel().taxonAt(1), QStringLiteral("G,\tb"));
    selectRows(t.document().taxonSelection(), {0, 1});
    t.window->speciesTable()->setFocus();
    copyToClipboard(*t.window, *QApplication::clipboard());
    // Display order: most abundant first.
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("\"O; \"\"big\"\"\"\t5\n\"G,\tb\"\t2\n"));

    selectCollection(t.document(), QStringLiteral("S2"));
    pasteFromClipboard(*t.window, *QApplication::clipboard());
    QCOMPARE(describeRecords(t.document()),
             QStringLiteral("S1[G,\tb 2|O; \"big\" 5] S2[O; \"big\" 5|G,\tb 2]"));
}

void ClipboardTest::copiedCollectionsHaveHeaderAndStoredMeasures()
{
    TestDocument t;
    fill(t.document());
    selectCollection(t.document(), QStringLiteral("S1"));
    t.document().calculateSampleMetrics();
    selectRows(t.document().censusSelection(), {0, 1});
    t.window->censusTable()->setFocus();
    copyToClipboard(*t.window, *QApplication::clipboard());

    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 4); // header, S1, S2, and nothing after the last line end
    QCOMPARE(lines[0], QStringLiteral("collection\trichness\tsample size\tBuzas-Gibson E\tChao-1\t"
                                      "Hurlbert's PIE\tShannon's H\tSimpson's D\tPeters' Ess\t"
                                      "Pielou's J\tRarified Richness"));
    // Richness 2 of 7 specimens; Shannon's H of (2, 5) is 0.598270.
    QVERIFY2(lines[1].startsWith(QStringLiteral("S1\t2\t7\t")), qPrintable(lines[1]));
    QCOMPARE(lines[1].split(QLatin1Char('\t')).value(6), QStringLiteral("0.598270"));
    // S2 has no stored measures: empty cells, not zeros.
    QCOMPARE(lines[2], QStringLiteral("S2") + QString(10, QLatin1Char('\t')));
    QCOMPARE(lines[3], QString());
}

QTEST_MAIN(ClipboardTest)
#include "ClipboardTest.moc"
