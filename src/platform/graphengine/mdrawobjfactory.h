#pragma once

#include <QString>

class MDrawObj;
class MGraph;
struct GraphNode;

// Makes drawing objects by type number, and from the nodes of the file forms.
class MDrawObjFactory
{
public:
    static MDrawObjFactory* Instance();

    // A new, empty object of that type (MDrawObj::ObjType); null for an unknown
    // type. The caller owns it.
    MDrawObj* CreateObj(int type) const;
    // An object read from a file node, its icons resolved against templates;
    // null for a node that is no object.
    MDrawObj* CreateFromNode(const GraphNode& node, MGraph* templates) const;

    // The element name of a type in the file forms ("line", "icon", ...).
    static QString TypeName(int type);
    static int TypeOf(const QString& name); // 0 when unknown

protected:
    MDrawObjFactory() = default;
    ~MDrawObjFactory() = default;

private:
    static MDrawObjFactory* m_pInstance;
};
