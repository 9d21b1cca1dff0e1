#pragma once

// One "Compare Diversity" window: Hill-number curves of chosen collections
// (or of the document's collections as sampling units), the table at a
// common size or coverage, and their files. It reads its document's store
// whenever a choice or the data change and computes in the background; the
// window always shows the last finished result. It deletes itself when
// closed and says so first with windowWillClose.

#include "analysis/HillNumbers.h"
#include "plot/PictureExport.h"
#include "store/RecordId.h"
#include "store/Store.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTabWidget;

namespace quorvella {

class CommonDiversityModel;
class DiversityControls;
class DiversityView;
class DiversityWorker;
class MyDocument;
class Ui;
struct DiversitySettings;

class DiversityWindow : public QWidget
{
    Q_OBJECT
public:
    // The collections compared as abundance samples, in this order; with
    // Incidence the document's collections are the units instead.
    DiversityWindow(MyDocument &document, std::vector<RecordId> collections,
                    DiversityDataType dataType, QWidget *parent = nullptr);
    ~DiversityWindow() override;

    // Reads the document and starts a computation now (superseding one).
    void requestComputation();
    // Abandons the running computation; the shown result stays.
    void cancelComputation();

    void savePicture(PictureFormat format);
    void copyPicture();
    void printPicture();
    // The long comma-separated table of quorvella-cli diversity.
    void saveTable();
    // The "Diversity at a common size or coverage" table as CSV.
    void exportCommonTable();

    PictureDrawing drawing() const;
    DiversitySettings settings() const;
    QString titleText() const;

    DiversityControls &controls() const { return *m_controls; }
    DiversityView &view() const { return *m_view; }
    DiversityWorker &worker() const { return *m_worker; }
    CommonDiversityModel &commonModel() const { return *m_commonModel; }
    QTableView *commonTable() const { return m_commonTable; }
    QString statusText() const;

signals:
    void windowWillClose(DiversityWindow *window);
    // A result was put on screen.
    void resultShown();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildProgressRow();
    QWidget *buildCommonTab();
    QWidget *buildButtons();
    void scheduleComputation();
    void showResult();
    void showPicture();
    void showFailure(const QString &message);
    void updateTitle();

    QPointer<MyDocument> m_document;
    // The document's dialogs, modal to this window.
    std::unique_ptr<Ui> m_ui;
    std::vector<RecordId> m_collections;
    Store::ObserverId m_observer = 0;
    DiversityControls *m_controls = nullptr;
    DiversityView *m_view = nullptr;
    QTabWidget *m_tabs = nullptr;
    CommonDiversityModel *m_commonModel = nullptr;
    QTableView *m_commonTable = nullptr;
    QComboBox *m_commonBasis = nullptr;
    QDoubleSpinBox *m_commonValue = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancel = nullptr;
    QLabel *m_status = nullptr;
    DiversityWorker *m_worker = nullptr;
    QTimer m_debounce;
};

} // namespace quorvella
