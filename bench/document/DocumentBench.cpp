// Targets (a document of 1000 collections and 100 000 taxa):
//   BM_OpenDocument                   under 1 s
//   BM_SelectCollectionOf2000Taxa     under 50 ms per switch
//   BM_MetricsForAllCollections       under 1 s
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bench/document/document_bench

#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "document/TaxonTableModel.h"
#include "store/DocumentFile.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

using namespace quorvella;

namespace {

constexpr int kCollections = 1000;
constexpr int kTaxaPerCollection = 100;
constexpr int kLargeCollectionTaxa = 2000;

// 1000 collections of 100 taxa, plus two collections of 2000 taxa.
Store makeLargeStore()
{
    Store store;
    Store::Batch batch(store);
    auto addCollection = [&store](const std::string &name, int taxa, int seed) {
        Census census;
        census.censusName = name;
        const RecordId id = store.insertCensus(census);
        for (int t = 0; t < taxa; ++t) {
            Taxon taxon;
            taxon.taxonName = "Species " + std::to_string((t * 7 + seed) % 5000);
            taxon.abundance = 1 + (t * 31 + seed * 17) % 50;
            taxon.census = id;
            store.insertTaxon(taxon);
        }
        return id;
    };
    for (int c = 0; c < kCollections; ++c)
        addCollection("Station " + std::to_string(c), kTaxaPerCollection, c);
    addCollection("Large A", kLargeCollectionTaxa, 1);
    addCollection("Large B", kLargeCollectionTaxa, 2);
    return store;
}

const QString &largeDocumentPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("large.qvl"));
        DocumentFile::save(makeLargeStore(), QFile::encodeName(file).toStdString());
        return file;
    }();
    return path;
}

std::unique_ptr<DocumentWindow> openLargeDocument()
{
    auto *document = new MyDocument;
    document->setUi(std::make_shared<ScriptedUi>());
    auto window = std::make_unique<DocumentWindow>(document);
    if (!document->open(largeDocumentPath()))
        return nullptr;
    return window;
}

std::optional<RecordId> censusNamed(MyDocument &document, const std::string &name)
{
    for (const Census &census : document.createArrayOfAllCensuses()) {
        if (census.censusName == name)
            return census.id;
    }
    return std::nullopt;
}

void BM_OpenDocument(benchmark::State &state)
{
    largeDocumentPath();
    for (auto _ : state) {
        auto window = openLargeDocument();
        if (!window) {
            state.SkipWithError("could not open the document");
            return;
        }
        benchmark::DoNotOptimize(window->document().store().taxonCount());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond);

void BM_SelectCollectionOf2000Taxa(benchmark::State &state)
{
    auto window = openLargeDocument();
    MyDocument &document = window->document();
    const auto a = censusNamed(document, "Large A");
    const auto b = censusNamed(document, "Large B");
    window->show();
    QApplication::processEvents();
    bool first = true;
    for (auto _ : state) {
        document.selectCollection(first ? a : b);
        // Let the view lay out and paint the new rows.
        QApplication::processEvents();
        first = !first;
        benchmark::DoNotOptimize(document.taxonModel().rowCount());
    }
}
BENCHMARK(BM_SelectCollectionOf2000Taxa)->Unit(benchmark::kMillisecond);

void BM_MetricsForAllCollections(benchmark::State &state)
{
    auto window = openLargeDocument();
    MyDocument &document = window->document();
    document.selectCollection(censusNamed(document, "Station 1"));
    for (auto _ : state) {
        document.metricsForAllCollections();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MetricsForAllCollections)->Unit(benchmark::kMillisecond);

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
