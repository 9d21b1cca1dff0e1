#include "plot/RarefactionPlotController.h"

#include "document/Ui.h"
#include "plot/PlotFiles.h"
#include "plot/RarefactionView.h"
#include "textio/RarefactionTable.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPagedPaintDevice>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvella {

RarefactionPlotController::RarefactionPlotController(Ui &ui, QWidget *parent)
    : QWidget(parent, Qt::Window), m_ui(ui.forWindow(this))
{
    setObjectName(QStringLiteral("RarefactionPlotWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_view = new RarefactionView(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(buildButtons());

    auto *copy = new QAction(tr("Copy"), this);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &RarefactionPlotController::copyPicture);
    addAction(copy);

    auto *print = new QAction(tr("Print\u2026"), this);
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &RarefactionPlotController::printPicture);
    addAction(print);

    auto *closeWindow = new QAction(tr("Close"), this);
    closeWindow->setShortcut(QKeySequence::Close);
    connect(closeWindow, &QAction::triggered, this, &QWidget::close);
    addAction(closeWindow);
}

RarefactionPlotController::~RarefactionPlotController() = default;

QWidget *RarefactionPlotController::buildButtons()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);

    m_copyButton = new QPushButton(tr("Copy Picture"), row);
    m_copyButton->setObjectName(QStringLiteral("copyPictureButton"));
    connect(m_copyButton, &QPushButton::clicked, this, &RarefactionPlotController::copyPicture);
    layout->addWidget(m_copyButton);

    m_printButton = new QPushButton(tr("Print\u2026"), row);
    m_printButton->setObjectName(QStringLiteral("printButton"));
    connect(m_printButton, &QPushButton::clicked, this, &RarefactionPlotController::printPicture);
    layout->addWidget(m_printButton);

    m_saveTableButton = new QPushButton(tr("Save Table…"), row);
    m_saveTableButton->setObjectName(QStringLiteral("saveTableButton"));
    connect(m_saveTableButton, &QPushButton::clicked, this,
            &RarefactionPlotController::savePlotDataAsTable);
    layout->addWidget(m_saveTableButton);

    // A click saves a PDF; the arrow offers the other formats.
    m_savePictureButton =
        makeSavePictureButton(row, [this](PictureFormat format) { savePicture(format); });
    layout->addWidget(m_savePictureButton);
    return row;
}

void RarefactionPlotController::setDataPoints(std::vector<Rarefaction> points)
{
    m_dataPoints = std::move(points);
}

void RarefactionPlotController::setCollectionName(const QString &name)
{
    m_collectionName = name;
}

void RarefactionPlotController::showWindow()
{
    m_view->setPoints(m_dataPoints);
    setWindowTitle(m_collectionName);
    show();
    activateWindow();
}

void RarefactionPlotController::savePicture(PictureFormat format)
{
    savePictureWithPanel(*m_ui, format,
                         rarefactionDrawing(m_view->pictureSource(m_collectionName)));
}

void RarefactionPlotController::savePlotDataAsTable()
{
    // The table holds digits, signs, points, commas and "inf"/"nan" only:
    // ASCII by construction.
    saveBytesWithPanel(*m_ui, tr("Save Table"), QStringLiteral("csv"),
                       QByteArray::fromStdString(rarefactionTableText(m_dataPoints)));
}

void RarefactionPlotController::copyPicture()
{
    quorvella::copyPicture(rarefactionDrawing(m_view->pictureSource(m_collectionName)));
}

void RarefactionPlotController::printPicture()
{
    printPictureWithPreview(*m_ui, m_collectionName,
                            rarefactionDrawing(m_view->pictureSource(m_collectionName)));
}

void RarefactionPlotController::closeEvent(QCloseEvent *event)
{
    emit windowWillClose(this);
    QWidget::closeEvent(event);
}

} // namespace quorvella
