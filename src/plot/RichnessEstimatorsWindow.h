#pragma once

// The Richness Estimators window of one document: the estimators of every
// collection and of the group, recomputed whenever the document's records
// change or the confidence level preference does, with Copy (tab-separated
// text for a spreadsheet) and Export CSV.
//
// One window per document window, a child of it, so it closes with it;
// showFor() opens it or brings it forward.

#include "analysis/RichnessEstimates.h"
#include "store/Store.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

namespace quorvella {

class BackgroundTask;
class CollectionEstimatesModel;
class DocumentWindow;
class GroupEstimatesModel;
class MyDocument;

class RichnessEstimatorsWindow final : public QWidget
{
    Q_OBJECT
public:
    RichnessEstimatorsWindow(MyDocument &document, QWidget *parent = nullptr);
    ~RichnessEstimatorsWindow() override;

    // The window of a document window, made and shown on first use.
    static RichnessEstimatorsWindow &showFor(DocumentWindow &window);

    const RichnessEstimates &estimates() const { return m_estimates; }
    QTableView &collectionsTable() const { return *m_collectionsTable; }
    QTableView &groupTable() const { return *m_groupTable; }
    QString groupCaption() const;

    // Reads the document and the confidence level afresh. A large document
    // (more than MyDocument::backgroundMetricsTaxa taxa) is computed on
    // another thread, with a progress bar and Cancel; the tables keep the
    // last finished estimates meanwhile.
    void refresh();
    bool isComputing() const;
    void copyTables();
    // Refuses names outside ASCII like the other exports, then asks where
    // to write; cancelling writes nothing, a failure is shown as an alert.
    void exportCsv();

private:
    QWidget *buildButtons();
    void showEstimates(RichnessEstimates estimates);
    void cancelComputation();
    void showCancelled();

    QPointer<MyDocument> m_document;
    Store::ObserverId m_observerId = 0;
    QTimer m_refreshTimer; // gathers a burst of changes into one refresh
    RichnessEstimates m_estimates;
    CollectionEstimatesModel *m_collectionsModel = nullptr;
    GroupEstimatesModel *m_groupModel = nullptr;
    QTableView *m_collectionsTable = nullptr;
    QTableView *m_groupTable = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancel = nullptr;
    std::unique_ptr<BackgroundTask> m_task;
    QLabel *m_groupCaption = nullptr;
};

} // namespace quorvella
