#include "plot/RarefactionView.h"

#include "document/Settings.h"
#include "plot/RarefactionPainter.h"

#include <QPainter>

namespace quorvella {

RarefactionView::RarefactionView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("rarefactionView"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Preferences take effect in every open plot at once.
    connect(&Settings::instance(), &Settings::changed, this, [this](const QString &) { update(); });
}

void RarefactionView::setPoints(std::vector<Rarefaction> points)
{
    m_points = std::move(points);
    update();
}

PlotStyle RarefactionView::currentStyle()
{
    return PlotStyle{Settings::rarefactionColor(), Settings::confidenceLevel()};
}

PictureSource RarefactionView::pictureSource(const QString &title) const
{
    return PictureSource{m_points, currentStyle(), QSizeF(size()), devicePixelRatioF(), title};
}

QSize RarefactionView::sizeHint() const
{
    return {500, 400};
}

QSize RarefactionView::minimumSizeHint() const
{
    return {200, 160};
}

void RarefactionView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintRarefactionPicture(painter, QSizeF(size()), m_points, currentStyle());
}

} // namespace quorvella
