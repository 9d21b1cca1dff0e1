#include "document/DocumentWindow.h"

#include "DocumentFixtures.h"
#include "TestSettings.h"
#include "document/CensusTableModel.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "document/TaxonTableModel.h"
#include "log/Log.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <cmath>
#include <limits>
#include <memory>

using namespace quorvella;
using namespace quorvella::testing;
using namespace Qt::StringLiterals;

namespace {

struct Fixture
{
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    MyDocument *document = new MyDocument;
    std::unique_ptr<DocumentWindow> window;
    Fixture()
    {
        document->setUi(ui);
        window = std::make_unique<DocumentWindow>(document);
    }
    Store &store() { return document->store(); }
    void trigger(ToolbarItem item) { window->action(item)->trigger(); }
    bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
};

QLineEdit *openEditor(QTableView *view)
{
    return qobject_cast<QLineEdit *>(view->indexWidget(view->currentIndex()));
}

} // namespace

class DocumentWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { isolateSettings(); }

    // The platform's margins keep the fields off the window's edges, and
    // typing starts in the collection table.
    void marginsAndFirstFocus()
    {
        Fixture f;
        f.window->activateWindow();
        QVERIFY(f.show());
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        const QMargins margins = f.window->centralWidget()->layout()->contentsMargins();
        const int expected = f.window->style()->pixelMetric(QStyle::PM_LayoutRightMargin);
        QVERIFY(expected > 0);
        QCOMPARE(margins.right(), expected);
        QCOMPARE(QApplication::focusWidget(),
                 f.window->findChild<QTableView *>(QStringLiteral("censusTable")));
    }

    void toolbarItems_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("add collection")
            << int(ToolbarItem::AddCollection) << u"QTRAddCollection"_s << u"Add Collection"_s
            << u"Add a collection.  Do this before adding a taxon."_s;
        QTest::newRow("delete collection")
            << int(ToolbarItem::DeleteCollection) << u"QTRDeleteCollection"_s
            << u"Delete Collection"_s << u"Delete this collection"_s;
        QTest::newRow("species list")
            << int(ToolbarItem::TaxonList) << u"QTRTaxonList"_s << u"Set Species List"_s
            << u"Read a list of valid species for autocompletion"_s;
        QTest::newRow("add species") << int(ToolbarItem::AddTaxon) << u"QTRAddTaxon"_s
                                     << u"Add Species"_s << u"Add a species to this collection"_s;
        QTest::newRow("delete species")
            << int(ToolbarItem::DeleteTaxon) << u"QTRDeleteTaxon"_s << u"Delete Species"_s
            << u"Delete a species from this collection"_s;
        QTest::newRow("metrics") << int(ToolbarItem::CalculateMetrics) << u"QTRCalculateMetrics"_s
                                 << u"Calculate Metrics"_s
                                 << u"Calculate diversity metrics for this collection"_s;
        QTest::newRow("individual rarefaction")
            << int(ToolbarItem::IndividualRarefaction) << u"QTRIndividualRarefaction"_s
            << u"Individual Rarefaction"_s
            << u"Do an individual-based rarefaction on this collection"_s;
        QTest::newRow("chao-2") << int(ToolbarItem::Chao2) << u"QTRChao2"_s << u"Calculate Chao-2"_s
                                << u"Calculate Chao-2 metric for a group of collections"_s;
        QTest::newRow("sample rarefaction")
            << int(ToolbarItem::SampleRarefaction) << u"QTRSampleRarefaction"_s
            << u"Sample Rarefaction"_s
            << u"Do a sample-based rarefaction on a group of collections"_s;
    }
    void toolbarItems()
    {
        QFETCH(int, item);
        Fixture f;
        const QAction *action = f.window->action(static_cast<ToolbarItem>(item));
        QTEST(action->objectName(), "identifier");
        QTEST(action->text(), "label");
        QTEST(action->iconText(), "label");
        QTEST(action->toolTip(), "toolTip");
        QVERIFY(f.window->toolBar()->actions().contains(const_cast<QAction *>(action)));
    }

    void toolbarOrderAndStyle()
    {
        Fixture f;
        QStringList order;
        for (const QAction *action : f.window->toolBar()->actions())
            order << (action->isSeparator() ? u"|"_s : action->objectName());
        QCOMPARE(order,
                 (QStringList{u"QTRAddCollection"_s, u"QTRDeleteCollection"_s, u"QTRTaxonList"_s,
                              u"|"_s, u"QTRAddTaxon"_s, u"QTRDeleteTaxon"_s, u"|"_s,
                              u"QTRCalculateMetrics"_s, u"QTRIndividualRarefaction"_s, u"|"_s,
                              u"QTRChao2"_s, u"QTRSampleRarefaction"_s}));
        QCOMPARE(f.window->toolBar()->objectName(), u"myDocumentToolbar"_s);
        QCOMPARE(f.window->toolBar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }

    // Enabled items, in toolbar order, as a string of 0 and 1.
    void enabling_data()
    {
        QTest::addColumn<int>("collections");
        QTest::addColumn<bool>("firstHasTaxa");
        QTest::addColumn<bool>("selectFirst");
        QTest::addColumn<QString>("enabled");
        QTest::newRow("new empty document") << 0 << false << false << u"101000000"_s;
        QTest::newRow("collection, none selected") << 1 << true << false << u"111100000"_s;
        QTest::newRow("selected without taxa") << 1 << false << true << u"111100000"_s;
        QTest::newRow("selected with taxa") << 1 << true << true << u"111111100"_s;
        QTest::newRow("two with taxa") << 2 << true << true << u"111111100"_s;
        QTest::newRow("three, selected empty") << 3 << false << true << u"111100011"_s;
        QTest::newRow("three with taxa") << 3 << true << true << u"111111111"_s;
    }
    void enabling()
    {
        QFETCH(int, collections);
        QFETCH(bool, firstHasTaxa);
        QFETCH(bool, selectFirst);
        Fixture f;
        for (int i = 0; i < collections; ++i) {
            const RecordId id = i == 0 && firstHasTaxa
                                    ? addCensus(f.store(), "c0", {{"t", 1}})
                                    : addCensus(f.store(), "c" + std::to_string(i));
            if (i == 0 && selectFirst)
                f.document->selectCollection(id);
        }
        QString enabled;
        for (const ToolbarItemDescription &description : toolbarItemDescriptions())
            enabled += f.window->action(description.item)->isEnabled() ? u'1' : u'0';
        QTEST(enabled, "enabled");
    }

    void addCollectionCommitsTheNameBeingTyped()
    {
        Fixture f;
        QVERIFY(f.show());
        f.trigger(ToolbarItem::AddCollection);
        QLineEdit *editor = openEditor(f.window->censusTable());
        QVERIFY(editor);
        QTest::keyClicks(editor, u"Station A"_s);
        f.trigger(ToolbarItem::AddCollection);
        QCOMPARE(f.store().censusCount(), std::size_t(2));
        QCOMPARE(columnTexts(f.document->censusModel(), 0),
                 (QStringList{QString(), u"Station A"_s}));
        QVERIFY(openEditor(f.window->censusTable()));
        QCOMPARE(f.window->censusTable()->currentIndex().row(), 0);
    }

    void refusedAbundanceKeepsTheEditorAndStopsAddTaxon()
    {
        Fixture f;
        const RecordId census = addCensus(f.store(), "c", {{"t", 4}});
        f.document->selectCollection(census);
        QVERIFY(f.show());
        QTableView *species = f.window->speciesTable();
        const QModelIndex cell =
            f.document->taxonModel().index(0, TaxonTableModel::AbundanceColumn);
        species->setCurrentIndex(cell);
        species->edit(cell);
        QLineEdit *editor = openEditor(species);
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, u"four"_s);
        std::vector<std::string> lines;
        const LogSink previous =
            setLogSink([&lines](std::string_view line) { lines.emplace_back(line); });
        f.trigger(ToolbarItem::AddTaxon);
        setLogSink(previous);
        QCOMPARE(f.store().taxonCount(), std::size_t(1));
        QCOMPARE(f.store().taxaOfCensus(census)[0].abundance, std::optional<std::int32_t>(4));
        QVERIFY(f.window->statusLineText().contains(u"four"_s));
        QCOMPARE(lines, std::vector<std::string>{
                            "Quorvella - Could not end editing when adding a new taxon"});
        QVERIFY(openEditor(species));
    }

    void metricFieldsShowStoredValuesAsTheyAre()
    {
        Fixture f;
        Census census;
        census.censusName = "c";
        census.richness = 3;
        census.chao = std::numeric_limits<double>::infinity();
        census.shannon = std::numeric_limits<double>::quiet_NaN();
        census.simpson = 0.5;
        census.rarefactionSampleSize = 20;
        const RecordId id = f.store().insertCensus(census);
        f.document->selectCollection(id);
        QCOMPARE(f.window->metricFieldText(u"richness"_s), u"3"_s);
        QCOMPARE(f.window->metricFieldText(u"chao"_s), u"inf"_s);
        QCOMPARE(f.window->metricFieldText(u"shannon"_s), u"nan"_s);
        QCOMPARE(f.window->metricFieldText(u"simpson"_s), u"0.5"_s);
        QCOMPARE(f.window->metricFieldText(u"pie"_s), QString());
        QCOMPARE(f.window->metricFieldText(u"rarefactionSampleSizeTextField"_s),
                 u"for sample size of 20"_s);
        f.document->selectCollection(std::nullopt);
        QCOMPARE(f.window->metricFieldText(u"richness"_s), QString());
    }

    void calculateMetricsFillsTheFields()
    {
        Fixture f;
        const RecordId id = addCensus(f.store(), "c", {{"a", 6}, {"b", 2}});
        f.document->selectCollection(id);
        f.trigger(ToolbarItem::CalculateMetrics);
        QCOMPARE(f.window->metricFieldText(u"richness"_s), u"2"_s);
        QCOMPARE(f.window->metricFieldText(u"abundance"_s), u"8"_s);
        QVERIFY(!f.window->metricFieldText(u"rarefactionRichness"_s).isEmpty());
        QCOMPARE(f.window->metricFieldText(u"rarefactionSampleSizeTextField"_s),
                 u"for sample size of 50"_s);
    }

    void textsAndBusyIndicatorFollowTheDocument()
    {
        Fixture f;
        addCensus(f.store(), "c", {{"a", 6}});
        f.document->setChao2Text(u"12.5"_s);
        f.document->setStatusText(u"Working"_s);
        QCOMPARE(f.window->chao2FieldText(), u"12.5"_s);
        QCOMPARE(f.window->statusLineText(), u"Working"_s);
        bool visibleWhileBusy = false;
        connect(f.document, &MyDocument::busyStarted, this,
                [&] { visibleWhileBusy = f.window->isBusyIndicatorVisible(); });
        f.document->metricsForAllCollections();
        QVERIFY(visibleWhileBusy);
        QVERIFY(!f.window->isBusyIndicatorVisible());
    }

    void closingAsksAndCancelKeepsTheWindow()
    {
        Fixture f;
        QVERIFY(f.show());
        addCensus(f.store(), "unsaved");
        f.ui->saveChangesAnswers.enqueue(Ui::SaveChangesAnswer::Cancel);
        QVERIFY(!f.window->close());
        QVERIFY(f.window->isVisible());
        f.ui->saveChangesAnswers.enqueue(Ui::SaveChangesAnswer::DontSave);
        QVERIFY(f.window->close());
        QCOMPARE(f.ui->eventsOf(ScriptedUi::Kind::SaveChanges).size(), 2);
    }

    void toolbarVisibilityIsRemembered()
    {
        {
            Fixture f;
            f.window->toolBar()->hide();
            f.window->saveWindowState();
        }
        Fixture g;
        QVERIFY(g.window->toolBar()->isHidden());
    }

    void tablesCanBeReplaced()
    {
        Fixture f;
        auto *census = new QTableView;
        auto *species = new QTableView;
        f.window->setCensusTable(census);
        f.window->setSpeciesTable(species);
        QCOMPARE(f.window->censusTable(), census);
        QCOMPARE(census->model(), &f.document->censusModel());
        QCOMPARE(census->selectionModel(), &f.document->censusSelection());
        QCOMPARE(species->model(), &f.document->taxonModel());
        QCOMPARE(species->selectionModel(), &f.document->taxonSelection());
        QCOMPARE(census->parentWidget()->window(), f.window.get());
    }
};

QTEST_MAIN(DocumentWindowTest)
#include "DocumentWindowTest.moc"
