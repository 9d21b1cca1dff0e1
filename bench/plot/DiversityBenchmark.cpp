// The diversity window end to end, from the command to the painted result.
// Targets: the window for the example document's collections in 200 ms; 50
// collections of 20 000 individuals with 50 bootstrap replicates in 3 s,
// the event loop never stalling for more than 100 ms meanwhile. A picture of
// 1000 collections' curves saved, copied or printed without a stall over
// 100 ms (the drawing runs on another thread behind a progress wait).

#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "plot/DiversityCommands.h"
#include "plot/DiversityView.h"
#include "plot/DiversityWindow.h"
#include "plot/PlotFiles.h"
#include "store/Store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
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

// Three panels of 1000 curves of 40 points each, with bands, reaching
// 300 000 individuals.
DiversityPicture thousandCurvePicture()
{
    DiversityPicture picture;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> reach(0.3, 1.0);
    for (int q = 0; q < 3; ++q) {
        DiversityPanel panel;
        panel.title = QStringLiteral("q = %1").arg(q);
        panel.xTitle = QStringLiteral("Number of individuals");
        panel.yTitle = QStringLiteral("Species diversity");
        for (int c = 0; c < 1000; ++c) {
            CurveSeries series;
            series.name = QStringLiteral("Collection %1").arg(c);
            const double end = 300000.0 * reach(random);
            const double height = 2000.0 * reach(random) / (q + 1);
            for (int i = 1; i <= 40; ++i) {
                const double x = end * i / 40.0;
                const double y = height * std::log1p(x / 1000.0) / std::log1p(end / 1000.0);
                series.points.push_back({x, y, 0.9 * y, 1.1 * y,
                                         i < 20    ? CurvePart::Interpolated
                                         : i == 20 ? CurvePart::Reference
                                                   : CurvePart::Extrapolated});
            }
            panel.series.push_back(std::move(series));
        }
        picture.panels.push_back(std::move(panel));
    }
    return picture;
}

// Save as PDF, PNG, SVG (first argument 0, 1, 2), Copy (3) and Print (4) of
// that picture at the window's size, with the longest stall of the event
// loop; second argument 1: once the view has drawn it, 0: while the view is
// still drawing it.
void BM_ThousandCurvePicture(benchmark::State &state)
{
    DiversityView view;
    view.resize(960, 440);
    view.setPicture(thousandCurvePicture());
    const bool waitForView = state.range(1) != 0;
    while (waitForView && view.isRendering()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    QTemporaryDir dir;
    ScriptedUi ui;
    double longestStallMs = 0.0;
    for (auto _ : state) {
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestStallMs = std::max(longestStallMs, double(sinceTick.restart()));
        });
        sinceTick.start();
        ticker.start();
        const PictureDrawing drawing = view.drawing(QStringLiteral("Diversity"));
        const auto format = static_cast<int>(state.range(0));
        if (format < 3) {
            ui.savePaths.enqueue(dir.filePath(QStringLiteral("picture")));
            savePictureWithPanel(ui, static_cast<PictureFormat>(format), drawing);
        } else if (format == 3) {
            copyPicture(drawing);
        } else {
            printPictureWithPreview(ui, QStringLiteral("Diversity"), drawing);
        }
        longestStallMs = std::max(longestStallMs, double(sinceTick.elapsed()));
    }
    state.counters["longestStallMs"] = longestStallMs;
}
BENCHMARK(BM_ThousandCurvePicture)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

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
