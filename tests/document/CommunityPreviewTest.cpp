// What the community-table import dialog previews for each choice: the
// collections across, the taxa down, the counts as the import reads them.

#include "document/CommunityPreviewModel.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <string>

using namespace quorvella;

namespace {

const std::string pipelineTable = "# Constructed from biom file\n"
                                  "#OTU ID\tS1\tS2\ttaxonomy\n"
                                  "OTU_1\t3\t0\tk__Bacteria; p__Firmicutes\n"
                                  "OTU_2\t0\t12\tk__Bacteria; p__Proteobacteria\n"
                                  "OTU_3\t1\t007\tk__Archaea\n";

// "S1 S2 / OTU_1: 3,. / OTU_2: .,12": column headers, then each row's header
// and cells ("." for an empty cell).
QString describe(const CommunityPreviewModel &model)
{
    QStringList columns;
    for (int c = 0; c < model.columnCount(); ++c)
        columns << model.headerData(c, Qt::Horizontal).toString();
    QStringList lines{columns.join(u' ')};
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            const QString cell = model.data(model.index(r, c)).toString();
            cells << (cell.isEmpty() ? QStringLiteral(".") : cell);
        }
        lines << model.headerData(r, Qt::Vertical).toString() + QStringLiteral(": ") +
                     cells.join(u',');
    }
    return lines.join(QStringLiteral(" / "));
}

std::string wideTable(int samples, int taxa)
{
    std::string text = "id";
    for (int s = 0; s < samples; ++s)
        text += "\tS" + std::to_string(s);
    for (int t = 0; t < taxa; ++t) {
        text += "\nT" + std::to_string(t);
        for (int s = 0; s < samples; ++s)
            text += "\t" + std::to_string(s + t);
    }
    return text + "\n";
}

} // namespace

class CommunityPreviewTest : public QObject
{
    Q_OBJECT

private slots:
    void preview_data();
    void preview();
    void cornerOfALargeTable();
};

void CommunityPreviewTest::preview_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("taxaAsRows");
    QTest::addColumn<bool>("namesFromText");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("textColumn");
    QTest::addColumn<QString>("fault");

    const QByteArray table = QByteArray::fromStdString(pipelineTable);
    QTest::newRow("taxa as rows, taxonomy left out")
        << table << true << false << "S1 S2 / OTU_1: 3,. / OTU_2: .,12 / OTU_3: 1,7"
        << "taxonomy"
        << "";
    QTest::newRow("taxa named by their taxonomy")
        << table << true << true
        << "S1 S2 / k__Bacteria; p__Firmicutes: 3,. / k__Bacteria; p__Proteobacteria: .,12 / "
           "k__Archaea: 1,7"
        << "taxonomy"
        << "";
    QTest::newRow("samples as rows: the rows become collections")
        << table << false << false << "OTU_1 OTU_2 OTU_3 / S1: 3,.,1 / S2: .,12,7"
        << "taxonomy"
        << "";
    QTest::newRow("a transposed table's text column names no taxa")
        << table << false << true << "OTU_1 OTU_2 OTU_3 / S1: 3,.,1 / S2: .,12,7"
        << "taxonomy"
        << "";
    QTest::newRow("comma-separated, samples as rows")
        << QByteArray("label,Orbulina,Globigerina\nSt 1,2,\nSt 2,0,5\n") << false << false
        << "St 1 St 2 / Orbulina: 2,. / Globigerina: .,5"
        << ""
        << "";
    QTest::newRow("a fault in the previewed lines is named and its cell shown")
        << QByteArray("#OTU ID\tS1\tS2\nOTU_1\t3\t0\nOTU_2\t0\t2.5\n") << true << false
        << "S1 S2 / OTU_1: 3,. / OTU_2: .,2.5"
        << ""
        << "Line 3, column 3: “2.5” is not a whole number; counts are whole numbers of 0 or more.";
    QTest::newRow("names from a text column the table lacks")
        << QByteArray("id\tS1\tS2\nT1\t1\t2\n") << true << true << "S1 S2"
        << ""
        << "Line 1, column 3: the table has no text column to name the taxa by.";
    QTest::newRow("only comments") << QByteArray("# nothing here\n") << true << false << ""
                                   << ""
                                   << "Line 2, column 1: the table has no header line.";
}

void CommunityPreviewTest::preview()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, taxaAsRows);
    QFETCH(bool, namesFromText);
    QFETCH(QString, shown);
    QFETCH(QString, textColumn);
    QFETCH(QString, fault);

    const std::string bytes = text.toStdString();
    CommunityPreviewModel model(bytes);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setOptions({taxaAsRows, namesFromText});

    QCOMPARE(describe(model), shown);
    QCOMPARE(model.textColumn(), textColumn);
    QCOMPARE(model.fault(), fault);
    QCOMPARE(model.options().taxaAsRows, taxaAsRows);
    QCOMPARE(model.options().namesFromTextColumn, namesFromText && taxaAsRows);
}

void CommunityPreviewTest::cornerOfALargeTable()
{
    const std::string table = wideTable(30, 40);
    CommunityPreviewModel model(table);
    QCOMPARE(model.columnCount(), CommunityPreviewModel::shownCollections);
    QCOMPARE(model.rowCount(), CommunityPreviewModel::shownTaxa);
    QCOMPARE(model.data(model.index(11, 7)).toString(), QStringLiteral("18"));

    model.setOptions({false, false});
    QCOMPARE(model.columnCount(), CommunityPreviewModel::shownCollections); // T0..T7
    QCOMPARE(model.rowCount(), CommunityPreviewModel::shownTaxa);           // S0..S11
    QCOMPARE(model.headerData(7, Qt::Horizontal).toString(), QStringLiteral("T7"));
    QCOMPARE(model.data(model.index(11, 7)).toString(), QStringLiteral("18"));
}

QTEST_MAIN(CommunityPreviewTest)
#include "CommunityPreviewTest.moc"
