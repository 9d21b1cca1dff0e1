// The diversity window end to end, from the command to the painted result.
// Targets: the window for the example document's collections in 200 ms; 50
// collections of 20 000 individuals with 50 bootstrap replicates in 3 s,
// the event loop never stalling for more than 100 ms meanwhile.

#include "document/MyDocument.h"
#include "plot/DiversityCommands.h"
#include "plot/DiversityWindow.h"
#include "store/Store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>
#include <string>

using namespace quorvella;

namespace {

// 50 collections of 20 000 individuals: 300 species with log-normal
// abundances, a few of them singletons, fixed seed.
void fillLargeDocument(MyDocument &document)
{
    document.importRecords(QStringLiteral("Fill"), [](Store &store) {
        std::mt19937 random(20140101);
        std::lognormal_distribution<double> weight(0.0, 2.0);
        for (int c = 0; c < 50; ++c) {
            Census census;
            census.censusName = "Collection " + std::to_string(c);
            const RecordId id = store.insertCensus(census);
            std::vector<double> weights(300);
            std::generate(weights.begin(), weights.end(), [&] { return weight(random); });
            std::discrete_distribution<int> species(weights.begin(), weights.end());
            std::vector<std::int32_t> counts(weights.size(), 0);
            for (int i = 0; i < 20000; ++i) {
                ++counts[static_cast<std::size_t>(species(random))];
            }
            for (std::size_t s = 0; s < counts.size(); ++s) {
                if (counts[s] > 0) {
                    Taxon taxon;
                    taxon.taxonName = "Species " + std::to_string(s);
                    taxon.abundance = counts[s];
                    taxon.census = id;
                    store.insertTaxon(taxon);
                }
            }
        }
        return 0;
    });
}

// Opens the window, waits for its first result painted and records the
// longest gap between the ticks of a 5 ms timer meanwhile.
void openAndWait(benchmark::State &state, MyDocument &document)
{
    DiversityCommands commands(document);
    double longestStallMs = 0.0;
    for (auto _ : state) {
        QEventLoop loop;
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
            longestStallMs = std::max(longestStallMs, double(sinceTick.restart()));
        });
        DiversityWindow *window = commands.openDiversityWindow(
            DiversityCommands::chosenCollections(document), DiversityDataType::Abundance);
        QObject::connect(window, &DiversityWindow::resultShown, &loop, [&] {
            window->repaint();
            loop.quit();
        });
        sinceTick.start();
        ticker.start();
        loop.exec();
        state.PauseTiming();
        commands.closeAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["longestStallMs"] = longestStallMs;
}

void BM_ExampleDocumentWindow(benchmark::State &state)
{
    MyDocument document;
    if (!document.open(QStringLiteral(QUORVELLA_EXAMPLES "/forams.qvl"))) {
        state.SkipWithError("the example document could not be opened");
        return;
    }
    openAndWait(state, document);
}
BENCHMARK(BM_ExampleDocumentWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FiftyCollectionsOf20000(benchmark::State &state)
{
    MyDocument document;
    fillLargeDocument(document);
    openAndWait(state, document);
}
BENCHMARK(BM_FiftyCollectionsOf20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
