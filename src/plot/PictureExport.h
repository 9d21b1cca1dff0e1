#pragma once

// The rarefaction picture as file data: PDF (the default, with its labels as
// real text), PNG and SVG, and the mime data put on the clipboard. Each is
// drawn by paintRarefactionPicture at the size of the view it comes from.

#include "analysis/Rarefaction.h"
#include "plot/PlotStyle.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <memory>
#include <span>

class QMimeData;

namespace quorvella {

enum class PictureFormat { Pdf, Png, Svg };

// What a picture is drawn from.
struct PictureSource
{
    std::span<const Rarefaction> points;
    PlotStyle style;
    QSizeF size;                  // in points (PDF, SVG) or logical pixels (PNG)
    qreal devicePixelRatio = 1.0; // pixels per logical pixel of a PNG
    QString title;                // the document title inside PDF and SVG
};

// The file extension each format is saved with: "pdf", "png", "svg".
QString pictureExtension(PictureFormat format);

QByteArray picturePdf(const PictureSource &source);
QByteArray pictureSvg(const PictureSource &source);
QImage pictureImage(const PictureSource &source);
QByteArray picturePng(const PictureSource &source);
QByteArray pictureData(PictureFormat format, const PictureSource &source);

// The picture as an image, as PDF and as SVG, so that every kind of program
// can paste it.
std::unique_ptr<QMimeData> pictureMimeData(const PictureSource &source);

} // namespace quorvella
