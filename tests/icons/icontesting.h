#pragma once

#include <QList>
#include <QSizeF>
#include <QString>

#include "mdbrecordicon.h"

// Icon files for the icon view tests.
namespace IconTesting {

// Writes an icon template with patterns filled rectangles (red, green, blue,
// ...) to path, creating its folder. False on failure.
bool writeIcon(const QString& path, const QString& name, const QString& uuid, const QString& catalog,
               int patterns = 1, const QSizeF& size = QSizeF(40, 30));

struct IconInfo
{
    QString name, uuid, catalog;
    int catalogId = -1;
    int shapeType = -1;
    bool read = false;
};
IconInfo readIcon(const QString& path);

// The icon records of the icon type of that name, as the database has them.
QList<MDBRecordIcon> iconRecords(const QString& type);

} // namespace IconTesting
