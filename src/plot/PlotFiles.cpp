#include "plot/PlotFiles.h"

#include "document/Ui.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSaveFile>
#include <QToolButton>
#include <algorithm>

namespace quorvella {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("PlotFiles", text);
}

} // namespace

bool writeFileOrExplain(Ui &ui, const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
        return true;
    }
    const QString reason = file.errorString();
    file.cancelWriting();
    ui.showErrorAlert(
        translated("The file \"%1\" could not be saved.").arg(QFileInfo(path).fileName()), reason);
    return false;
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
    if (!path.isEmpty()) {
        writeFileOrExplain(ui, path, pictureData(format, drawing));
    }
}

void copyPicture(const PictureDrawing &drawing)
{
    QApplication::clipboard()->setMimeData(pictureMimeData(drawing).release());
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
