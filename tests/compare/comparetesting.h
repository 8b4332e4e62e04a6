#pragma once

#include <QFile>
#include <QUuid>

#include <memory>

#include "graphchange.h"
#include "mgraph.h"
#include "mdrawobjfactory.h"
#include "mgraphdoc.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "mtextobj.h"

// The sample substation drawing and a known set of changes to it, shared by
// the comparison tests.
namespace CompareTesting {

inline QString beijingSample()
{
    return QStringLiteral(":/graphengine/samples/pic/beijing_station.xrg");
}

inline std::unique_ptr<MGraphDoc> beijing()
{
    auto doc = std::make_unique<MGraphDoc>();
    if (!doc->ReadXmlFile(beijingSample()))
        doc.reset();
    return doc;
}

inline MDrawObj* byId(const MGraphDoc& doc, int id)
{
    for (MDrawObj* obj : doc.GetGraph()->GetObjList()) {
        if (obj->GetId() == id)
            return obj;
    }
    return nullptr;
}

inline MIconObj* iconById(const MGraphDoc& doc, int id)
{
    MDrawObj* obj = byId(doc, id);
    return obj && obj->GetType() == MDrawObj::ObjIcon ? static_cast<MIconObj*>(obj) : nullptr;
}

inline MTextObj* textById(const MGraphDoc& doc, int id)
{
    MDrawObj* obj = byId(doc, id);
    return obj && obj->GetType() == MDrawObj::ObjText ? static_cast<MTextObj*>(obj) : nullptr;
}

inline void removeId(MGraphDoc& doc, int id)
{
    QList<MDrawObj*>& objects = doc.GetGraph()->GetObjList();
    MDrawObj* obj = byId(doc, id);
    objects.removeOne(obj);
    delete obj;
}

// The uuid of the sample's disconnector template.
inline QUuid disconnector()
{
    return QUuid::fromString(QStringLiteral("{532709ce-2ff2-5a82-a13f-c81e33d10f0c}"));
}

// A filled rectangle, so that it shows in pictures.
inline MDrawObj* newBox(const QRectF& r, const QColor& brush)
{
    auto* box = new MShapeObj(MDrawObj::ObjRect);
    box->SetPoints({r.topLeft(), r.bottomRight()});
    box->SetPenColor(brush);
    box->SetBrushColor(brush);
    return box;
}

inline const QRectF kAddedBox(1300, 600, 100, 60);

// The changed edition of the sample: seven changes, each of one kind.
inline void changeBeijing(MGraphDoc& doc)
{
    byId(doc, 6)->SetPosition(30, 0, true);                                        // moved
    doc.GetGraph()->AddObject(newBox(kAddedBox, QColor(0x20, 0x40, 0xff)));         // added (id 49)
    removeId(doc, 46);                                                              // removed
    textById(doc, 28)->SetText(QString::fromUtf8("东城一线"));                      // text changed
    iconById(doc, 41)->SetTemplate(doc.GetGraph()->FindTemplate(disconnector()));   // template changed
    byId(doc, 13)->SetPath(QString::fromUtf8("/北京变电站/110kV/1017刀闸"));         // re-pointed
    byId(doc, 13)->SetOid("555");
    QString feeder("feeder");
    int code = 9;
    doc.SetGraphType(feeder, code);                                                 // graph type
}

// What the list must name for changeBeijing, in its order.
inline QStringList beijingChanges()
{
    return {"property: graph type station (2) → feeder (9)",
            "moved text 6",
            "binding re-pointed icon 13",
            "text changed text 28",
            "template changed icon 41",
            "added rect 49",
            "removed line 46"};
}

// A change as the tests name it: the whole line for document properties,
// kind, type and identifier for objects.
inline QString brief(const GraphChange& change)
{
    if (change.kind == GraphChange::Property)
        return change.line();
    QString text = QString("%1 %2 %3").arg(GraphChange::KindName(change.kind), MDrawObjFactory::TypeName(change.objectType))
                       .arg(change.objectId);
    if (change.containerId != 0)
        text += QString(" in %1").arg(change.containerId);
    return text;
}

inline QStringList briefs(const GraphChangeList& changes)
{
    QStringList list;
    for (const GraphChange& change : changes)
        list << brief(change);
    return list;
}

} // namespace CompareTesting
