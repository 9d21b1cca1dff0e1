#pragma once

// A plot picture as file data: PDF (the default, with its labels as real
// text), PNG and SVG, and the mime data put on the clipboard. Each is drawn
// by the plot's one paint routine at the size of the view it comes from.

#include "analysis/Rarefaction.h"
#include "plot/PlotStyle.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <span>

class QMimeData;
class QPainter;

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

// Any plot: its paint routine draws the whole picture into `size` units with
// the origin at the painter's top-left.
struct PictureDrawing
{
    std::function<void(QPainter &, QSizeF)> paint;
    QSizeF size;
    qreal devicePixelRatio = 1.0;
    QString title;
    // Drawing takes long (a picture of many curves): files, the clipboard
    // and the printer draw it on another thread, so paint must own what it
    // draws and may draw on any thread.
    bool drawsLong = false;
};

// The rarefaction picture of a source, drawn by paintRarefactionPicture.
// The drawing refers to the source's points.
PictureDrawing rarefactionDrawing(const PictureSource &source);

// The file extension each format is saved with: "pdf", "png", "svg".
QString pictureExtension(PictureFormat format);

QByteArray picturePdf(const PictureDrawing &drawing);
QByteArray pictureSvg(const PictureDrawing &drawing);
QImage pictureImage(const PictureDrawing &drawing);
QByteArray picturePng(const PictureDrawing &drawing);
QByteArray pictureData(PictureFormat format, const PictureDrawing &drawing);

// The picture as an image, as PDF and as SVG, so that every kind of program
// can paste it.
std::unique_ptr<QMimeData> pictureMimeData(const PictureDrawing &drawing);
// The same from the three forms drawn already.
std::unique_ptr<QMimeData> pictureMimeData(const QImage &image, const QByteArray &pdf,
                                           const QByteArray &svg);

// The same for a rarefaction curve.
QByteArray picturePdf(const PictureSource &source);
QByteArray pictureSvg(const PictureSource &source);
QImage pictureImage(const PictureSource &source);
QByteArray picturePng(const PictureSource &source);
QByteArray pictureData(PictureFormat format, const PictureSource &source);
std::unique_ptr<QMimeData> pictureMimeData(const PictureSource &source);

} // namespace quorvella
