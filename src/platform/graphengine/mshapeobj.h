#pragma once

#include "mdrawobj.h"

// The plain figures: an open line through the points, the rectangle or ellipse
// that bounds them, a closed polygon.
class MShapeObj : public MDrawObj
{
public:
    explicit MShapeObj(int type); // ObjLine, ObjRect, ObjEllipse or ObjPolygon
    MShapeObj* Clone() const override { return new MShapeObj(*this); }

    bool IsLineType() const override { return GetType() == ObjLine; }
    void DrawShape(QPainter* painter) const override;
};
