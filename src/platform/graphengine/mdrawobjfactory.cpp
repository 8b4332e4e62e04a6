#include "mdrawobjfactory.h"

#include "graphnode.h"
#include "mhasrelation.h"
#include "miconobj.h"
#include "mshapeobj.h"
#include "mtextobj.h"

MDrawObjFactory* MDrawObjFactory::m_pInstance = nullptr;

namespace {

struct TypeEntry
{
    int type;
    const char* name;
};

const TypeEntry kTypes[] = {
    {MDrawObj::ObjLine, "line"},     {MDrawObj::ObjRect, "rect"},   {MDrawObj::ObjEllipse, "ellipse"},
    {MDrawObj::ObjPolygon, "polygon"}, {MDrawObj::ObjText, "text"}, {MDrawObj::ObjIcon, "icon"},
    {MDrawObj::ObjGroup, "group"},   {MDrawObj::ObjTemplate, "template"},
};

} // namespace

MDrawObjFactory* MDrawObjFactory::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MDrawObjFactory;
    return m_pInstance;
}

QString MDrawObjFactory::TypeName(int type)
{
    for (const TypeEntry& e : kTypes) {
        if (e.type == type)
            return QString::fromLatin1(e.name);
    }
    return {};
}

int MDrawObjFactory::TypeOf(const QString& name)
{
    for (const TypeEntry& e : kTypes) {
        if (name == QLatin1String(e.name))
            return e.type;
    }
    return 0;
}

MDrawObj* MDrawObjFactory::CreateObj(int type) const
{
    switch (type) {
    case MDrawObj::ObjLine:
    case MDrawObj::ObjRect:
    case MDrawObj::ObjEllipse:
    case MDrawObj::ObjPolygon:
        return new MShapeObj(type);
    case MDrawObj::ObjText:
        return new MTextObj;
    case MDrawObj::ObjIcon:
        return new MIconObj;
    case MDrawObj::ObjGroup:
    case MDrawObj::ObjTemplate:
        return new MHasRelation(type);
    default:
        return nullptr;
    }
}

MDrawObj* MDrawObjFactory::CreateFromNode(const GraphNode& node, MGraph* templates) const
{
    MDrawObj* obj = CreateObj(TypeOf(node.name));
    if (obj)
        obj->FromNode(node, templates);
    return obj;
}
