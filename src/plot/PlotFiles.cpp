#include "plot/PlotFiles.h"

#include "document/Ui.h"
#include "document/WaitWithProgress.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPicture>
#include <QSaveFile>
#include <QToolButton>
#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>

namespace quorvella {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("PlotFiles", text);
}

// What draw makes of the drawing: at once for a quick picture; for a
// drawing that takes long, on another thread behind a progress wait the
// user can cancel (nothing then). The thread keeps its own copy of the
// drawing, as a cancelled drawing runs on to its end unseen; draw is told
// through `abandoned`, so it can leave out what it would have changed.
template <typename Result, typename Draw>
std::optional<Result> drawnWhileWaiting(const PictureDrawing &drawing, Draw draw)
{
    if (!drawing.drawsLong) {
        const std::atomic<bool> kept{false};
        return draw(drawing, kept);
    }
    auto copy = std::make_shared<const PictureDrawing>(drawing);
    auto result = std::make_shared<Result>();
    auto abandoned = std::make_shared<std::atomic<bool>>(false);
    if (!runWhileWaiting(translated("Drawing the picture\u2026"),
                         [copy, result, abandoned, draw] { *result = draw(*copy, *abandoned); })) {
        *abandoned = true;
        return std::nullopt;
    }
    return std::move(*result);
}

struct ClipboardForms
{
    QImage image;
    QByteArray pdf;
    QByteArray svg;
};

// The drawing as the printer gets it. A drawing that takes long is drawn
// on another thread into an image of one and a half times its size (about
// 190 dots per inch across a page: its thin lines stay smooth on paper, in
// a little over half the time of twice the size), which the print preview
// and the printer only place: replaying the drawing itself there would hold
// the window for as long as drawing it, at every turn of the preview.
constexpr qreal printedPixelRatio = 1.5;

std::optional<PictureDrawing> drawingForPrinting(const PictureDrawing &drawing)
{
    if (!drawing.drawsLong) {
        return drawing;
    }
    auto image = drawnWhileWaiting<QImage>(
        drawing, [](const PictureDrawing &away, const std::atomic<bool> &) {
            PictureDrawing sharp = away;
            sharp.devicePixelRatio = printedPixelRatio;
            return pictureImage(sharp);
        });
    if (!image) {
        return std::nullopt;
    }
    PictureDrawing placed = drawing;
    placed.paint = [image = std::move(*image)](QPainter &painter, QSizeF size) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(QPointF(0, 0), size), image);
    };
    placed.drawsLong = false;
    return placed;
}

// Writes bytes to path all at once (temporary file, then rename); the
// system's reason when that fails, nothing when it worked. Any thread.
// A write abandoned before its rename leaves the old file and no other.
std::optional<QString> writeFileAtomically(const QString &path, const QByteArray &bytes,
                                           const std::atomic<bool> *abandoned = nullptr)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) {
        if (abandoned != nullptr && *abandoned) {
            file.cancelWriting();
            file.commit(); // removes the temporary file
            return std::nullopt;
        }
        if (file.commit()) {
            return std::nullopt;
        }
    }
    const QString reason = file.errorString();
    file.cancelWriting();
    return reason;
}

void explainUnsaved(Ui &ui, const QString &path, const QString &reason)
{
    ui.showErrorAlert(
        translated("The file \"%1\" could not be saved.").arg(QFileInfo(path).fileName()), reason);
}

} // namespace

bool writeFileOrExplain(Ui &ui, const QString &path, const QByteArray &bytes)
{
    if (const std::optional<QString> reason = writeFileAtomically(path, bytes)) {
        explainUnsaved(ui, path, *reason);
        return false;
    }
    return true;
}

void saveBytesWithPanel(Ui &ui, const QString &panelTitle, const QString &extension,
                        const QByteArray &bytes)
{
    const QString path = ui.chooseFileToSave(panelTitle, extension);
    if (!path.isEmpty()) {
        writeFileOrExplain(ui, path, bytes);
    }
}

void savePictureWithPanel(Ui &ui, PictureFormat format, const PictureDrawing &drawing)
{
    const QString path = ui.chooseFileToSave(translated("Save Picture"), pictureExtension(format));
    if (path.isEmpty()) {
        return;
    }
    // A long drawing's file is written on its thread too: the bytes of a
    // thousand curves take a while to reach the disk.
    const std::optional<std::optional<QString>> failure = drawnWhileWaiting<std::optional<QString>>(
        drawing, [format, path](const PictureDrawing &away, const std::atomic<bool> &abandoned) {
            return writeFileAtomically(path, pictureData(format, away), &abandoned);
        });
    if (failure && *failure) {
        explainUnsaved(ui, path, **failure);
    }
}

void copyPicture(const PictureDrawing &drawing)
{
    if (!drawing.drawsLong) {
        QApplication::clipboard()->setMimeData(pictureMimeData(drawing).release());
        return;
    }
    // The three forms are drawn away; the mime data is made here, where the
    // clipboard lives.
    const std::optional<ClipboardForms> forms = drawnWhileWaiting<ClipboardForms>(
        drawing, [](const PictureDrawing &away, const std::atomic<bool> &) {
            return ClipboardForms{pictureImage(away), picturePdf(away), pictureSvg(away)};
        });
    if (forms) {
        QApplication::clipboard()->setMimeData(
            pictureMimeData(forms->image, forms->pdf, forms->svg).release());
    }
}

void printPictureWithPreview(Ui &ui, const QString &title, const PictureDrawing &drawing)
{
    const std::optional<PictureDrawing> printed = drawingForPrinting(drawing);
    if (printed) {
        ui.showPrintPreview(
            title, [&printed](QPagedPaintDevice &pages) { printPicture(pages, *printed); });
    }
}

void printPicture(QPagedPaintDevice &pages, const PictureDrawing &drawing)
{
    const QRectF page = pages.pageLayout().paintRectPixels(pages.logicalDpiX());
    if (drawing.size.isEmpty() || page.isEmpty()) {
        return;
    }
    const qreal scale =
        std::min(page.width() / drawing.size.width(), page.height() / drawing.size.height());
    QPainter painter(&pages);
    painter.scale(scale, scale);
    drawing.paint(painter, drawing.size);
}

QToolButton *makeSavePictureButton(QWidget *parent, std::function<void(PictureFormat)> save)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("savePDFButton"));
    button->setText(translated("Save Picture…"));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    QObject::connect(button, &QToolButton::clicked, button, [save] { save(PictureFormat::Pdf); });
    auto *formats = new QMenu(button);
    const std::pair<const char *, PictureFormat> choices[] = {{"Save as PDF…", PictureFormat::Pdf},
                                                              {"Save as PNG…", PictureFormat::Png},
                                                              {"Save as SVG…", PictureFormat::Svg}};
    for (const auto &[text, format] : choices) {
        QObject::connect(formats->addAction(translated(text)), &QAction::triggered, button,
                         [save, format = format] { save(format); });
    }
    button->setMenu(formats);
    return button;
}

} // namespace quorvella
