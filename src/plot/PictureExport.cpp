#include "plot/PictureExport.h"

#include "plot/RarefactionPainter.h"

#include <QBuffer>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>

namespace quorvella {

namespace {

// PDF and SVG are drawn at 72 units per inch, so one unit of the picture is
// one point and the label font of 10 units is 10 points.
constexpr int pointsPerInch = 72;

} // namespace

PictureDrawing rarefactionDrawing(const PictureSource &source)
{
    return PictureDrawing{
        [points = source.points, style = source.style](QPainter &painter, QSizeF size) {
            paintRarefactionPicture(painter, size, points, style);
        },
        source.size, source.devicePixelRatio, source.title, false};
}

QString pictureExtension(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Pdf:
        return QStringLiteral("pdf");
    case PictureFormat::Png:
        return QStringLiteral("png");
    case PictureFormat::Svg:
        return QStringLiteral("svg");
    }
    return {};
}

QByteArray picturePdf(const PictureDrawing &drawing)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(pointsPerInch);
        writer.setCreator(QStringLiteral("Quorvella"));
        writer.setTitle(drawing.title);
        // An exact page size: a fuzzy match would snap the page to a paper size.
        writer.setPageLayout(
            QPageLayout(QPageSize(drawing.size, QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        QPainter painter(&writer);
        drawing.paint(painter, drawing.size);
    }
    return data;
}

QByteArray pictureSvg(const PictureDrawing &drawing)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(pointsPerInch);
    generator.setSize(drawing.size.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), drawing.size));
    generator.setTitle(drawing.title);
    {
        QPainter painter(&generator);
        drawing.paint(painter, drawing.size);
    }
    return data;
}

QImage pictureImage(const PictureDrawing &drawing)
{
    const qreal ratio = drawing.devicePixelRatio > 0 ? drawing.devicePixelRatio : 1.0;
    const QSize pixels(static_cast<int>(std::ceil(drawing.size.width() * ratio)),
                       static_cast<int>(std::ceil(drawing.size.height() * ratio)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawing.paint(painter, drawing.size);
    return image;
}

QByteArray picturePng(const PictureDrawing &drawing)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    pictureImage(drawing).save(&buffer, "PNG");
    return data;
}

QByteArray pictureData(PictureFormat format, const PictureDrawing &drawing)
{
    switch (format) {
    case PictureFormat::Pdf:
        return picturePdf(drawing);
    case PictureFormat::Png:
        return picturePng(drawing);
    case PictureFormat::Svg:
        return pictureSvg(drawing);
    }
    return {};
}

std::unique_ptr<QMimeData> pictureMimeData(const PictureDrawing &drawing)
{
    return pictureMimeData(pictureImage(drawing), picturePdf(drawing), pictureSvg(drawing));
}

std::unique_ptr<QMimeData> pictureMimeData(const QImage &image, const QByteArray &pdf,
                                           const QByteArray &svg)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setImageData(image);
    mime->setData(QStringLiteral("application/pdf"), pdf);
    mime->setData(QStringLiteral("image/svg+xml"), svg);
    return mime;
}

QByteArray picturePdf(const PictureSource &source)
{
    return picturePdf(rarefactionDrawing(source));
}

QByteArray pictureSvg(const PictureSource &source)
{
    return pictureSvg(rarefactionDrawing(source));
}

QImage pictureImage(const PictureSource &source)
{
    return pictureImage(rarefactionDrawing(source));
}

QByteArray picturePng(const PictureSource &source)
{
    return picturePng(rarefactionDrawing(source));
}

QByteArray pictureData(PictureFormat format, const PictureSource &source)
{
    return pictureData(format, rarefactionDrawing(source));
}

std::unique_ptr<QMimeData> pictureMimeData(const PictureSource &source)
{
    return pictureMimeData(rarefactionDrawing(source));
}

} // namespace quorvella
