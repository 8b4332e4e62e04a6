#include "mshapeobj.h"

#include <QPainter>

MShapeObj::MShapeObj(int type)
    : MDrawObj(type)
{
}

void MShapeObj::DrawShape(QPainter* painter) const
{
    painter->save();
    setupPen(painter);
    switch (GetType()) {
    case ObjLine:
        painter->drawPolyline(m_points);
        break;
    case ObjRect:
        painter->drawRect(BoundingRect());
        break;
    case ObjEllipse:
        painter->drawEllipse(BoundingRect());
        break;
    default:
        painter->drawPolygon(m_points);
        break;
    }
    painter->restore();
}
