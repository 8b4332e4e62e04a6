#include "graphfile.h"

#include <QFile>

#include "graphenginelog.h"
#include "graphnode.h"
#include "safefile.h"

bool GraphFile::Write(const QString& path, const QByteArray& data)
{
    QString error;
    if (!SafeFile::WriteFile(path, data, &error)) {
        qCWarning(lcGraphEngine).noquote() << "cannot write" << path << ":" << error;
        return false;
    }
    return true;
}

bool GraphFile::Read(const QString& path, QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcGraphEngine).noquote() << "cannot read" << path << ":" << file.errorString();
        return false;
    }
    if (file.size() > GraphLimits::kMaxFileBytes) {
        qCWarning(lcGraphEngine).noquote() << path << "is too large for a drawing";
        return false;
    }
    data = file.readAll();
    return true;
}
