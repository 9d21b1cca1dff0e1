#include "plot/RarefactionPlotController.h"

#include "document/Ui.h"
#include "plot/RarefactionPainter.h"
#include "plot/RarefactionView.h"
#include "textio/RarefactionTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
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
    m_savePictureButton = new QToolButton(row);
    m_savePictureButton->setObjectName(QStringLiteral("savePDFButton"));
    m_savePictureButton->setText(tr("Save Picture…"));
    m_savePictureButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_savePictureButton->setPopupMode(QToolButton::MenuButtonPopup);
    connect(m_savePictureButton, &QToolButton::clicked, this,
            &RarefactionPlotController::savePlotAsPDF);
    auto *formats = new QMenu(m_savePictureButton);
    const std::pair<QString, PictureFormat> choices[] = {{tr("Save as PDF…"), PictureFormat::Pdf},
                                                         {tr("Save as PNG…"), PictureFormat::Png},
                                                         {tr("Save as SVG…"), PictureFormat::Svg}};
    for (const auto &[text, format] : choices) {
        connect(formats->addAction(text), &QAction::triggered, this,
                [this, format = format] { savePicture(format); });
    }
    m_savePictureButton->setMenu(formats);
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
    const QString extension = pictureExtension(format);
    const QString path = m_ui->chooseFileToSave(tr("Save Picture"), extension);
    if (path.isEmpty()) {
        return;
    }
    writeFile(path, pictureData(format, m_view->pictureSource(m_collectionName)));
}

void RarefactionPlotController::savePlotDataAsTable()
{
    // The table holds digits, signs, points, commas and "inf"/"nan" only:
    // ASCII by construction.
    const QByteArray table = QByteArray::fromStdString(rarefactionTableText(m_dataPoints));
    const QString path = m_ui->chooseFileToSave(tr("Save Table"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    writeFile(path, table);
}

void RarefactionPlotController::copyPicture()
{
    QApplication::clipboard()->setMimeData(
        pictureMimeData(m_view->pictureSource(m_collectionName)).release());
}

void RarefactionPlotController::printPicture()
{
    const PictureSource source = m_view->pictureSource(m_collectionName);
    m_ui->showPrintPreview(m_collectionName, [&source](QPagedPaintDevice &pages) {
        const QRectF page = pages.pageLayout().paintRectPixels(pages.logicalDpiX());
        if (source.size.isEmpty() || page.isEmpty())
            return;
        // The same picture as on screen, scaled to fit the page.
        const qreal scale =
            std::min(page.width() / source.size.width(), page.height() / source.size.height());
        QPainter painter(&pages);
        painter.scale(scale, scale);
        paintRarefactionPicture(painter, source.size, source.points, source.style);
    });
}

bool RarefactionPlotController::writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
        return true;
    }
    const QString reason = file.errorString();
    file.cancelWriting();
    m_ui->showErrorAlert(tr("The file \"%1\" could not be saved.").arg(QFileInfo(path).fileName()),
                         reason);
    return false;
}

void RarefactionPlotController::closeEvent(QCloseEvent *event)
{
    emit windowWillClose(this);
    QWidget::closeEvent(event);
}

} // namespace quorvella
