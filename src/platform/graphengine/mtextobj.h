#pragma once

#include "mdrawobj.h"

// A text, centred in the rectangle its points span.
class MTextObj : public MDrawObj
{
public:
    MTextObj();
    MTextObj* Clone() const override { return new MTextObj(*this); }

    QString GetText() const { return m_text; }
    void SetText(const QString& text) { m_text = text; }
    double GetFontSize() const { return m_fontSize; }
    void SetFontSize(double size) { m_fontSize = size; }

    void DrawShape(QPainter* painter) const override;
    void TransformTexts(int kinds, const std::function<QString(const QString&)>& f) override;
    GraphNode ToNode() const override;
    void FromNode(const GraphNode& node, MGraph* templates) override;

private:
    QString m_text;
    double m_fontSize = 12.0;
};
