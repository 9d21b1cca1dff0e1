#pragma once

// The widget that shows one rarefaction curve. It keeps nothing but its
// points: colour and confidence level are read from the settings at every
// drawing, and a change in the settings redraws it at once. All geometry
// derives from the widget's size, so the picture rescales with the window.

#include "analysis/Rarefaction.h"
#include "plot/PictureExport.h"
#include "plot/PlotStyle.h"

#include <QWidget>
#include <vector>

namespace quorvella {

class RarefactionView : public QWidget
{
    Q_OBJECT
public:
    explicit RarefactionView(QWidget *parent = nullptr);

    const std::vector<Rarefaction> &points() const { return m_points; }
    void setPoints(std::vector<Rarefaction> points);

    // The colour and level the next drawing uses (the current settings).
    static PlotStyle currentStyle();

    // What the files and the clipboard draw: the points, the current style
    // and the widget's present size. Valid while the view and its points are.
    PictureSource pictureSource(const QString &title) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<Rarefaction> m_points;
};

} // namespace quorvella
