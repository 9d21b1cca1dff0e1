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

QByteArray picturePdf(const PictureSource &source)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(pointsPerInch);
        writer.setCreator(QStringLiteral("Quorvella"));
        writer.setTitle(source.title);
        // An exact page size: a fuzzy match would snap the page to a paper size.
        writer.setPageLayout(
            QPageLayout(QPageSize(source.size, QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        QPainter painter(&writer);
        paintRarefactionPicture(painter, source.size, source.points, source.style);
    }
    return data;
}

QByteArray pictureSvg(const PictureSource &source)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(pointsPerInch);
    generator.setSize(source.size.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), source.size));
    generator.setTitle(source.title);
    {
        QPainter painter(&generator);
        paintRarefactionPicture(painter, source.size, source.points, source.style);
    }
    return data;
}

QImage pictureImage(const PictureSource &source)
{
    const qreal ratio = source.devicePixelRatio > 0 ? source.devicePixelRatio : 1.0;
    const QSize pixels(static_cast<int>(std::ceil(source.size.width() * ratio)),
                       static_cast<int>(std::ceil(source.size.height() * ratio)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintRarefactionPicture(painter, source.size, source.points, source.style);
    return image;
}

QByteArray picturePng(const PictureSource &source)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    pictureImage(source).save(&buffer, "PNG");
    return data;
}

QByteArray pictureData(PictureFormat format, const PictureSource &source)
{
    switch (format) {
    case PictureFormat::Pdf:
        return picturePdf(source);
    case PictureFormat::Png:
        return picturePng(source);
    case PictureFormat::Svg:
        return pictureSvg(source);
    }
    return {};
}

std::unique_ptr<QMimeData> pictureMimeData(const PictureSource &source)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setImageData(pictureImage(source));
    mime->setData(QStringLiteral("application/pdf"), picturePdf(source));
    mime->setData(QStringLiteral("image/svg+xml"), pictureSvg(source));
    return mime;
}

} // namespace quorvella
