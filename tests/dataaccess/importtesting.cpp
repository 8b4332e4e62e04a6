#include "importtesting.h"

#include <QDir>
#include <QFileInfo>

#include "mdisplaypattern.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "mtextobj.h"

namespace ImportTesting {

void buildStation(MGraphDoc& doc, const QString& oldStation, int typeId)
{
    QString typeName = "station";
    doc.SetGraphType(typeName, typeId);
    doc.SetGraphStation(oldStation, 1);
    doc.SetHasFillModel(true);
    auto* title = new MTextObj;
    title->SetText(oldStation + " one-line diagram");
    title->SetPoints({QPointF(0, 0), QPointF(100, 20)});
    doc.GetGraph()->AddObject(title);
    auto* t = new MIconTemplate(QUuid::createUuid(), nullptr);
    t->SetDefaultSize(QSizeF(20, 20));
    auto* pattern = new MDisplayPattern;
    auto* box = new MShapeObj(MDrawObj::ObjRect);
    box->SetPoints({QPointF(0, 0), QPointF(20, 20)});
    pattern->AddShape(box);
    t->AddPattern(pattern);
    MIconTemplate* own = doc.GetGraph()->AddIconTemplate(t);
    MIconObj* symbol = own->NewObj(oldStation);
    symbol->SetCustomType(1);
    symbol->SetStationName(oldStation);
    doc.GetGraph()->AddObject(symbol);
    MIconObj* jump = own->NewObj("goto '" + oldStation + "' and 'other'");
    jump->SetCustomType(2);
    doc.GetGraph()->AddObject(jump);
    auto* breaker = new MShapeObj(MDrawObj::ObjRect);
    breaker->SetPoints({QPointF(40, 40), QPointF(60, 70)});
    breaker->SetPath("/" + oldStation + "/10kV/911");
    breaker->SetOid("911");
    doc.GetGraph()->AddObject(breaker);
}

bool writeStation(const QString& path, const QString& oldStation, int typeId)
{
    MGraphDoc doc;
    buildStation(doc, oldStation, typeId);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && doc.WriteXmlFile(path);
}

} // namespace ImportTesting
