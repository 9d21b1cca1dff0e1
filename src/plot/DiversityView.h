#pragma once

// The widget that shows a diversity picture. It keeps only the picture; all
// geometry derives from its size at each paint.

#include "plot/DiversityPicture.h"
#include "plot/PictureExport.h"

#include <QWidget>

namespace quorvella {

class DiversityView : public QWidget
{
    Q_OBJECT
public:
    explicit DiversityView(QWidget *parent = nullptr);

    const DiversityPicture &picture() const { return m_picture; }
    void setPicture(DiversityPicture picture);

    // The picture at the widget's present size, for files, the clipboard
    // and the printer; it keeps its own copy of the picture.
    PictureDrawing drawing(const QString &title) const;

    QSize sizeHint() const override { return {960, 440}; }
    QSize minimumSizeHint() const override { return {320, 200}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DiversityPicture m_picture;
};

} // namespace quorvella
