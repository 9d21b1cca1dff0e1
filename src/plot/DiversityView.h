#pragma once

// The widget that shows a diversity picture. A picture of many curves (a
// thousand collections draw for the better part of a second) is drawn into
// an image on another thread, so the window keeps turning; the widget shows
// the last image drawn meanwhile, stretched when the size changed. A small
// picture is drawn straight onto the widget. All geometry derives from the
// widget's size.

#include "plot/DiversityPicture.h"
#include "plot/PictureExport.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>

namespace quorvella {

class DiversityView : public QWidget
{
    Q_OBJECT
public:
    // Pictures of more curves than this (over all panels) are drawn on
    // another thread.
    static constexpr std::size_t largestDirectCurves = 48;

    explicit DiversityView(QWidget *parent = nullptr);

    const DiversityPicture &picture() const { return m_picture; }
    void setPicture(DiversityPicture picture);
    // True until the image of the present picture at the present size is
    // drawn; always false for a small picture.
    bool isRendering() const;

    // The picture at the widget's present size, for files, the clipboard
    // and the printer; it keeps its own copy of the picture.
    PictureDrawing drawing(const QString &title) const;

    QSize sizeHint() const override { return {960, 440}; }
    QSize minimumSizeHint() const override { return {320, 200}; }

signals:
    // The image of the present picture at the present size is on screen.
    void rendered();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool drawsDirectly() const;
    void pictureOrSizeChanged();
    void startRendering();
    void takeImage(std::uint64_t generation, QImage image);

    DiversityPicture m_picture;
    std::size_t m_curves = 0;
    // Grows with every change of picture or size; the image is current when
    // it was drawn for the latest.
    std::uint64_t m_generation = 0;
    std::uint64_t m_imageGeneration = 0;
    QImage m_image;
    bool m_renderRunning = false;
    // A resize by dragging comes in many steps: draw after a pause.
    QTimer m_renderDelay;
};

} // namespace quorvella
