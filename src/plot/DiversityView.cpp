#include "plot/DiversityView.h"

#include "plot/DiversityPainter.h"

#include <QPainter>

namespace quorvella {

DiversityView::DiversityView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("diversityView"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DiversityView::setPicture(DiversityPicture picture)
{
    m_picture = std::move(picture);
    update();
}

PictureDrawing DiversityView::drawing(const QString &title) const
{
    return PictureDrawing{[picture = m_picture](QPainter &painter, QSizeF size) {
                              paintDiversityPicture(painter, size, picture);
                          },
                          QSizeF(size()), devicePixelRatioF(), title};
}

void DiversityView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintDiversityPicture(painter, QSizeF(size()), m_picture);
}

} // namespace quorvella
