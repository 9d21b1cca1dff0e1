#pragma once

// One rarefaction plot window: the curve's view, and buttons that save the
// picture (PDF by default, PNG or SVG from the button's menu), save the
// curve's numbers as a table, and copy the picture to the clipboard.
//
// The creator hands over the points and the title, then shows the window;
// the data never change afterwards. The window deletes itself when closed
// and says so with windowWillClose first, so its owner can drop it.

#include "analysis/Rarefaction.h"
#include "plot/PictureExport.h"

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QToolButton;
class QPushButton;

namespace quorvella {

class RarefactionView;
class Ui;

class RarefactionPlotController : public QWidget
{
    Q_OBJECT
public:
    // Save panels and failure alerts go through ui, which must outlive the
    // window; they are modal to this window, not to the document's.
    explicit RarefactionPlotController(Ui &ui, QWidget *parent = nullptr);
    ~RarefactionPlotController() override;

    const std::vector<Rarefaction> &dataPoints() const { return m_dataPoints; }
    void setDataPoints(std::vector<Rarefaction> points);
    QString collectionName() const { return m_collectionName; }
    void setCollectionName(const QString &name);

    // Hands the points to the view, titles the window and shows it.
    void showWindow();

    RarefactionView &rarefactionView() const { return *m_view; }

    // The button actions. Cancelling a panel writes nothing; a failed write
    // shows an alert with the system's reason and leaves the window as it was.
    void savePlotAsPDF() { savePicture(PictureFormat::Pdf); }
    void savePicture(PictureFormat format);
    void savePlotDataAsTable();
    void copyPicture();
    // The picture, as large as the page allows, in a print preview.
    void printPicture();

signals:
    void windowWillClose(RarefactionPlotController *controller);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildButtons();

    std::unique_ptr<Ui> m_ui;
    RarefactionView *m_view = nullptr;
    QToolButton *m_savePictureButton = nullptr;
    QPushButton *m_saveTableButton = nullptr;
    QPushButton *m_copyButton = nullptr;
    QPushButton *m_printButton = nullptr;
    std::vector<Rarefaction> m_dataPoints;
    QString m_collectionName;
};

} // namespace quorvella
