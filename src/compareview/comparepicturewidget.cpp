#include "comparepicturewidget.h"

#include <QPainter>

ComparePictureWidget::ComparePictureWidget(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(200, 120);
}

void ComparePictureWidget::SetPicture(const ComparePicture& picture)
{
    m_picture = picture;
    m_markBefore = m_markAfter = QRectF();
    update();
}

void ComparePictureWidget::SetMark(const std::optional<QRectF>& before, const std::optional<QRectF>& after)
{
    m_markBefore = before ? CompareRenderer::Marked(m_picture.before, *before) : QRectF();
    m_markAfter = after ? CompareRenderer::Marked(m_picture.after, *after) : QRectF();
    update();
}

void ComparePictureWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_picture.image.isNull())
        return;
    const QTransform fit = CompareRenderer::Fit(QRectF(m_picture.image.rect()), QRectF(rect()));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(fit);
    painter.drawImage(0, 0, m_picture.image);
    painter.resetTransform();
    // A mark wide enough to find at any zoom, in a colour no change has.
    painter.setPen(QPen(Qt::cyan, 3));
    painter.setBrush(Qt::NoBrush);
    for (const QRectF& mark : {m_markBefore, m_markAfter}) {
        if (!mark.isNull())
            painter.drawRect(fit.mapRect(mark).adjusted(-2, -2, 2, 2));
    }
}
