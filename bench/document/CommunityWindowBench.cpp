// The community-sequencing document in its window: 1000 collections and
// 2 million taxa (the 1000 x 20 000 matrix of bench/scale imported as
// `quorvella-cli import` does), with the names layer's tables attached.
//
// Targets on the two-core reference machine:
//   BM_OpenCommunityDocument     open to a painted window in 1 s or less
//   BM_SelectCommunityCollection a collection's taxa shown in 50 ms or less
//   BM_CommunityMetrics          the metrics of all collections in 1 s or less
//   BM_ImportCommunityTable      the table (taxa as rows) imported into an empty
//                                window as File > Import > Community Table… does
//   BM_ImportUndoRedo            that import undone and done again; undo_longest_stall_ms
//                                is the undo's own
//   BM_CommunityAutosave         a rename saved by the automatic save (its
//                                1.5 s delay included), for the figure of its stall
//   BM_SortSpeciesTable          the species table's display order of the
//                                document's largest collection and of 20 000
//                                taxa decided by each key (abundance, name,
//                                record id); /copies: the records copied
//                                and then sorted, for comparison
//   BM_Community<command>        the Analysis menu's commands, each from its
//                                trigger until its result is on screen
//   BM_CloseDuringAnalysis       the window closed while Chao-2 (0), the
//                                sample-based (1) or pooled (2) rarefaction or
//                                the Richness Estimators (3) compute: closing
//                                waits 100 ms or less
// and in each, longest_stall_ms (the longest time the event loop did not
// turn, seen by a 2 ms timer) 100 or less. cpu_s is the process's CPU time
// per iteration (every thread), wall time is the benchmark's own figure.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bench/document/community_window_bench

#include "../scale/CommunityTable.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "document/TaxonTableModel.h"
#include "names/DocumentWindowNames.h"
#include "names/FileImport.h"
#include "plot/DiversityCommands.h"
#include "plot/DiversityView.h"
#include "plot/DiversityWindow.h"
#include "plot/RarefactionCommands.h"
#include "plot/RarefactionPlotController.h"
#include "plot/RichnessEstimatorsWindow.h"
#include "store/DocumentFile.h"
#include "store/StoreImport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>

using namespace quorvella;

namespace {

const QString &communityDocumentPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        Store store;
        addCollectionGroupToMOCFromString(store, bench::makeCommunityMatrix());
        const QString file = dir.filePath(QStringLiteral("community.qvl"));
        DocumentFile::save(store, QFile::encodeName(file).toStdString());
        return file;
    }();
    return path;
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The longest time between two turns of the event loop while it watches.
class StallWatch
{
public:
    StallWatch()
    {
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_sinceTurn.restart()); });
        m_sinceTurn.start();
        m_timer.start();
    }
    // Counts the time up to now as a stall when the loop has not turned.
    qint64 longestMs() { return std::max(m_longest, m_sinceTurn.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTurn;
    qint64 m_longest = 0;
};

// Turns the event loop until done() holds and no event is left.
void runUntil(const std::function<bool()> &done)
{
    while (!done())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();
}

struct CommunityWindow
{
    std::unique_ptr<DocumentWindow> window;
    MyDocument &document() { return window->document(); }
};

// As the application opens a document: read it, then the window with its
// tables, shown and painted.
// Shows the document in a window with completion attached, as the
// application does, and waits until the window is no longer busy.
std::unique_ptr<CommunityWindow> showInWindow(MyDocument *document)
{
    auto opened = std::make_unique<CommunityWindow>();
    opened->window = std::make_unique<DocumentWindow>(document);
    DocumentWindowNames::attach(*opened->window);
    opened->window->show();
    runUntil([document] { return !document->isBusy(); });
    return opened;
}

std::unique_ptr<CommunityWindow> openCommunityWindow(const QString &path = communityDocumentPath())
{
    auto *document = new MyDocument;
    document->setUi(std::make_shared<ScriptedUi>());
    if (!document->open(path)) {
        delete document;
        return nullptr;
    }
    return showInWindow(document);
}

// The records of the community document in an untitled window, which does
// not save itself after each change (a document with a file would, on this
// thread: that save is not part of what is measured here).
std::unique_ptr<CommunityWindow> untitledCommunityWindow()
{
    auto *document = new MyDocument;
    document->setUi(std::make_shared<ScriptedUi>());
    document->replaceContents(
        DocumentFile::load(QFile::encodeName(communityDocumentPath()).toStdString()));
    return showInWindow(document);
}

class Measured
{
public:
    explicit Measured(benchmark::State &state) : m_state(state) {}
    ~Measured()
    {
        const auto iterations = static_cast<double>(m_state.iterations());
        m_state.counters["cpu_s"] = m_cpu / iterations;
        m_state.counters["longest_stall_ms"] = static_cast<double>(m_longestStall);
    }

    template <typename Work> void iteration(Work work)
    {
        StallWatch watch;
        const double cpu = processCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        m_state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        m_cpu += processCpuSeconds() - cpu;
        m_longestStall = std::max(m_longestStall, watch.longestMs());
    }

private:
    benchmark::State &m_state;
    double m_cpu = 0;
    qint64 m_longestStall = 0;
};

void BM_OpenCommunityDocument(benchmark::State &state)
{
    communityDocumentPath();
    Measured measured(state);
    for (auto _ : state) {
        std::unique_ptr<CommunityWindow> opened;
        measured.iteration([&] { opened = openCommunityWindow(); });
        if (!opened || opened->document().store().taxonCount() == 0) {
            state.SkipWithError("could not open the document");
            return;
        }
        opened.reset();
    }
}
BENCHMARK(BM_OpenCommunityDocument)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SelectCommunityCollection(benchmark::State &state)
{
    std::unique_ptr<CommunityWindow> opened = untitledCommunityWindow();
    MyDocument &document = opened->document();
    const std::vector<Census> collections = document.createArrayOfAllCensuses();
    std::size_t next = 0;
    Measured measured(state);
    for (auto _ : state) {
        next = (next + 37) % collections.size();
        measured.iteration([&] {
            document.selectCollection(collections[next].id);
            // The view lays out and paints the new rows.
            QApplication::processEvents();
        });
        if (document.taxonModel().rowCount() == 0) {
            state.SkipWithError("the collection shows no taxa");
            return;
        }
    }
}
BENCHMARK(BM_SelectCommunityCollection)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CommunityMetrics(benchmark::State &state)
{
    std::unique_ptr<CommunityWindow> opened = untitledCommunityWindow();
    MyDocument &document = opened->document();
    Measured measured(state);
    for (auto _ : state) {
        measured.iteration([&] {
            document.metricsForAllCollections();
            runUntil([&document] { return !document.isBusy(); });
        });
    }
}
BENCHMARK(BM_CommunityMetrics)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportCommunityTable(benchmark::State &state)
{
    const auto table = std::make_shared<const std::string>(bench::makeCommunityTable());
    Measured measured(state);
    for (auto _ : state) {
        auto *document = new MyDocument;
        document->setUi(std::make_shared<ScriptedUi>());
        DocumentWindow window(document);
        DocumentWindowNames::attach(window);
        window.show();
        QApplication::processEvents();
        measured.iteration([&] {
            if (const auto read = readCommunityText(document->ui(), table, {}))
                importCommunityIntoWindow(window, read);
            runUntil([document] { return !document->isBusy(); });
        });
        if (document->store().censusCount() == 0) {
            state.SkipWithError("nothing was imported");
            return;
        }
    }
}
BENCHMARK(BM_ImportCommunityTable)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ImportUndoRedo(benchmark::State &state)
{
    const auto table = std::make_shared<const std::string>(bench::makeCommunityTable());
    auto *document = new MyDocument;
    document->setUi(std::make_shared<ScriptedUi>());
    DocumentWindow window(document);
    DocumentWindowNames::attach(window);
    window.show();
    if (const auto read = readCommunityText(document->ui(), table, {}))
        importCommunityIntoWindow(window, read);
    runUntil([document] { return !document->isBusy(); });
    Measured measured(state);
    qint64 undoStall = 0;
    for (auto _ : state) {
        measured.iteration([&] {
            // Undo alone: it drops the dead slots of the deleted taxa.
            StallWatch undoWatch;
            document->undoStack().undo();
            runUntil([document] { return !document->isBusy(); });
            undoStall = std::max(undoStall, undoWatch.longestMs());
            document->undoStack().redo();
            runUntil([document] { return !document->isBusy(); });
        });
        if (document->store().taxonCount() == 0) {
            state.SkipWithError("redo brought nothing back");
            return;
        }
    }
    state.counters["undo_longest_stall_ms"] = static_cast<double>(undoStall);
}
BENCHMARK(BM_ImportUndoRedo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// Runs a command of the Analysis menu on the community document and turns
// the event loop until `shown` tells that its result is on screen.
void measureAnalysis(benchmark::State &state,
                     const std::function<void(DocumentWindow &, bool &shown)> &command)
{
    std::unique_ptr<CommunityWindow> opened = untitledCommunityWindow();
    Measured measured(state);
    for (auto _ : state) {
        bool shown = false;
        measured.iteration([&] {
            command(*opened->window, shown);
            runUntil([&] { return shown && !opened->document().isBusy(); });
        });
    }
}

// A rarefaction command, done when its plot window opens or an alert says
// why there is no curve (the pooled collections hold more specimens than
// rarefaction takes).
void measureRarefaction(benchmark::State &state, void (RarefactionCommands::*command)())
{
    measureAnalysis(state, [command](DocumentWindow &window, bool &shown) {
        RarefactionCommands &commands = RarefactionCommands::of(window);
        const auto connection = QObject::connect(&commands, &RarefactionCommands::plotWindowOpened,
                                                 [&shown] { shown = true; });
        auto &ui = static_cast<ScriptedUi &>(window.document().ui());
        const qsizetype events = ui.events.size();
        (commands.*command)();
        runUntil([&] { return shown || ui.events.size() > events; });
        shown = true;
        QObject::disconnect(connection);
        commands.closeAllPlotWindows();
    });
}

void BM_CommunityChao2(benchmark::State &state)
{
    measureAnalysis(state, [](DocumentWindow &window, bool &shown) {
        window.document().setChao2Text({});
        const auto connection = QObject::connect(&window.document(), &MyDocument::chao2TextChanged,
                                                 [&shown] { shown = true; });
        RarefactionCommands::of(window).doChao2();
        runUntil([&shown] { return shown; });
        QObject::disconnect(connection);
    });
}
BENCHMARK(BM_CommunityChao2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_CommunitySampleRarefaction(benchmark::State &state)
{
    measureRarefaction(state, &RarefactionCommands::doSampleBasedRarefaction);
}
BENCHMARK(BM_CommunitySampleRarefaction)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_CommunityCollectionRarefaction(benchmark::State &state)
{
    measureRarefaction(state, &RarefactionCommands::doRarefaction);
}
BENCHMARK(BM_CommunityCollectionRarefaction)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_CommunityPooledRarefaction(benchmark::State &state)
{
    measureRarefaction(state, &RarefactionCommands::individualBasedRarefactionForAllCollections);
}
BENCHMARK(BM_CommunityPooledRarefaction)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// Compare Diversity on every collection, with its default 50 bootstrap
// replicates, until its curves are drawn.
void BM_CommunityDiversityWindow(benchmark::State &state)
{
    measureAnalysis(state, [](DocumentWindow &window, bool &shown) {
        DiversityCommands &commands = DiversityCommands::of(window);
        DiversityWindow *diversity = nullptr;
        bool computed = false;
        const auto connection = QObject::connect(
            &commands, &DiversityCommands::windowOpened, [&](DiversityWindow *opened) {
                diversity = opened;
                QObject::connect(opened, &DiversityWindow::resultShown,
                                 [&computed] { computed = true; });
            });
        commands.compareDiversity();
        // Until the curves are drawn, not only computed.
        runUntil([&] { return computed && !diversity->view().isRendering(); });
        shown = true;
        QObject::disconnect(connection);
        commands.closeAllWindows();
    });
}
BENCHMARK(BM_CommunityDiversityWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_CommunityRichnessEstimators(benchmark::State &state)
{
    measureAnalysis(state, [](DocumentWindow &window, bool &shown) {
        RichnessEstimatorsWindow &estimators = RichnessEstimatorsWindow::showFor(window);
        runUntil([&estimators] { return !estimators.isComputing(); });
        shown = true;
        estimators.close();
    });
}
BENCHMARK(BM_CommunityRichnessEstimators)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_CommunityAutosave(benchmark::State &state)
{
    // A copy: the document saves itself.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("autosaved.qvl"));
    QFile::copy(communityDocumentPath(), copy);
    std::unique_ptr<CommunityWindow> opened = openCommunityWindow(copy);
    MyDocument &document = opened->document();
    const RecordId first = document.createArrayOfAllCensuses().front().id;
    Measured measured(state);
    int renames = 0;
    for (auto _ : state) {
        measured.iteration([&] {
            document.setCensusName(first, QStringLiteral("renamed %1").arg(++renames));
            runUntil([&document] { return !document.isModified(); });
        });
    }
}
BENCHMARK(BM_CommunityAutosave)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// Starts an analysis, lets it compute for 20 ms, then closes the window and
// times the close, which stops the computation and waits for its thread.
void BM_CloseDuringAnalysis(benchmark::State &state)
{
    const int which = static_cast<int>(state.range(0));
    double running = 0;
    for (auto _ : state) {
        std::unique_ptr<CommunityWindow> opened = untitledCommunityWindow();
        DocumentWindow &window = *opened->window;
        RichnessEstimatorsWindow *estimators = nullptr;
        if (which == 3) {
            estimators = &RichnessEstimatorsWindow::showFor(window);
        } else {
            RarefactionCommands &commands = RarefactionCommands::of(window);
            void (RarefactionCommands::*const commandOf[])() = {
                &RarefactionCommands::doChao2, &RarefactionCommands::doSampleBasedRarefaction,
                &RarefactionCommands::individualBasedRarefactionForAllCollections};
            (commands.*commandOf[which])();
        }
        QElapsedTimer computing;
        computing.start();
        runUntil([&computing] { return computing.elapsed() >= 20; });
        running += (estimators != nullptr ? estimators->isComputing()
                                          : opened->document().isWorkingInBackground())
                       ? 1
                       : 0;
        const auto start = std::chrono::steady_clock::now();
        opened.reset();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    // 1 when every close came while the analysis was still computing.
    state.counters["was_running"] = running / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CloseDuringAnalysis)
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The order of one collection's taxa as the species table sorts them: in the
// store (0) or as copied records (1).
std::vector<RecordId> sortedTaxa(const Store &store, RecordId census, bool copies)
{
    if (!copies)
        return TaxonTableModel::taxaInDisplayOrder(store, census);
    std::vector<Taxon> taxa = store.taxaOfCensus(census);
    std::sort(taxa.begin(), taxa.end(),
              [](const Taxon &a, const Taxon &b) { return taxonDisplayLess(a, b); });
    std::vector<RecordId> ids;
    for (const Taxon &taxon : taxa)
        ids.push_back(taxon.id);
    return ids;
}

// 20 000 taxa in one collection whose order is decided by the abundance (0),
// the name (1) or the record id (2).
Store twentyThousandTaxa(int key)
{
    Store store;
    const RecordId census = store.insertCensus();
    for (int t = 0; t < 20000; ++t) {
        const int shuffled = (t * 7919) % 20000;
        store.insertTaxon(Taxon{.taxonName = key == 2 ? "Globigerina bulloides"
                                                      : "Taxon " + std::to_string(shuffled),
                                .abundance = key == 0 ? shuffled : 12,
                                .census = census});
    }
    return store;
}

void BM_SortSpeciesTable(benchmark::State &state)
{
    const int key = static_cast<int>(state.range(0));
    const bool copies = state.range(1) != 0;
    Store store;
    RecordId census = 0;
    if (key < 0) { // the largest collection of the community document
        store = DocumentFile::load(QFile::encodeName(communityDocumentPath()).toStdString());
        for (const Census &each : store.createArrayOfAllCensuses()) {
            if (census == 0 || store.taxonCountOfCensus(each.id) > store.taxonCountOfCensus(census))
                census = each.id;
        }
    } else {
        store = twentyThousandTaxa(key);
        census = store.createArrayOfAllCensuses().front().id;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(sortedTaxa(store, census, copies));
    state.counters["taxa"] = static_cast<double>(store.taxonCountOfCensus(census));
}
BENCHMARK(BM_SortSpeciesTable)
    ->ArgNames({"key", "copies"})
    ->ArgsProduct({{-1, 0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("QuorvellaBench"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
