#pragma once

#include "miconsymbol.h"
#include "mdrawobj.h"

class MIconTemplate;

// An icon placed in a drawing (object type 51): its template's current pattern,
// stretched over the rectangle its points span. Custom type 1 is a station
// symbol that shows its station's name; custom type 2 carries a text in which
// station names appear in single quotes (a jump to another station's picture).
class MIconObj : public MDrawObj
{
public:
    explicit MIconObj(const MIconTemplate* iconTemplate = nullptr);
    MIconObj(const MIconObj& other);
    MIconObj* Clone() const override { return new MIconObj(*this); }

    const MIconTemplate* GetTemplate() const { return m_template; }
    // Uses another template (kept, not owned); the pattern index stays when valid.
    void SetTemplate(const MIconTemplate* iconTemplate);
    MIconSymbol* Symbol() { return &m_symbol; }
    const MIconSymbol* Symbol() const { return &m_symbol; }

    int GetCustomType() const { return m_customType; }
    void SetCustomType(int customType) { m_customType = customType; }
    QString GetText() const { return m_text; }
    void SetText(const QString& text) { m_text = text; }
    // The station hand-over of custom type 1: the name the symbol shows.
    QString GetStationName() const { return m_station; }
    void SetStationName(const QString& name);

    bool IsLineType() const override;
    void DrawShape(QPainter* painter) const override;
    void TransformTexts(int kinds, const std::function<QString(const QString&)>& f) override;
    GraphNode ToNode() const override;
    void FromNode(const GraphNode& node, MGraph* templates) override;

private:
    const MIconTemplate* m_template; // not owned: the drawing's or the caller's
    MIconSymbol m_symbol;
    int m_customType = 0;
    QString m_text;
    QString m_station;
};
