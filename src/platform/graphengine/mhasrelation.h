#pragma once

#include <QList>

#include "mdrawobj.h"

class MGraph;

// Objects made of member objects: a group in a drawing (type 63), or a style
// template loaded from an ".xtp" file (type 64). Members live in the
// container's coordinates, which are the drawing's.
//
// ".xtp": <template format="1" name> <templates> icon templates </templates>
//                                     <objects> members </objects> </template>
class MHasRelation : public MDrawObj
{
public:
    explicit MHasRelation(int type = ObjGroup);
    ~MHasRelation() override;
    MHasRelation(const MHasRelation& other);
    MHasRelation* Clone() const override { return new MHasRelation(*this); }

    int Size() const { return int(m_members.size()); }
    MDrawObj* At(int i) const { return m_members.value(i); }
    // Takes ownership.
    void AddMember(MDrawObj* member);
    void Clear();

    // Loads a template container from an ".xtp" file; a missing or damaged file
    // leaves it empty (and false). Icons in it use the templates it carries.
    bool LoadFile(const QString& path);
    bool SaveFile(const QString& path) const;
    // The icon templates a loaded file carried (null for groups in drawings).
    MGraph* Templates() const { return m_templates; }
    // The same, made when missing: where a template built in code keeps the
    // icon templates of its icons, so that SaveFile writes them along.
    MGraph* TemplateStore();

    QPolygonF GetPoints() const override;
    void SetPoints(const QPolygonF& points) override;
    QRectF BoundingRect() const override;
    void DrawShape(QPainter* painter) const override;
    void TransformTexts(int kinds, const std::function<QString(const QString&)>& f) override;
    GraphNode ToNode() const override;
    void FromNode(const GraphNode& node, MGraph* templates) override;
    int MemberCount() const override { return Size(); }
    MDrawObj* MemberAt(int i) const override { return At(i); }

private:
    QList<MDrawObj*> m_members; // owned
    MGraph* m_templates = nullptr; // owned; only for loaded template files
};
