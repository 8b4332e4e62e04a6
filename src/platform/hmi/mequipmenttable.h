#pragma once

#include <QString>

// The HMI's equipment table: which equipment identifier (oid) a path such as
// "/北京站/110kV/101开关" names. Filled with MHmiAdmin::SetEquipment.
class MEquipmentTable
{
public:
    // The identifier of the equipment at path; empty when there is none.
    static QString Lookup(const QString& path);
};
