#include "icontesting.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdisplaypattern.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "recordlist.h"

namespace IconTesting {

bool writeIcon(const QString& path, const QString& name, const QString& uuid, const QString& catalog, int patterns,
               const QSizeF& size)
{
    static const QList<QColor> colors = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    MIconTemplate t(QUuid(uuid), nullptr);
    t.SetName(name);
    t.SetCatalogName(catalog);
    t.SetDefaultSize(size);
    for (int i = 0; i < patterns; ++i) {
        auto* pattern = new MDisplayPattern(QString("p%1").arg(i));
        auto* shape = new MShapeObj(MDrawObj::ObjRect);
        shape->SetPoints({QPointF(size.width() / 4, size.height() / 4),
                          QPointF(size.width() * 3 / 4, size.height() * 3 / 4)});
        shape->SetPenColor(colors.at(i % colors.size()));
        shape->SetBrushColor(colors.at(i % colors.size()));
        pattern->AddShape(shape);
        t.AddPattern(pattern);
    }
    return QDir().mkpath(QFileInfo(path).absolutePath()) && t.WriteXmlFile(path);
}

IconInfo readIcon(const QString& path)
{
    MIconTemplate t;
    IconInfo info;
    info.read = t.ReadXmlFile(path);
    info.name = t.GetName();
    info.uuid = t.GetUuid().toString();
    info.catalog = t.GetCatalogName();
    info.catalogId = t.GetCatalogId();
    info.shapeType = t.GetIconShapeType();
    return info;
}

QList<MDBRecordIcon> iconRecords(const QString& type)
{
    MAbstractDBInterface* db = MDBInterfaceHolder::Instance()->GetInterface();
    RecordList types, icons;
    db->GetIconTypes(types.out());
    for (MDBRecordBase* t : types) {
        if (t->name == type)
            db->GetChildren(t, icons.out());
    }
    QList<MDBRecordIcon> result;
    for (MDBRecordBase* icon : icons)
        result << *static_cast<MDBRecordIcon*>(icon);
    return result;
}

} // namespace IconTesting
