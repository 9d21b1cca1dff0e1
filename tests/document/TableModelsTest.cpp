#include "DocumentFixtures.h"
#include "TestSettings.h"
#include "document/CensusTableModel.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "document/TaxonTableModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace quorvella;
using namespace quorvella::testing;
using namespace Qt::StringLiterals;

namespace {

struct Fixture
{
    MyDocument document;
    QAbstractItemModelTester censusTester{&document.censusModel(),
                                          QAbstractItemModelTester::FailureReportingMode::QtTest};
    QAbstractItemModelTester taxonTester{&document.taxonModel(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest};
    Fixture() { document.setUi(std::make_shared<ScriptedUi>()); }
};

// The model's rows must equal the store's records sorted by display order.
bool censusRowsSorted(MyDocument &document)
{
    std::vector<Census> all = document.createArrayOfAllCensuses();
    std::stable_sort(all.begin(), all.end(), censusDisplayLess);
    CensusTableModel &model = document.censusModel();
    if (static_cast<int>(all.size()) != model.rowCount())
        return false;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (model.censusAt(static_cast<int>(i)) != all[i].id)
            return false;
    }
    return true;
}

bool taxonRowsSorted(MyDocument &document)
{
    const std::optional<RecordId> census = document.selectedCollection();
    std::vector<Taxon> taxa =
        census ? document.store().taxaOfCensus(*census) : std::vector<Taxon>{};
    std::sort(taxa.begin(), taxa.end(), taxonDisplayLess);
    TaxonTableModel &model = document.taxonModel();
    if (static_cast<int>(taxa.size()) != model.rowCount())
        return false;
    for (std::size_t i = 0; i < taxa.size(); ++i) {
        if (model.taxonAt(static_cast<int>(i)) != taxa[i].id)
            return false;
    }
    return true;
}

} // namespace

class TableModelsTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { isolateSettings(); }

    void collectionsAreListedByNameCaseSensitively_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("capitals first")
            << QStringList{u"b"_s, u"A"_s, u"a"_s} << QStringList{u"A"_s, u"a"_s, u"b"_s};
        QTest::newRow("B before a") << QStringList{u"a"_s, u"B"_s} << QStringList{u"B"_s, u"a"_s};
        QTest::newRow("equal names keep store order")
            << QStringList{u"x"_s, u"m"_s, u"x"_s} << QStringList{u"m"_s, u"x"_s, u"x"_s};
        QTest::newRow("digits before letters")
            << QStringList{u"S2"_s, u"S10"_s, u"A"_s} << QStringList{u"A"_s, u"S10"_s, u"S2"_s};
    }
    void collectionsAreListedByNameCaseSensitively()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        Fixture f;
        for (const QString &name : names)
            addCensus(f.document.store(), name.toStdString());
        QCOMPARE(columnTexts(f.document.censusModel(), CensusTableModel::NameColumn), expected);
    }

    void unnamedCollectionComesFirst()
    {
        Fixture f;
        addCensus(f.document.store(), "a");
        addCensus(f.document.store(), std::nullopt);
        QCOMPARE(columnTexts(f.document.censusModel(), 0), (QStringList{QString(), u"a"_s}));
    }

    void taxaAreListedByAbundanceThenName_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("abundances"); // -1: no abundance
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("equal abundance by name without case")
            << QStringList{u"betula"_s, u"Abies"_s} << QList<int>{5, 5}
            << QStringList{u"Abies"_s, u"betula"_s};
        QTest::newRow("abundance wins over name")
            << QStringList{u"a"_s, u"z"_s} << QList<int>{3, 12} << QStringList{u"z"_s, u"a"_s};
        QTest::newRow("numbers, not text")
            << QStringList{u"x"_s, u"y"_s, u"z"_s} << QList<int>{9, 10, 100}
            << QStringList{u"z"_s, u"y"_s, u"x"_s};
        QTest::newRow("no abundance last") << QStringList{u"none"_s, u"zero"_s} << QList<int>{-1, 0}
                                           << QStringList{u"zero"_s, u"none"_s};
    }
    void taxaAreListedByAbundanceThenName()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<int>, abundances);
        QFETCH(QStringList, expected);
        Fixture f;
        const RecordId census = addCensus(f.document.store(), "c");
        for (qsizetype i = 0; i < names.size(); ++i) {
            Taxon taxon;
            taxon.taxonName = names[i].toStdString();
            if (abundances[i] >= 0)
                taxon.abundance = abundances[i];
            taxon.census = census;
            f.document.store().insertTaxon(taxon);
        }
        f.document.selectCollection(census);
        QCOMPARE(columnTexts(f.document.taxonModel(), TaxonTableModel::NameColumn), expected);
    }

    void rolesExposeNumbersAndFlags()
    {
        Fixture f;
        const RecordId census = addCensus(f.document.store(), "c",
                                          {{"Abies", 12, true}, {"Betula", std::nullopt, false}});
        f.document.selectCollection(census);
        const TaxonTableModel &model = f.document.taxonModel();
        QCOMPARE(model.index(0, TaxonTableModel::AbundanceColumn).data(TaxonTableModel::NumberRole),
                 QVariant(12));
        QCOMPARE(model.index(0, TaxonTableModel::AbundanceColumn).data().toString(),
                 QStringLiteral("12"));
        QVERIFY(!model.index(1, TaxonTableModel::AbundanceColumn)
                     .data(TaxonTableModel::NumberRole)
                     .isValid());
        QCOMPARE(model.index(0, TaxonTableModel::IncludeColumn).data(Qt::CheckStateRole).toInt(),
                 int(Qt::Checked));
        QCOMPARE(model.index(1, TaxonTableModel::IncludeColumn).data(Qt::CheckStateRole).toInt(),
                 int(Qt::Unchecked));
        QVERIFY(model.flags(model.index(0, TaxonTableModel::IncludeColumn)) &
                Qt::ItemIsUserCheckable);
        QVERIFY(model.flags(model.index(0, TaxonTableModel::AbundanceColumn)) & Qt::ItemIsEditable);
    }

    // Every kind of change, checked by the model tester and against the
    // store's order after each step.
    void modelsFollowEveryChange()
    {
        Fixture f;
        MyDocument &doc = f.document;
        const RecordId b = addCensus(doc.store(), "b", {{"x", 1}, {"y", 2}});
        addCensus(doc.store(), "d");
        doc.selectCollection(b);
        QVERIFY(censusRowsSorted(doc) && taxonRowsSorted(doc));

        doc.addCollection();
        QVERIFY(censusRowsSorted(doc));
        doc.setCensusName(*doc.selectedCollection(), QStringLiteral("c"));
        QVERIFY(censusRowsSorted(doc));
        doc.setCensusName(*doc.selectedCollection(), QStringLiteral("z"));
        QVERIFY(censusRowsSorted(doc));
        QCOMPARE(doc.selectedCollectionName(), QStringLiteral("z"));

        doc.selectCollection(b);
        const RecordId x = doc.taxonModel().taxonAt(1);
        doc.setTaxonAbundanceText(x, QStringLiteral("50"));
        QVERIFY(taxonRowsSorted(doc));
        QCOMPARE(doc.taxonModel().taxonAt(0), x);
        doc.setTaxonName(x, QStringLiteral("A"));
        doc.setTaxonAbundanceText(x, QString());
        QVERIFY(taxonRowsSorted(doc));
        QCOMPARE(doc.taxonModel().taxonAt(doc.taxonModel().rowCount() - 1), x);

        doc.addTaxon();
        doc.addTaxon();
        QVERIFY(taxonRowsSorted(doc));
        doc.taxonSelection().select(doc.taxonModel().index(0, 0),
                                    QItemSelectionModel::ClearAndSelect |
                                        QItemSelectionModel::Rows);
        doc.deleteTaxon();
        QVERIFY(taxonRowsSorted(doc));

        while (doc.undoStack().canUndo()) {
            doc.undoStack().undo();
            QVERIFY(censusRowsSorted(doc));
            QVERIFY(taxonRowsSorted(doc));
        }
        while (doc.undoStack().canRedo()) {
            doc.undoStack().redo();
            QVERIFY(censusRowsSorted(doc));
            QVERIFY(taxonRowsSorted(doc));
        }
    }

    void largeImportResetsAndKeepsSelection()
    {
        Fixture f;
        MyDocument &doc = f.document;
        const RecordId kept = addCensus(doc.store(), "m", {{"t", 1}});
        doc.selectCollection(kept);
        doc.importRecords(QStringLiteral("Import"), [](Store &store) {
            for (int i = 0; i < 500; ++i)
                addCensus(store, "c" + std::to_string(i), {{"a", i}});
            return 0;
        });
        QCOMPARE(doc.censusModel().rowCount(), 501);
        QVERIFY(censusRowsSorted(doc));
        QCOMPARE(doc.selectedCollection(), std::optional<RecordId>(kept));
        QCOMPARE(doc.taxonModel().rowCount(), 1);
        doc.undoStack().undo();
        QCOMPARE(doc.censusModel().rowCount(), 1);
    }

    void undoingTheImportOfTheShownCollectionEmptiesTheSpeciesTable()
    {
        Fixture f;
        MyDocument &doc = f.document;
        doc.importRecords(u"Import"_s, [](Store &store) {
            for (int i = 0; i < 300; ++i)
                addCensus(store, "c" + std::to_string(i), {{"a", i}});
            return 0;
        });
        doc.selectMostRecentCollection();
        QCOMPARE(doc.taxonModel().rowCount(), 1);
        QSignalSpy changed(&doc, &MyDocument::selectedCollectionChanged);
        doc.undoStack().undo();
        QCOMPARE(doc.censusModel().rowCount(), 0);
        QVERIFY(!doc.selectedCollection());
        QVERIFY(!doc.taxonModel().census());
        QCOMPARE(doc.taxonModel().rowCount(), 0);
        QCOMPARE(changed.count(), 1);
    }

    void deletingTheShownCollectionEmptiesTheSpeciesTable()
    {
        Fixture f;
        MyDocument &doc = f.document;
        const RecordId only = addCensus(doc.store(), "only", {{"t", 1}, {"u", 2}});
        doc.selectCollection(only);
        QCOMPARE(doc.taxonModel().rowCount(), 2);
        doc.deleteCollection();
        QCOMPARE(doc.taxonModel().rowCount(), 0);
        QVERIFY(!doc.selectedCollection());
    }
};

QTEST_MAIN(TableModelsTest)
#include "TableModelsTest.moc"
