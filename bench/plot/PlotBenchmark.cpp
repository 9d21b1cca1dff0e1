// The rarefaction commands end to end on a large document: from the command
// to its plot window painted. Target: the pooled curve of 1000 collections
// holding 100 000 taxa in under 1 s.

#include "document/MyDocument.h"
#include "plot/RarefactionCommands.h"
#include "plot/RarefactionPlotController.h"
#include "store/Store.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <random>
#include <string>

using namespace quorvella;

namespace {

constexpr int collectionCount = 1000;
constexpr int taxaPerCollection = 100;
constexpr int speciesPoolSize = 5000;

// 1000 collections of 100 taxa each, drawn from 5000 species names, with
// abundances 1..50: about 2.5 million specimens in all.
void fillLargeDocument(MyDocument &document)
{
    document.importRecords(QStringLiteral("Fill"), [](Store &store) {
        std::mt19937 random(12345);
        std::uniform_int_distribution<int> species(0, speciesPoolSize - 1);
        std::uniform_int_distribution<std::int32_t> abundance(1, 50);
        for (int c = 0; c < collectionCount; ++c) {
            Census census;
            census.censusName = "Collection " + std::to_string(c);
            const RecordId id = store.insertCensus(census);
            for (int t = 0; t < taxaPerCollection; ++t) {
                Taxon taxon;
                taxon.taxonName = "Species " + std::to_string(species(random));
                taxon.abundance = abundance(random);
                taxon.census = id;
                store.insertTaxon(taxon);
            }
        }
        return 0;
    });
}

void runCommand(benchmark::State &state, void (RarefactionCommands::*command)())
{
    MyDocument document;
    fillLargeDocument(document);
    RarefactionCommands commands(document);
    QObject::connect(&commands, &RarefactionCommands::plotWindowOpened, &commands,
                     [](RarefactionPlotController *plot) { plot->repaint(); });
    for (auto _ : state) {
        (commands.*command)();
        state.PauseTiming();
        commands.closeAllPlotWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["points"] = static_cast<double>(commands.rarefactionArray().size());
}

void BM_PooledCurveOfAllCollections(benchmark::State &state)
{
    runCommand(state, &RarefactionCommands::individualBasedRarefactionForAllCollections);
}
BENCHMARK(BM_PooledCurveOfAllCollections)->Unit(benchmark::kMillisecond);

void BM_SampleBasedCurve(benchmark::State &state)
{
    runCommand(state, &RarefactionCommands::doSampleBasedRarefaction);
}
BENCHMARK(BM_SampleBasedCurve)->Unit(benchmark::kMillisecond);

void BM_Chao2(benchmark::State &state)
{
    runCommand(state, &RarefactionCommands::doChao2);
}
BENCHMARK(BM_Chao2)->Unit(benchmark::kMillisecond);

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
