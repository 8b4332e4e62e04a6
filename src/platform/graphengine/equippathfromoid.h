#pragma once

#include <QString>

// An equipment identifier and the equipment path it was found from.
struct EquipPathFromOID
{
    QString oid;
    QString path;
};
