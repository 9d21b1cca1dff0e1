#include "document/MyDocument.h"

#include "DocumentFixtures.h"
#include "TestSettings.h"
#include "analysis/EcoCollection.h"
#include "document/CensusTableModel.h"
#include "document/ScriptedUi.h"
#include "document/Settings.h"
#include "document/StoreEdit.h"
#include "document/TaxonTableModel.h"
#include "document/WaitWithProgress.h"
#include "log/Log.h"
#include "store/DocumentFile.h"

#include <QApplication>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <memory>

using namespace quorvella;
using namespace quorvella::testing;
using namespace Qt::StringLiterals;

namespace {

bool sameTaxa(const std::vector<Taxon> &a, const std::vector<Taxon> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Taxon &x, const Taxon &y) {
        return x.id == y.id && x.sameAttributes(y);
    });
}

struct Fixture
{
    MyDocument document;
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    Fixture() { document.setUi(ui); }
    Store &store() { return document.store(); }
    const Census &census(RecordId id) { return *document.store().findCensus(id); }
};

// Same value, NaN included: the stored measures may be NaN on purpose.
bool same(std::optional<double> stored, float computed)
{
    if (!stored)
        return false;
    if (std::isnan(computed))
        return std::isnan(*stored);
    return *stored == static_cast<double>(computed);
}

void verifyMeasures(const Census &census, const EcoCollection &expected)
{
    QCOMPARE(census.abundance, std::optional<std::int32_t>(expected.censusSize()));
    QCOMPARE(census.richness, std::optional<std::int32_t>(expected.richness()));
    QVERIFY(same(census.buzasGibson, expected.buzasGibsonE()));
    QVERIFY(same(census.chao, expected.chao1()));
    QVERIFY(same(census.shannon, expected.shannonH()));
    QVERIFY(same(census.simpson, expected.simpsonD()));
    QVERIFY(same(census.peters, expected.petersEss()));
    QVERIFY(same(census.pielou, expected.pielouJ()));
    QVERIFY(same(census.pie, expected.hurlbertPIE()));
}

// One collection of taxa counted 1 to 13, more than the document computes
// on its own thread.
RecordId addLargeCensus(Store &store)
{
    const RecordId census = addCensus(store, "large");
    const Store::Batch batch(store);
    for (std::size_t i = 0; i <= MyDocument::backgroundMetricsTaxa; ++i) {
        Taxon taxon;
        taxon.taxonName = "t" + std::to_string(i);
        taxon.abundance = 1 + static_cast<std::int32_t>(i % 13);
        taxon.includeTaxon = true;
        taxon.census = census;
        store.insertTaxon(taxon);
    }
    return census;
}

void selectTaxonRows(MyDocument &document, std::initializer_list<int> rows)
{
    document.taxonSelection().clear();
    for (int row : rows) {
        document.taxonSelection().select(document.taxonModel().index(row, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

} // namespace

class MyDocumentTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { isolateSettings(); }

    // --- queries ------------------------------------------------------------

    void queries_data()
    {
        QTest::addColumn<int>("collections");
        QTest::addColumn<bool>("selectFirst");
        QTest::addColumn<bool>("firstHasTaxa");
        QTest::addColumn<bool>("taxonData");
        QTest::addColumn<bool>("censusData");
        QTest::addColumn<bool>("threeCensuses");
        QTest::newRow("empty") << 0 << false << false << false << false << false;
        QTest::newRow("selected without taxa") << 1 << true << false << false << true << false;
        QTest::newRow("selected with taxa") << 1 << true << true << true << true << false;
        QTest::newRow("taxa but nothing selected") << 1 << false << true << false << true << false;
        QTest::newRow("two") << 2 << true << true << true << true << false;
        QTest::newRow("three") << 3 << true << false << false << true << true;
    }
    void queries()
    {
        QFETCH(int, collections);
        QFETCH(bool, selectFirst);
        QFETCH(bool, firstHasTaxa);
        Fixture f;
        for (int i = 0; i < collections; ++i) {
            const RecordId id = addCensus(f.store(), "c" + std::to_string(i));
            if (i == 0 && firstHasTaxa) {
                Taxon taxon;
                taxon.census = id;
                f.store().insertTaxon(taxon);
            }
            if (i == 0 && selectFirst)
                f.document.selectCollection(id);
        }
        QTEST(f.document.hasTaxonData(), "taxonData");
        QTEST(f.document.hasCensusData(), "censusData");
        QTEST(f.document.hasAtLeastThreeCensuses(), "threeCensuses");
        QCOMPARE(f.document.createArrayOfAllCensuses().size(), std::size_t(collections));
    }

    void groupExistsOnlyWithTaxa()
    {
        Fixture f;
        QVERIFY(!f.document.makeEcoCollectionGroup());
        addCensus(f.store(), "a");
        QVERIFY(!f.document.makeEcoCollectionGroup());
        addCensus(f.store(), "b", {{"x", 3}});
        auto group = f.document.makeEcoCollectionGroup();
        QVERIFY(group);
        QCOMPARE(group->createSummedAbundanceList(), std::vector<std::int32_t>{3});
    }

    // Steps of a change run once each and never past the last, however
    // the loop's timer fires after the last one.
    void stepsRunOnceEach()
    {
        for (std::size_t round = 0; round < 300; ++round) {
            const std::size_t count = 1 + round % 3;
            std::vector<int> runs(count + 1, 0);
            std::vector<std::function<void()>> steps;
            for (std::size_t i = 0; i <= count; ++i)
                steps.emplace_back([&runs, i] { ++runs[i]; });
            const std::span<const std::function<void()>> given =
                std::span<const std::function<void()>>(steps).first(count);
            QCOMPARE(runStepsWhileWaiting(u"Steps"_s, given, Cancel::NotOffered), count);
            std::vector<int> once(count, 1);
            once.push_back(0); // the step past the end
            QCOMPARE(runs, once);
        }
    }

    // A large insert runs a slice at a time: Cancel part-way leaves the
    // document exactly as it was; done, it is one undo step whose undo and
    // redo (also in slices) give the records back exactly.
    void largeInsertCancelsAndUndoesInSlices()
    {
        Fixture f;
        addCensus(f.store(), "kept", {{"x", 3}});
        f.store().setModified(false);
        const std::vector<Taxon> before = f.store().createArrayOfAllTaxa();
        Store prepared;
        for (int c = 0; c < 3; ++c) {
            const RecordId census = addCensus(prepared, "new " + std::to_string(c));
            for (std::size_t i = 0; i <= MyDocument::slicedEditRecords / 3; ++i) {
                Taxon taxon;
                taxon.taxonName = "t" + std::to_string(i);
                taxon.abundance = static_cast<std::int32_t>(i % 7);
                taxon.census = census;
                prepared.insertTaxon(taxon);
            }
        }
        const auto insert = [&] {
            return f.document.insertPreparedRecords(
                u"Import"_s, renumberedRecords(prepared, f.store().nextRecordId()));
        };
        // Cancel once the first slice of taxa is in (however fast the
        // slices run, the next one is not taken).
        bool cancelled = false;
        const Store::ObserverId observer = f.store().addObserver([&](const StoreChanges &changes) {
            auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            auto *button = dialog ? dialog->findChild<QPushButton *>() : nullptr;
            if (button && !cancelled && !changes.insertedTaxa.empty()) {
                cancelled = true;
                button->click();
            }
        });
        QVERIFY(!insert());
        f.store().removeObserver(observer);
        QVERIFY(cancelled);
        QVERIFY(sameTaxa(f.store().createArrayOfAllTaxa(), before));
        QCOMPARE(f.store().censusCount(), std::size_t(1));
        QVERIFY(!f.document.isModified());
        QCOMPARE(f.document.undoStack().count(), 0);

        QVERIFY(insert());
        const std::vector<Taxon> after = f.store().createArrayOfAllTaxa();
        QCOMPARE(after.size(), before.size() + prepared.taxonCount());
        QCOMPARE(f.document.undoStack().count(), 1);
        f.document.undoStack().undo();
        QVERIFY(sameTaxa(f.store().createArrayOfAllTaxa(), before));
        QCOMPARE(f.store().censusCount(), std::size_t(1));
        QVERIFY(!f.document.isModified());
        f.document.undoStack().redo();
        QVERIFY(sameTaxa(f.store().createArrayOfAllTaxa(), after));
        QCOMPARE(f.store().censusCount(), std::size_t(4));
        QVERIFY(f.document.isModified());
    }

    // Undo or redo back to the state last saved, or to a new document's,
    // brings back its mark, and the window hears of it.
    void undoAndRedoToTheCleanStateBringBackItsMark_data()
    {
        QTest::addColumn<int>("savedAt");         // -1 never, 0 before the step, 1 after it
        QTest::addColumn<bool>("unsavedRecords"); // e.g. the example data
        QTest::addColumn<bool>("modifiedAfterUndo");
        QTest::addColumn<bool>("modifiedAfterRedo");
        QTest::newRow("new document") << -1 << false << false << true;
        QTest::newRow("saved before the step") << 0 << false << false << true;
        QTest::newRow("saved after the step") << 1 << false << true << false;
        QTest::newRow("records never saved") << -1 << true << true << true;
    }
    void undoAndRedoToTheCleanStateBringBackItsMark()
    {
        QFETCH(int, savedAt);
        QFETCH(bool, unsavedRecords);
        QTemporaryDir dir;
        Fixture f;
        if (unsavedRecords) {
            Store records;
            addCensus(records, "example", {{"x", 3}});
            f.document.replaceContents(std::move(records));
        }
        const QString path = dir.filePath(u"doc.qvl"_s);
        if (savedAt == 0)
            QVERIFY(f.document.saveTo(path));
        f.document.addCollection();
        if (savedAt == 1)
            QVERIFY(f.document.saveTo(path));
        QSignalSpy marks(&f.document, &MyDocument::modifiedChanged);
        const auto shownMark = [&] {
            return marks.isEmpty() ? savedAt != 1 : marks.last().at(0).toBool();
        };
        f.document.undoStack().undo();
        QTEST(f.document.isModified(), "modifiedAfterUndo");
        QTEST(shownMark(), "modifiedAfterUndo");
        f.document.undoStack().redo();
        QTEST(f.document.isModified(), "modifiedAfterRedo");
        QTEST(shownMark(), "modifiedAfterRedo");
    }

    // --- adding and deleting ----------------------------------------------------

    void addCollectionSelectsAndEditsTheNewRow()
    {
        Fixture f;
        addCensus(f.store(), "m");
        QSignalSpy edits(&f.document, &MyDocument::editCensusNameRequested);
        f.document.addCollection();
        QCOMPARE(f.store().censusCount(), std::size_t(2));
        const std::optional<RecordId> added = f.document.selectedCollection();
        QVERIFY(added);
        QVERIFY(!f.census(*added).censusName);
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.at(0).at(0).toInt(), f.document.censusModel().rowOf(*added));

        f.document.undoStack().undo();
        QCOMPARE(f.store().censusCount(), std::size_t(1));
        f.document.undoStack().redo();
        QCOMPARE(f.store().censusCount(), std::size_t(2));
        QVERIFY(f.store().findCensus(*added));
        QCOMPARE(f.document.selectedCollection(), added);
    }

    void addingStopsWhenTheEditCannotEnd()
    {
        Fixture f;
        const RecordId census = addCensus(f.store(), "m");
        f.document.selectCollection(census);
        f.document.setEndEditing([] { return false; });
        std::vector<std::string> lines;
        const LogSink previous =
            setLogSink([&lines](std::string_view line) { lines.emplace_back(line); });
        f.document.addCollection();
        f.document.addTaxon();
        setLogSink(previous);
        QCOMPARE(f.store().censusCount(), std::size_t(1));
        QCOMPARE(f.store().taxonCount(), std::size_t(0));
        QCOMPARE(lines, (std::vector<std::string>{
                            "Quorvella - Could not end editing when adding a new collection",
                            "Quorvella - Could not end editing when adding a new taxon"}));
        QCOMPARE(f.document.undoStack().count(), 0);
    }

    void deleteCollectionTakesItsTaxaAndUndoBringsThemBack()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a", {{"x", 1}, {"y", 2}});
        const RecordId b = addCensus(f.store(), "b", {{"z", 3}});
        f.document.selectCollection(a);
        f.document.deleteCollection();
        QVERIFY(!f.store().findCensus(a));
        QCOMPARE(f.store().taxonCount(), std::size_t(1));
        QCOMPARE(f.document.selectedCollection(), std::optional<RecordId>(b));
        f.document.undoStack().undo();
        QCOMPARE(f.store().taxaOfCensus(a).size(), std::size_t(2));
        QCOMPARE(f.document.selectedCollection(), std::optional<RecordId>(a));
        QCOMPARE(f.document.taxonModel().rowCount(), 2);
    }

    void deleteWithNothingSelectedChangesNothing()
    {
        Fixture f;
        addCensus(f.store(), "a", {{"x", 1}});
        f.document.deleteCollection();
        f.document.deleteTaxon();
        QCOMPARE(f.store().censusCount(), std::size_t(1));
        QCOMPARE(f.store().taxonCount(), std::size_t(1));
        QCOMPARE(f.document.undoStack().count(), 0);
    }

    void addTaxonJoinsTheSelectedCollectionIncluded()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a");
        f.document.selectCollection(a);
        QSignalSpy edits(&f.document, &MyDocument::editTaxonNameRequested);
        f.document.addTaxon();
        const std::vector<Taxon> taxa = f.store().taxaOfCensus(a);
        QCOMPARE(taxa.size(), std::size_t(1));
        QVERIFY(taxa[0].includeTaxon);
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.at(0).at(0).toInt(), 0);
        f.document.undoStack().undo();
        QCOMPARE(f.store().taxonCount(), std::size_t(0));
    }

    void addTaxonWithoutSelectionMakesNoOrphan()
    {
        Fixture f;
        addCensus(f.store(), "a");
        f.document.addTaxon();
        QCOMPARE(f.store().taxonCount(), std::size_t(0));
        QVERIFY(!f.document.statusText().isEmpty());
    }

    void deleteTaxonRemovesEverySelectedRow()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a", {{"x", 3}, {"y", 2}, {"z", 1}});
        f.document.selectCollection(a);
        selectTaxonRows(f.document, {0, 2});
        f.document.deleteTaxon();
        QCOMPARE(columnTexts(f.document.taxonModel(), TaxonTableModel::NameColumn),
                 QStringList{u"y"_s});
        QCOMPARE(f.document.undoStack().count(), 1);
        f.document.undoStack().undo();
        QCOMPARE(columnTexts(f.document.taxonModel(), TaxonTableModel::NameColumn),
                 (QStringList{u"x"_s, u"y"_s, u"z"_s}));
    }

    void selectMostRecentCollectionSelectsTheLastByName()
    {
        Fixture f;
        addCensus(f.store(), "Alpha");
        const RecordId beta = addCensus(f.store(), "Beta");
        f.document.selectMostRecentCollection();
        QCOMPARE(f.document.selectedCollection(), std::optional<RecordId>(beta));
        const RecordId zebra = addCensus(f.store(), "Zebra");
        f.document.selectMostRecentCollection();
        QCOMPARE(f.document.selectedCollection(), std::optional<RecordId>(zebra));
        addCensus(f.store(), "Aardvark");
        f.document.selectMostRecentCollection();
        QCOMPARE(f.document.selectedCollection(), std::optional<RecordId>(zebra));
    }

    // --- cell editing -------------------------------------------------------------

    void abundanceCellAcceptsWholeNumbersOrNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("stored"); // -1: no abundance
        QTest::newRow("number") << u"12"_s << true << 12;
        QTest::newRow("zero") << u"0"_s << true << 0;
        QTest::newRow("spaces around") << u" 7 "_s << true << 7;
        QTest::newRow("largest") << u"2147483647"_s << true << 2147483647;
        QTest::newRow("leading zeros") << u"007"_s << true << 7;
        QTest::newRow("empty clears") << QString() << true << -1;
        QTest::newRow("one too many") << u"2147483648"_s << false << 5;
        QTest::newRow("huge") << u"99999999999999999999999"_s << false << 5;
        QTest::newRow("negative") << u"-1"_s << false << 5;
        QTest::newRow("plus sign") << u"+3"_s << false << 5;
        QTest::newRow("fraction") << u"1.5"_s << false << 5;
        QTest::newRow("exponent") << u"1e3"_s << false << 5;
        QTest::newRow("word") << u"many"_s << false << 5;
        QTest::newRow("inner space") << u"1 2"_s << false << 5;
        QTest::newRow("arabic-indic digit") << u"\u0663"_s << false << 5;
    }
    void abundanceCellAcceptsWholeNumbersOrNothing()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(int, stored);
        Fixture f;
        const RecordId a = addCensus(f.store(), "a", {{"x", 5}});
        f.document.selectCollection(a);
        const QModelIndex cell = f.document.taxonModel().index(0, TaxonTableModel::AbundanceColumn);
        QCOMPARE(f.document.taxonModel().setData(cell, typed), accepted);
        const Taxon taxon = f.store().taxaOfCensus(a).at(0);
        QCOMPARE(taxon.abundance, stored < 0 ? std::nullopt : std::optional<std::int32_t>(stored));
        QCOMPARE(f.document.statusText().isEmpty(), accepted);
        QCOMPARE(f.document.undoStack().count(), accepted ? 1 : 0);
    }

    void namesAndIncludeFlagAreUndoable()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a", {{"x", 5}});
        f.document.selectCollection(a);
        TaxonTableModel &taxa = f.document.taxonModel();
        QVERIFY(taxa.setData(taxa.index(0, TaxonTableModel::NameColumn), u"Abies alba"_s));
        QVERIFY(taxa.setData(taxa.index(0, TaxonTableModel::IncludeColumn), Qt::Unchecked,
                             Qt::CheckStateRole));
        CensusTableModel &censuses = f.document.censusModel();
        QVERIFY(censuses.setData(censuses.index(0, 0), u"Station 1"_s));
        QCOMPARE(f.document.undoStack().count(), 3);
        QCOMPARE(f.store().findCensus(a)->censusName, std::optional<std::string>("Station 1"));
        QVERIFY(!f.store().taxaOfCensus(a)[0].includeTaxon);
        QCOMPARE(f.store().taxaOfCensus(a)[0].taxonName, std::optional<std::string>("Abies alba"));
        f.document.undoStack().undo();
        f.document.undoStack().undo();
        f.document.undoStack().undo();
        QCOMPARE(f.store().findCensus(a)->censusName, std::optional<std::string>("a"));
        QVERIFY(f.store().taxaOfCensus(a)[0].includeTaxon);
        QCOMPARE(f.store().taxaOfCensus(a)[0].taxonName, std::optional<std::string>("x"));
    }

    void emptyNameMakesTheRecordUnnamedAndSameValueAddsNoStep()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a");
        QVERIFY(f.document.setCensusName(a, QString()));
        QVERIFY(!f.store().findCensus(a)->censusName);
        QVERIFY(f.document.setCensusName(a, QString()));
        QCOMPARE(f.document.undoStack().count(), 1);
    }

    // --- metrics commands ---------------------------------------------------------

    void calculateSampleMetricsStoresTheCoreValues()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a",
                                     {{"Abies", 12},
                                      {"Betula", 3},
                                      {"Carex", 1},
                                      {"Dryas", std::nullopt},
                                      {"Erica", 4, false}});
        const RecordId b = addCensus(f.store(), "b", {{"x", 9}});
        f.document.selectCollection(a);
        Settings::setRarefactionSampleSize(10);
        f.document.calculateSampleMetrics();

        const EcoCollection expected =
            EcoCollection::initFromAbundanceArray(std::vector<std::int32_t>{12, 3, 1});
        verifyMeasures(f.census(a), expected);
        QCOMPARE(f.census(a).rarefactionRichness,
                 std::optional<double>(expected.individualBasedRarefactionToSampleSize(10).theE));
        QVERIFY(!f.census(a).rarefactionSampleSize);
        QVERIFY(!f.census(b).abundance);
        QCOMPARE(f.document.rarefactionCaption(), u"for sample size of 10"_s);
        QCOMPARE(f.document.undoStack().count(), 1);
        f.document.undoStack().undo();
        QVERIFY(!f.census(a).richness);
    }

    void calculateSampleMetricsWithoutSelectionWritesNothing()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a", {{"x", 2}});
        f.document.calculateSampleMetrics();
        QVERIFY(!f.census(a).richness);
        QCOMPARE(f.document.rarefactionCaption(), u"for sample size of 50"_s);
        QCOMPARE(f.document.undoStack().count(), 0);
    }

    void singleTaxonOfSeven()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a", {{"x", 7}});
        f.document.selectCollection(a);
        f.document.calculateSampleMetrics();
        QCOMPARE(f.census(a).abundance, std::optional<std::int32_t>(7));
        QCOMPARE(f.census(a).richness, std::optional<std::int32_t>(1));
    }

    void metricsForAllCollectionsStoresEachCollectionsOwnValues()
    {
        Fixture f;
        const RecordId same1 = addCensus(f.store(), "same", {{"a", 5}, {"b", 5}, {"c", 1}});
        const RecordId same2 = addCensus(f.store(), "same", {{"a", 40}, {"b", 2}});
        const RecordId excluded = addCensus(f.store(), "off", {{"a", 8, false}, {"b", 2, false}});
        Taxon orphan;
        orphan.abundance = 1000;
        f.store().insertTaxon(orphan);
        Settings::setRarefactionSampleSize(20);
        QSignalSpy started(&f.document, &MyDocument::busyStarted);
        QSignalSpy ended(&f.document, &MyDocument::busyEnded);
        f.document.metricsForAllCollections();
        QCOMPARE(started.count(), 1);
        QCOMPARE(ended.count(), 1);

        const std::vector<std::pair<RecordId, std::vector<std::int32_t>>> cases{
            {same1, {5, 5, 1}}, {same2, {40, 2}}, {excluded, {}}};
        for (const auto &[id, abundances] : cases) {
            const EcoCollection expected = EcoCollection::initFromAbundanceArray(abundances);
            verifyMeasures(f.census(id), expected);
            QCOMPARE(f.census(id).rarefactionSampleSize, std::optional<std::int32_t>(20));
            const double e = expected.individualBasedRarefactionToSampleSize(20).theE;
            QVERIFY(same(f.census(id).rarefactionRichness, static_cast<float>(e)) ||
                    f.census(id).rarefactionRichness == e);
        }
        QCOMPARE(f.document.rarefactionCaption(), u"for sample size of 20"_s);
        QCOMPARE(f.document.undoStack().count(), 1);

        // A second run without changes stores the same values.
        const Census before = f.census(same1);
        f.document.metricsForAllCollections();
        QVERIFY(f.census(same1).sameAttributes(before));
    }

    void largeDocumentsComputeAllMetricsInTheBackground()
    {
        Fixture f;
        Settings::setRarefactionSampleSize(20);
        const RecordId small = addCensus(f.store(), "small", {{"a", 5}, {"b", 5}, {"c", 1}});
        const RecordId large = addLargeCensus(f.store());
        f.document.metricsForAllCollections();
        QVERIFY(f.document.isWorkingInBackground());
        QVERIFY(f.document.isBusy());
        QVERIFY(!f.census(small).richness);

        // What changes meanwhile is part of what gets stored.
        const Taxon c = f.store().taxaOfCensus(small).back();
        QVERIFY(f.document.setTaxonAbundanceText(c.id, u"3"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!f.document.isBusy(), 30000);
        verifyMeasures(f.census(small), EcoCollection::initFromAbundanceArray({5, 5, 3}));
        QCOMPARE(f.census(large).richness, std::optional<std::int32_t>(static_cast<std::int32_t>(
                                               MyDocument::backgroundMetricsTaxa + 1)));
        QCOMPARE(f.census(large).rarefactionSampleSize, std::optional<std::int32_t>(20));
        QCOMPARE(f.document.undoStack().count(), 2); // the change, then the metrics
        QVERIFY(!f.document.isWorkingInBackground());
    }

    void cancelledBackgroundMetricsStoreNothing()
    {
        Fixture f;
        const RecordId large = addLargeCensus(f.store());
        QSignalSpy ended(&f.document, &MyDocument::busyEnded);
        f.document.metricsForAllCollections();
        f.document.cancelBackgroundWork();
        QCOMPARE(ended.count(), 1);
        QVERIFY(!f.document.isBusy());
        QTest::qWait(300);
        QVERIFY(!f.census(large).richness);
        QCOMPARE(f.document.undoStack().count(), 0);
    }

    void bothCommandsAgreeOnTheSelectedCollection()
    {
        Fixture f;
        const RecordId a =
            addCensus(f.store(), "a", {{"x", 17}, {"y", 4}, {"z", 4}, {"w", 1, false}});
        f.document.selectCollection(a);
        f.document.calculateSampleMetrics();
        const Census single = f.census(a);
        f.document.metricsForAllCollections();
        Census all = f.census(a);
        all.rarefactionSampleSize.reset();
        QVERIFY(all.sameAttributes(single));
    }

    void negativeSampleSizeKeepsTheRarefiedRichness()
    {
        Fixture f;
        const RecordId a = addCensus(f.store(), "a", {{"x", 4}, {"y", 2}});
        f.document.selectCollection(a);
        f.document.metricsForAllCollections();
        const std::optional<double> rarefied = f.census(a).rarefactionRichness;
        QVERIFY(rarefied);
        Census cleared = f.census(a);
        cleared.richness.reset();
        f.store().updateCensus(cleared);

        Settings::setRarefactionSampleSize(-3);
        f.document.calculateSampleMetrics();
        QCOMPARE(f.census(a).richness, std::optional<std::int32_t>(2));
        QCOMPARE(f.census(a).rarefactionRichness, rarefied);
        QVERIFY(f.document.statusText().contains(u"-3"_s));
        QCOMPARE(f.document.rarefactionCaption(), u"for sample size of -3"_s);

        f.document.metricsForAllCollections();
        QCOMPARE(f.census(a).rarefactionSampleSize, std::optional<std::int32_t>(50));
        QCOMPARE(f.census(a).rarefactionRichness, rarefied);
        QVERIFY(f.document.statusText().contains(u"negative"_s));
    }

    // --- imports ---------------------------------------------------------------------

    void importIsOneUndoStep()
    {
        Fixture f;
        addCensus(f.store(), "kept");
        const int result = f.document.importRecords(u"Import Collection"_s, [](Store &store) {
            addCensus(store, "one", {{"a", 1}});
            addCensus(store, "two", {{"b", 2}});
            return 2;
        });
        QCOMPARE(result, 2);
        QCOMPARE(f.document.undoStack().count(), 1);
        QCOMPARE(f.document.undoStack().undoText(), u"Import Collection"_s);
        f.document.undoStack().undo();
        QCOMPARE(f.store().censusCount(), std::size_t(1));
        QCOMPARE(f.store().taxonCount(), std::size_t(0));
        f.document.undoStack().redo();
        QCOMPARE(f.store().censusCount(), std::size_t(3));
        QCOMPARE(f.store().taxonCount(), std::size_t(2));
    }

    void commandsInsideAnImportJoinItsStep()
    {
        Fixture f;
        f.document.importRecords(u"Import"_s, [&f](Store &store) {
            const RecordId id = addCensus(store, "one", {{"a", 1}});
            f.document.setCensusName(id, u"renamed"_s);
            f.document.selectCollection(id);
            f.document.calculateSampleMetrics();
            return 0;
        });
        QCOMPARE(f.document.undoStack().count(), 1);
        f.document.undoStack().undo();
        QCOMPARE(f.store().censusCount(), std::size_t(0));
        f.document.undoStack().redo();
        const std::vector<Census> all = f.store().createArrayOfAllCensuses();
        QCOMPARE(all.size(), std::size_t(1));
        QCOMPARE(all[0].censusName, std::optional<std::string>("renamed"));
    }

    void failedImportLeavesNoStep()
    {
        Fixture f;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 f.document.importRecords(u"Import"_s, [](Store &) -> int {
                                     throw std::runtime_error("bad text");
                                 }));
        QCOMPARE(f.document.undoStack().count(), 0);
    }

    // --- files --------------------------------------------------------------------------

    void saveAndOpenRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"field.qvl"_s);
        {
            Fixture f;
            const RecordId a = addCensus(f.store(), "a", {{"x", 4}, {"y", std::nullopt, false}});
            f.document.selectCollection(a);
            f.document.calculateSampleMetrics();
            f.ui->savePaths.enqueue(dir.filePath(u"field"_s));
            QVERIFY(f.document.save());
            QCOMPARE(f.document.fileName(), path);
            QVERIFY(!f.document.isModified());
        }
        Fixture g;
        QVERIFY(g.document.open(path));
        QCOMPARE(g.store().censusCount(), std::size_t(1));
        QCOMPARE(g.store().taxonCount(), std::size_t(2));
        QVERIFY(g.store().createArrayOfAllCensuses()[0].richness);
        QVERIFY(!g.document.isModified());
        QCOMPARE(g.document.displayName(), u"field.qvl"_s);
        QVERIFY(g.document.selectedCollection());
        QCOMPARE(g.document.taxonModel().rowCount(), 2);
        QCOMPARE(g.document.undoStack().count(), 0);
    }

    void openingSweepsOrphans()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"orphans.qvl"_s);
        Store store;
        addCensus(store, "kept", {{"k", 1}});
        for (const char *name : {"a", "b", "c"}) {
            Taxon orphan;
            orphan.taxonName = name;
            store.insertTaxon(orphan);
        }
        DocumentFile::save(store, QFile::encodeName(path).toStdString());

        std::vector<std::string> lines;
        const LogSink previous =
            setLogSink([&lines](std::string_view line) { lines.emplace_back(line); });
        Fixture f;
        QVERIFY(f.document.open(path));
        setLogSink(previous);
        QCOMPARE(f.store().taxonCount(), std::size_t(1));
        QCOMPARE(lines, (std::vector<std::string>{"orphaned taxon a removed from database",
                                                  "orphaned taxon b removed from database",
                                                  "orphaned taxon c removed from database"}));
    }

    void openFailureSaysWhyAndChangesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"broken.qvl"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a document");
        file.close();
        Fixture f;
        addCensus(f.store(), "a");
        QVERIFY(!f.document.open(path));
        QCOMPARE(f.ui->eventsOf(ScriptedUi::Kind::ErrorAlert).size(), 1);
        QVERIFY(!f.ui->lastAlert().informativeText.isEmpty());
        QCOMPARE(f.store().censusCount(), std::size_t(1));
        QVERIFY(f.document.fileName().isEmpty());
    }

    void documentWithFileSavesItselfShortlyAfterAChange()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"auto.qvl"_s);
        Fixture f;
        QVERIFY(f.document.saveTo(path));
        f.document.addCollection();
        f.document.setCensusName(*f.document.selectedCollection(), u"typed"_s);
        QVERIFY(f.document.isModified());
        QTRY_VERIFY_WITH_TIMEOUT(!f.document.isModified(), 5000);
        const Store saved = DocumentFile::load(QFile::encodeName(path).toStdString());
        QCOMPARE(saved.createArrayOfAllCensuses().at(0).censusName,
                 std::optional<std::string>("typed"));
        QVERIFY(f.ui->events.isEmpty());
    }

    void failingAutosaveAlertsOnceThenReportsInTheStatusLine()
    {
        QTemporaryDir dir;
        Fixture f;
        QVERIFY(f.document.saveTo(dir.filePath(u"doc.qvl"_s)));
        QVERIFY(dir.remove());
        // The file went with its folder; the user agrees once to save it again.
        f.ui->missingFileAnswers.enqueue(Ui::MissingFileAnswer::SaveAgain);
        f.document.addCollection();
        QTRY_COMPARE_WITH_TIMEOUT(f.ui->eventsOf(ScriptedUi::Kind::ErrorAlert).size(), 1, 5000);
        f.document.addCollection();
        QTRY_VERIFY_WITH_TIMEOUT(f.document.statusText().startsWith(u"Not saved"_s), 5000);
        QTest::qWait(MyDocument::autosaveDelayMs + 200);
        QCOMPARE(f.ui->eventsOf(ScriptedUi::Kind::ErrorAlert).size(), 1);
        QCOMPARE(f.ui->eventsOf(ScriptedUi::Kind::MissingFile).size(), 1);
        QVERIFY(f.document.isModified());
    }

    void closing_data()
    {
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<bool>("withContent");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<bool>("panelConfirmed");
        QTest::addColumn<bool>("mayClose");
        QTest::addColumn<bool>("fileWritten");
        using A = Ui::SaveChangesAnswer;
        QTest::newRow("untitled empty") << false << false << -1 << false << true << false;
        QTest::newRow("untitled cancel")
            << false << true << int(A::Cancel) << false << false << false;
        QTest::newRow("untitled don't save")
            << false << true << int(A::DontSave) << false << true << false;
        QTest::newRow("untitled save") << false << true << int(A::Save) << true << true << true;
        QTest::newRow("untitled save, panel cancelled")
            << false << true << int(A::Save) << false << false << false;
        QTest::newRow("with file saves silently") << true << true << -1 << false << true << true;
    }
    void closing()
    {
        QFETCH(bool, withFile);
        QFETCH(bool, withContent);
        QFETCH(int, answer);
        QFETCH(bool, panelConfirmed);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"closing.qvl"_s);
        Fixture f;
        if (withFile)
            QVERIFY(f.document.saveTo(path));
        if (withContent)
            addCensus(f.store(), "unsaved");
        if (answer >= 0)
            f.ui->saveChangesAnswers.enqueue(static_cast<Ui::SaveChangesAnswer>(answer));
        if (panelConfirmed)
            f.ui->savePaths.enqueue(path);
        QTEST(f.document.prepareToClose(), "mayClose");
        QCOMPARE(f.ui->eventsOf(ScriptedUi::Kind::SaveChanges).size(), answer >= 0 ? 1 : 0);
        QFETCH(bool, fileWritten);
        if (fileWritten) {
            const Store saved = DocumentFile::load(QFile::encodeName(path).toStdString());
            QCOMPARE(saved.censusCount(), std::size_t(1));
        }
    }

    void failedSaveSaysWhyAndKeepsTheDocumentOpen()
    {
        QTemporaryDir dir;
        Fixture f;
        QVERIFY(f.document.saveTo(dir.filePath(u"doc.qvl"_s)));
        addCensus(f.store(), "unsaved");
        QVERIFY(dir.remove());
        f.ui->missingFileAnswers.enqueue(Ui::MissingFileAnswer::SaveAgain);
        QVERIFY(!f.document.prepareToClose());
        QCOMPARE(f.ui->eventsOf(ScriptedUi::Kind::ErrorAlert).size(), 1);
        QVERIFY(f.document.isModified());
    }

    void undoAfterSaveMakesTheDocumentModifiedAgain()
    {
        QTemporaryDir dir;
        Fixture f;
        f.document.addCollection();
        QVERIFY(f.document.saveTo(dir.filePath(u"doc.qvl"_s)));
        QVERIFY(!f.document.isModified());
        f.document.undoStack().undo();
        QVERIFY(f.document.isModified());
        QCOMPARE(f.store().censusCount(), std::size_t(0));
    }
};

QTEST_MAIN(MyDocumentTest)
#include "MyDocumentTest.moc"
