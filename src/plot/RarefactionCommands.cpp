#include "plot/RarefactionCommands.h"

#include "analysis/Cancellation.h"
#include "analysis/EcoCollection.h"
#include "analysis/EcoCollectionGroup.h"
#include "document/BackgroundTask.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ToolbarItem.h"
#include "document/Ui.h"
#include "plot/Chao2Text.h"
#include "plot/DocumentWindowClosing.h"
#include "plot/RarefactionPlotController.h"
#include "store/AnalysisInput.h"

#include <QAction>
#include <QPointer>
#include <algorithm>
#include <new>
#include <stdexcept>

namespace quorvella {

namespace {

const QString allCollectionsTitle = QStringLiteral("All Collections");
const QString addCollectionsAndTaxa = QStringLiteral("Add collections and taxa.");
const QString noSpecimens =
    QStringLiteral("There are no specimens to count: enter abundances for the included taxa.");

// Runs a computation that may refuse its input (a census larger than
// rarefaction handles) or run out of memory; gives back nothing then, and
// the reason in refusal (the computation may run away from the window).
template <typename Compute>
std::optional<std::vector<Rarefaction>> curveOrRefusal(QString &refusal, Compute &&compute)
{
    try {
        return compute();
    } catch (const std::invalid_argument &error) {
        refusal = QString::fromUtf8(error.what());
    } catch (const std::bad_alloc &) {
        refusal = QStringLiteral("There is not enough memory for this rarefaction.");
    }
    return std::nullopt;
}

// The same, telling the user under message why there is no curve.
template <typename Compute>
std::optional<std::vector<Rarefaction>> computeCurve(Ui &ui, const QString &message,
                                                     Compute &&compute)
{
    QString refusal;
    std::optional<std::vector<Rarefaction>> curve = curveOrRefusal(refusal, compute);
    if (!curve) {
        ui.showAlert(message, refusal);
    }
    return curve;
}

} // namespace

RarefactionCommands::RarefactionCommands(MyDocument &document, QObject *parent)
    : QObject(parent), m_document(document)
{
    setObjectName(QStringLiteral("rarefactionCommands"));
}

RarefactionCommands::~RarefactionCommands()
{
    // The document may be gone already: only the windows are touched here.
    const auto controllers = m_rarefactionPlotControllers;
    m_rarefactionPlotControllers.clear();
    for (RarefactionPlotController *controller : controllers) {
        disconnect(controller, nullptr, this, nullptr);
        delete controller;
    }
}

RarefactionCommands *RarefactionCommands::attach(DocumentWindow &window)
{
    auto *commands = new RarefactionCommands(window.document(), &window);
    // A number still being typed counts in the curve it is typed for.
    commands->setEndEditing([&window] { return window.endEditing(); });
    connect(window.action(ToolbarItem::IndividualRarefaction), &QAction::triggered, commands,
            &RarefactionCommands::doRarefaction);
    connect(window.action(ToolbarItem::Chao2), &QAction::triggered, commands,
            &RarefactionCommands::doChao2);
    connect(window.action(ToolbarItem::SampleRarefaction), &QAction::triggered, commands,
            &RarefactionCommands::doSampleBasedRarefaction);
    whenDocumentWindowCloses(window, commands, [commands] { commands->closeAllPlotWindows(); });
    return commands;
}

RarefactionCommands *RarefactionCommands::forWindow(const QWidget *window)
{
    if (window == nullptr) {
        return nullptr;
    }
    return window->findChild<RarefactionCommands *>(QStringLiteral("rarefactionCommands"),
                                                    Qt::FindDirectChildrenOnly);
}

RarefactionCommands &RarefactionCommands::of(DocumentWindow &window)
{
    RarefactionCommands *commands = forWindow(&window);
    return commands != nullptr ? *commands : *attach(window);
}

void RarefactionCommands::doRarefaction()
{
    if (!endEditing()) {
        return;
    }
    const QString failed = QStringLiteral("Rarefaction could not be plotted");
    const MyDocument::BusyScope busy(m_document);
    const std::vector<TaxonEntry> taxa = m_document.selectedCollectionTaxonEntries();
    if (taxa.empty()) {
        m_document.ui().showAlert(failed,
                                  QStringLiteral("Select a collection to run a rarefaction."));
        return;
    }
    auto curve = computeCurve(m_document.ui(), failed, [&] {
        return EcoCollection::initWithTaxonArray(taxa).individualBasedRarefactionCurve();
    });
    if (curve) {
        plotOrExplain(std::move(*curve), m_document.selectedCollectionName(), failed, noSpecimens);
    }
}

void RarefactionCommands::individualBasedRarefactionForAllCollections()
{
    if (!endEditing()) {
        return;
    }
    const QString failed = QStringLiteral("Individual-based rarefaction could not be performed");
    // The pool counts every taxon of every collection, included or not.
    runOnGroup(
        failed,
        [](EcoCollectionGroup &group, const std::atomic<bool> &cancel) {
            GroupResult result;
            result.curve = curveOrRefusal(result.refusal, [&] {
                return EcoCollection::initFromAbundanceArray(group.createSummedAbundanceList())
                    .individualBasedRarefactionCurve(&cancel);
            });
            return result;
        },
        [this, failed](GroupResult &result) { plotGroupResult(result, failed, noSpecimens); });
}

void RarefactionCommands::doSampleBasedRarefaction()
{
    if (!endEditing()) {
        return;
    }
    const QString failed = QStringLiteral("Sample-based rarefaction could not be performed");
    runOnGroup(
        failed,
        [](EcoCollectionGroup &group, const std::atomic<bool> &) {
            GroupResult result;
            result.curve =
                curveOrRefusal(result.refusal, [&] { return group.sampleBasedRarefactionCurve(); });
            // Computed with the curve; now read from the group's cache.
            result.chao2 = static_cast<double>(group.chao2());
            return result;
        },
        [this, failed](GroupResult &result) {
            const bool computed = result.curve.has_value();
            plotGroupResult(result, failed, addCollectionsAndTaxa);
            if (computed) {
                m_document.setChao2Text(chao2Text(result.chao2));
            }
        });
}

void RarefactionCommands::doChao2()
{
    if (!endEditing()) {
        return;
    }
    runOnGroup(
        QStringLiteral("Chao2 could not be calculated"),
        [](EcoCollectionGroup &group, const std::atomic<bool> &) {
            GroupResult result;
            result.chao2 = static_cast<double>(group.chao2());
            return result;
        },
        [this](GroupResult &result) { m_document.setChao2Text(chao2Text(result.chao2)); }, false);
}

void RarefactionCommands::runOnGroup(const QString &failed, GroupComputation compute,
                                     std::function<void(GroupResult &)> deliver, bool indicateBusy)
{
    const Store &store = m_document.store();
    if (store.taxonCount() == 0) {
        m_document.ui().showAlert(failed, addCollectionsAndTaxa);
        return;
    }
    // The group's taxa are copied here; the group is made and computed on
    // from that copy, so the document may change meanwhile.
    auto taxa = std::make_shared<std::optional<GroupTaxa>>();
    if (!m_document.readRecordsWhileWaiting(QStringLiteral("Reading the collections\u2026"),
                                            [taxa, &store](const std::atomic<bool> &stop) {
                                                *taxa = groupTaxaOfStore(store, &stop);
                                            })) {
        return; // cancelled
    }
    auto result = std::make_shared<GroupResult>();
    const auto work = [taxa, result, compute](BackgroundProgress &progress) {
        // Cancel and closing the document set the flag: the group looks at
        // it between collections, the curves between points.
        try {
            EcoCollectionGroup group(std::move(**taxa));
            group.stopWhenSet(&progress.cancelled);
            *result = compute(group, progress.cancelled);
        } catch (const ComputationCancelled &) {
            // A cancelled run reports nothing.
        }
    };
    if (store.taxonCount() <= MyDocument::backgroundMetricsTaxa) {
        // Chao-2 alone is quick enough to show no busy indicator.
        std::optional<MyDocument::BusyScope> busy;
        if (indicateBusy) {
            busy.emplace(m_document);
        }
        BackgroundProgress progress;
        work(progress);
        deliver(*result);
        return;
    }
    m_document.runAnalysisInBackground(work, [commands = QPointer(this), result, deliver] {
        if (commands) {
            deliver(*result);
        }
    });
}

void RarefactionCommands::plotGroupResult(GroupResult &result, const QString &failed,
                                          const QString &emptyExplanation)
{
    if (!result.curve) {
        m_document.ui().showAlert(failed, result.refusal);
        return;
    }
    plotOrExplain(std::move(*result.curve), allCollectionsTitle, failed, emptyExplanation);
}

void RarefactionCommands::plotOrExplain(std::vector<Rarefaction> curve, const QString &title,
                                        const QString &failureMessage,
                                        const QString &emptyExplanation)
{
    // A curve without points would open an empty window: say why instead.
    if (curve.empty()) {
        m_document.ui().showAlert(failureMessage, emptyExplanation);
        return;
    }
    m_rarefactionArray = curve;
    plotRarefactionCurve(std::move(curve), title);
}

void RarefactionCommands::plotRarefactionCurve(std::vector<Rarefaction> curve, const QString &title)
{
    auto *controller = new RarefactionPlotController(m_document.ui());
    m_rarefactionPlotControllers.push_back(controller);
    connect(controller, &RarefactionPlotController::windowWillClose, this,
            &RarefactionCommands::forgetController);
    connect(controller, &QObject::destroyed, this,
            [this, controller] { forgetController(controller); });
    controller->setDataPoints(std::move(curve));
    controller->setCollectionName(title);
    controller->showWindow();
    emit plotWindowOpened(controller);
}

void RarefactionCommands::closeAllPlotWindows()
{
    const auto controllers = m_rarefactionPlotControllers;
    for (RarefactionPlotController *controller : controllers) {
        controller->close();
    }
}

void RarefactionCommands::forgetController(RarefactionPlotController *controller)
{
    std::erase(m_rarefactionPlotControllers, controller);
}

} // namespace quorvella
