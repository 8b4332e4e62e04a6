#include "graphfile.h"

#include <QFile>
#include <QSaveFile>

#include "graphenginelog.h"
#include "graphnode.h"

bool GraphFile::Write(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        qCWarning(lcGraphEngine).noquote() << "cannot write" << path << ":" << file.errorString();
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
