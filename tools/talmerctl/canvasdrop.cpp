#include "canvasdrop.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>

#include <memory>

#include "mdeploypaths.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "miconmgr.h"
#include "miconobj.h"
#include "micontemplate.h"

namespace {

// A name that stays one folder or file name below its parent.
bool isPlainName(const QString& name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains('\\'))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20)
            return false;
    }
    return true;
}

// Reads the strings (and numbers) a default QDataStream wrote; false unless
// the payload holds exactly those.
template <typename... Fields>
bool readExactly(const QByteArray& payload, Fields&... fields)
{
    QDataStream stream(payload);
    (stream >> ... >> fields);
    return !payload.isEmpty() && stream.status() == QDataStream::Ok && stream.atEnd();
}

bool insideDrawing(const MGraphDoc* doc, const QPointF& at)
{
    return QRectF(QPointF(0, 0), doc->GetSize()).contains(at);
}

} // namespace

bool CanvasDrop::Accepts(const QMimeData* data)
{
    return data && (data->hasFormat(kIconFormat) || data->hasFormat(kTemplateFormat));
}

CanvasDrop::Result CanvasDrop::refused(const QString& why)
{
    Result result;
    result.message = why;
    return result;
}

CanvasDrop::Result CanvasDrop::Drop(MGraphDoc* doc, const QMimeData* data, const QPointF& at,
                                    const AliasLookup& aliasOf)
{
    if (!doc)
        return refused(QStringLiteral("no drawing is open"));
    if (!Accepts(data))
        return refused(QStringLiteral("a drawing takes only icons and templates"));
    if (!insideDrawing(doc, at))
        return refused(QStringLiteral("the drop point lies outside the drawing"));
    if (data->hasFormat(kIconFormat))
        return dropIcon(doc, data->data(kIconFormat), at);
    return dropTemplate(doc, data->data(kTemplateFormat), at, aliasOf);
}

CanvasDrop::Result CanvasDrop::dropIcon(MGraphDoc* doc, const QByteArray& payload, const QPointF& at)
{
    QString uuid, type;
    int shapeType = 0;
    if (!ReadIconPayload(payload, uuid, type, shapeType))
        return refused(QStringLiteral("the dragged icon cannot be read"));
    // The engine's own check refuses catalog names that leave the icon folder.
    MIconTemplate* loaded = nullptr;
    if (!MIconMgr::Instance()->CreateTemplate(type, uuid, loaded, true, true))
        return refused(QStringLiteral("the icon library has no icon %1 of type %2").arg(uuid, type));
    // The drawing keeps one template per icon; its icons all use that one.
    MIconTemplate* own = doc->GetGraph()->AddIconTemplate(loaded);
    MIconObj* icon = own->NewObj(QString());
    icon->SetPosition(at.x(), at.y(), false);
    doc->GetGraph()->AddObject(icon);
    Result result;
    result.added = true;
    result.objects = 1;
    result.message = QStringLiteral("icon %1 of type %2 placed").arg(uuid, type);
    return result;
}

CanvasDrop::Result CanvasDrop::dropTemplate(MGraphDoc* doc, const QByteArray& payload, const QPointF& at,
                                            const AliasLookup& aliasOf)
{
    QString type, name;
    if (!ReadTemplatePayload(payload, type, name))
        return refused(QStringLiteral("the dragged template cannot be read"));
    const QString alias = aliasOf ? aliasOf(type) : QString();
    if (alias.isEmpty())
        return refused(QStringLiteral("there is no template type %1").arg(type));
    const QString path = TemplateFile(alias, name);
    if (path.isEmpty())
        return refused(QStringLiteral("the template %1 of %2 is not in the template folder").arg(name, type));
    MHasRelation container(MDrawObj::ObjTemplate);
    if (!container.LoadFile(path) || container.Size() == 0)
        return refused(QStringLiteral("the template file %1 holds no drawing objects").arg(path));
    // Copies first: the drawing changes only once everything is at hand.
    const QPointF shift = at - container.BoundingRect().center();
    std::vector<std::unique_ptr<MDrawObj>> members;
    for (int i = 0; i < container.Size(); ++i) {
        members.emplace_back(container.At(i)->Clone());
        members.back()->SetPosition(shift.x(), shift.y(), true);
        members.back()->SetId(0); // the drawing numbers its objects itself
    }
    MGraph* graph = doc->GetGraph();
    if (MGraph* templates = container.Templates()) {
        for (int i = 0; i < templates->IconTemplateNum(); ++i)
            graph->AddIconTemplate(new MIconTemplate(*templates->IconTemplateAt(i)));
    }
    for (std::unique_ptr<MDrawObj>& member : members) {
        graph->AdoptTemplatesOf(member.get());
        graph->AddObject(member.release());
    }
    Result result;
    result.added = true;
    result.objects = int(members.size());
    result.message = QStringLiteral("template %1 of %2 placed (%3 objects)").arg(name, type).arg(result.objects);
    return result;
}

bool CanvasDrop::ReadIconPayload(const QByteArray& payload, QString& uuid, QString& type, int& shapeType)
{
    QString readUuid, readType;
    qint32 readShape = 0;
    if (!readExactly(payload, readUuid, readType, readShape) || readUuid.isEmpty() || readType.isEmpty())
        return false;
    uuid = readUuid;
    type = readType;
    shapeType = readShape;
    return true;
}

bool CanvasDrop::ReadTemplatePayload(const QByteArray& payload, QString& type, QString& name)
{
    QString readType, readName;
    if (!readExactly(payload, readType, readName) || readType.isEmpty() || readName.isEmpty())
        return false;
    type = readType;
    name = readName;
    return true;
}

QByteArray CanvasDrop::IconPayload(const QString& uuid, const QString& type, int shapeType)
{
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream << uuid << type << qint32(shapeType);
    return payload;
}

QByteArray CanvasDrop::TemplatePayload(const QString& type, const QString& name)
{
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream << type << name;
    return payload;
}

QString CanvasDrop::TemplateFile(const QString& alias, const QString& name)
{
    if (MDeployPaths::SafeRoot().isEmpty() || !isPlainName(alias) || !isPlainName(name))
        return {};
    const QString path = MDeployPaths::TemplateFile(alias, name);
    const QString folder = QFileInfo(MDeployPaths::SafeRoot() + "/template").canonicalFilePath();
    const QString real = QFileInfo(path).canonicalFilePath();
    if (folder.isEmpty() || !real.startsWith(folder + "/"))
        return {};
    return path;
}
