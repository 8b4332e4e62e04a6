#pragma once

#include <QRectF>
#include <QWidget>

#include <optional>

#include "comparerenderer.h"

// One picture of a comparison, scaled to fit, with the object of the selected
// change marked: where it was (old edition's coordinates) and where it is.
class ComparePictureWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ComparePictureWidget(QWidget* parent = nullptr);

    void SetPicture(const ComparePicture& picture);
    // Marks the object where it was and where it is (nothing on a side without one).
    void SetMark(const std::optional<QRectF>& before, const std::optional<QRectF>& after);
    // The marks in the picture's pixels (empty when none), for checks.
    QRectF MarkBefore() const { return m_markBefore; }
    QRectF MarkAfter() const { return m_markAfter; }
    const QImage& Image() const { return m_picture.image; }

    QSize sizeHint() const override { return QSize(800, 450); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ComparePicture m_picture;
    QRectF m_markBefore;
    QRectF m_markAfter;
};
