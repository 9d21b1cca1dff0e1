#pragma once

// The rarefaction and Chao-2 commands of one document, and the plot windows
// they open:
//   doRarefaction                 the selected collection's individual-based curve
//   individualBasedRarefactionForAllCollections   the pooled collections' curve
//   doSampleBasedRarefaction      the sample-based curve, and Chao-2
//   doChao2                       Chao-2 in the document's Chao-2 field
// Each command reads the document afresh, runs under the document's busy
// indicator, and opens a new window per curve. The three on the group of
// all collections copy its taxa and, for a large document, compute on
// another thread with progress and Cancel in the document's window. The commands keep the list of
// open plot windows; a window leaves it when it closes, and all close with the document's window.
//
// attach() builds the commands for a document window and connects its
// toolbar items; the application's menu reaches them with of(window), which
// attaches them on first use.

#include "analysis/Rarefaction.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace quorvella {

class DocumentWindow;
class EcoCollectionGroup;
class MyDocument;
class RarefactionPlotController;

class RarefactionCommands : public QObject
{
    Q_OBJECT
public:
    // The commands of document; a child of parent (usually its window).
    explicit RarefactionCommands(MyDocument &document, QObject *parent = nullptr);
    // Closes every plot window still open.
    ~RarefactionCommands() override;

    // Creates the commands of a document window, connects its toolbar items
    // "Individual Rarefaction", "Calculate Chao-2" and "Sample Rarefaction",
    // and closes the plot windows when the document window closes.
    static RarefactionCommands *attach(DocumentWindow &window);
    // The commands attached to a window, or nullptr.
    static RarefactionCommands *forWindow(const QWidget *window);
    // The commands of a window, attached now if they were not yet.
    static RarefactionCommands &of(DocumentWindow &window);

    // How a command commits the cell being edited before it reads the
    // document (the window's endEditing); a refused value stops the command.
    void setEndEditing(std::function<bool()> endEditing) { m_endEditing = std::move(endEditing); }

    void doRarefaction();
    void individualBasedRarefactionForAllCollections();
    void doSampleBasedRarefaction();
    void doChao2();

    // Opens a new plot window for a curve under a title.
    void plotRarefactionCurve(std::vector<Rarefaction> curve, const QString &title);

    // The open plot windows, oldest first.
    const std::vector<RarefactionPlotController *> &rarefactionPlotControllers() const
    {
        return m_rarefactionPlotControllers;
    }
    // The most recent curve of any of the three rarefaction commands.
    const std::vector<Rarefaction> &rarefactionArray() const { return m_rarefactionArray; }

    void closeAllPlotWindows();

signals:
    // A plot window was opened (after it is shown).
    void plotWindowOpened(RarefactionPlotController *controller);

private:
    // Plots curve under title, or tells the user why there is nothing to plot.
    void plotOrExplain(std::vector<Rarefaction> curve, const QString &title,
                       const QString &failureMessage, const QString &emptyExplanation);
    // What a command on the group of all collections found: a curve, or
    // why there is none, and the group's Chao-2.
    struct GroupResult
    {
        std::optional<std::vector<Rarefaction>> curve;
        QString refusal;
        double chao2 = 0;
    };
    // Reads the group of all collections from the document and runs compute
    // on it (on another thread for a large document, with progress and
    // Cancel in the window), then deliver here; alerts under failed when the
    // document holds no taxon. indicateBusy: a small document's computation
    // here shows the busy indicator. Cancel, in the reading's wait or in the
    // window, and closing the document stop the work within a collection or
    // a point of the curve (compute passes the flag on to what it runs).
    using GroupComputation =
        std::function<GroupResult(EcoCollectionGroup &, const std::atomic<bool> &cancel)>;
    void runOnGroup(const QString &failed, GroupComputation compute,
                    std::function<void(GroupResult &)> deliver, bool indicateBusy = true);
    // Plots the result's curve, or alerts under failed with its refusal.
    void plotGroupResult(GroupResult &result, const QString &failed,
                         const QString &emptyExplanation);
    void forgetController(RarefactionPlotController *controller);
    bool endEditing() const { return !m_endEditing || m_endEditing(); }

    MyDocument &m_document;
    std::vector<RarefactionPlotController *> m_rarefactionPlotControllers;
    std::vector<Rarefaction> m_rarefactionArray;
    std::function<bool()> m_endEditing;
};

} // namespace quorvella
