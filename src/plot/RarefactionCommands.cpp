#include "plot/RarefactionCommands.h"

#include "analysis/EcoCollection.h"
#include "analysis/EcoCollectionGroup.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ToolbarItem.h"
#include "document/Ui.h"
#include "plot/Chao2Text.h"
#include "plot/DocumentWindowClosing.h"
#include "plot/RarefactionPlotController.h"

#include <QAction>
#include <algorithm>
#include <new>
#include <stdexcept>

namespace quorvella {

namespace {

const QString allCollectionsTitle = QStringLiteral("All Collections");
const QString addCollectionsAndTaxa = QStringLiteral("Add collections and taxa.");
const QString noSpecimens =
    QStringLiteral("There are no specimens to count: enter abundances for the included taxa.");

// Brackets a long command with the document's busy indicator.
class BusyScope
{
public:
    explicit BusyScope(MyDocument &document) : m_document(document) { m_document.beginBusy(); }
    ~BusyScope() { m_document.endBusy(); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    MyDocument &m_document;
};

// Runs a computation that may refuse its input (a census larger than
// rarefaction handles) or run out of memory; on failure tells the user
// under message and gives back nothing.
template <typename Compute>
std::optional<std::vector<Rarefaction>> computeCurve(Ui &ui, const QString &message,
                                                     Compute &&compute)
{
    try {
        return compute();
    } catch (const std::invalid_argument &refusal) {
        ui.showAlert(message, QString::fromUtf8(refusal.what()));
    } catch (const std::bad_alloc &) {
        ui.showAlert(message, QStringLiteral("There is not enough memory for this rarefaction."));
    }
    return std::nullopt;
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
    BusyScope busy(m_document);
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
    BusyScope busy(m_document);
    std::optional<EcoCollectionGroup> group = m_document.makeEcoCollectionGroup();
    if (!group) {
        m_document.ui().showAlert(failed, addCollectionsAndTaxa);
        return;
    }
    // The pool counts every taxon of every collection, included or not.
    auto curve = computeCurve(m_document.ui(), failed, [&] {
        return EcoCollection::initFromAbundanceArray(group->createSummedAbundanceList())
            .individualBasedRarefactionCurve();
    });
    if (curve) {
        plotOrExplain(std::move(*curve), allCollectionsTitle, failed, noSpecimens);
    }
}

void RarefactionCommands::doSampleBasedRarefaction()
{
    if (!endEditing()) {
        return;
    }
    const QString failed = QStringLiteral("Sample-based rarefaction could not be performed");
    BusyScope busy(m_document);
    std::optional<EcoCollectionGroup> group = m_document.makeEcoCollectionGroup();
    if (!group) {
        m_document.ui().showAlert(failed, addCollectionsAndTaxa);
        return;
    }
    auto curve =
        computeCurve(m_document.ui(), failed, [&] { return group->sampleBasedRarefactionCurve(); });
    if (!curve) {
        return;
    }
    plotOrExplain(std::move(*curve), allCollectionsTitle, failed, addCollectionsAndTaxa);
    // Computed with the curve; now read from the group's cache.
    m_document.setChao2Text(chao2Text(static_cast<double>(group->chao2())));
}

void RarefactionCommands::doChao2()
{
    if (!endEditing()) {
        return;
    }
    std::optional<EcoCollectionGroup> group = m_document.makeEcoCollectionGroup();
    if (!group) {
        m_document.ui().showAlert(QStringLiteral("Chao2 could not be calculated"),
                                  addCollectionsAndTaxa);
        return;
    }
    m_document.setChao2Text(chao2Text(static_cast<double>(group->chao2())));
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
