#include "templatefiles.h"

#include <QDataStream>
#include <QIODevice>

#include "mdbaccesshelper.h"
#include "mdeploypaths.h"

namespace TemplateFiles {

QString FilePath(const QString& alias, const QString& name)
{
    const bool plain = MDbAccessHelper::NameProblem(alias, MDbAccessHelper::PictureName).isEmpty()
        && MDbAccessHelper::NameProblem(name, MDbAccessHelper::PictureName).isEmpty();
    return plain ? MDeployPaths::TemplateFile(alias, name) : QString();
}

QByteArray DragPayload(const QString& typeName, const QString& templateName)
{
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream << typeName << templateName;
    return payload;
}

bool ReadDragPayload(const QByteArray& payload, QString& typeName, QString& templateName)
{
    QDataStream stream(payload);
    QString type, name;
    stream >> type >> name;
    if (stream.status() != QDataStream::Ok || !stream.atEnd())
        return false;
    typeName = type;
    templateName = name;
    return true;
}

} // namespace TemplateFiles
