#include "plot/DiversityView.h"

#include "plot/DiversityPainter.h"

#include <QFutureWatcher>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

namespace quorvella {

namespace {

constexpr int renderDelayMs = 40;

std::size_t curveCount(const DiversityPicture &picture)
{
    std::size_t curves = 0;
    for (const DiversityPanel &panel : picture.panels) {
        curves += panel.series.size();
    }
    return curves;
}

// QPainter may draw into an image on any thread.
QImage renderPicture(const DiversityPicture &picture, QSize size, qreal pixelRatio)
{
    QImage image(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    QPainter painter(&image);
    paintDiversityPicture(painter, QSizeF(size), picture);
    return image;
}

} // namespace

DiversityView::DiversityView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("diversityView"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_renderDelay.setSingleShot(true);
    connect(&m_renderDelay, &QTimer::timeout, this, &DiversityView::startRendering);
}

void DiversityView::setPicture(DiversityPicture picture)
{
    m_picture = std::move(picture);
    m_curves = curveCount(m_picture);
    pictureOrSizeChanged();
    if (!drawsDirectly()) {
        m_renderDelay.stop();
        startRendering(); // a new result is worth showing at once
    }
}

bool DiversityView::drawsDirectly() const
{
    return m_curves <= largestDirectCurves;
}

bool DiversityView::isRendering() const
{
    return !drawsDirectly() && m_imageGeneration != m_generation;
}

void DiversityView::pictureOrSizeChanged()
{
    ++m_generation;
    if (drawsDirectly()) {
        m_image = QImage(); // nothing stale to show later
    } else {
        m_renderDelay.start(renderDelayMs);
    }
    update();
}

void DiversityView::startRendering()
{
    // One drawing at a time: a drawing that ends out of date starts the next.
    if (m_renderRunning || !isRendering() || size().isEmpty()) {
        return;
    }
    m_renderRunning = true;
    auto *watcher = new QFutureWatcher<QImage>(this);
    const std::uint64_t generation = m_generation;
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, generation] {
        takeImage(generation, watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(renderPicture, m_picture, size(), devicePixelRatioF()));
}

void DiversityView::takeImage(std::uint64_t generation, QImage image)
{
    m_renderRunning = false;
    m_image = std::move(image);
    m_imageGeneration = generation;
    update();
    if (isRendering()) {
        startRendering();
    } else {
        emit rendered();
    }
}

PictureDrawing DiversityView::drawing(const QString &title) const
{
    return PictureDrawing{[picture = m_picture](QPainter &painter, QSizeF size) {
                              paintDiversityPicture(painter, size, picture);
                          },
                          QSizeF(size()), devicePixelRatioF(), title, !drawsDirectly()};
}

void DiversityView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (drawsDirectly()) {
        paintDiversityPicture(painter, QSizeF(size()), m_picture);
    } else if (m_image.isNull()) {
        painter.fillRect(rect(), Qt::white);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(rect()), m_image);
    }
}

void DiversityView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    pictureOrSizeChanged();
}

} // namespace quorvella
