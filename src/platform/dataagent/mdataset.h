#pragma once

#include <QList>
#include <QString>

#include "mdataobject.h"
#include "mdatatype.h"

// The objects a query found, all of one class, with the attributes asked for.
class MDataSet
{
public:
    int DataNum() const { return int(m_objects.size()); }
    const MDataObject& DataAt(int i) const { return m_objects.at(i); }
    const MDataType& DataType() const { return m_type; }
    MDataType& DataType() { return m_type; }

    // The value of the named attribute of object i; a null value when the set
    // does not hold the attribute or i is out of range.
    MDataFieldValue GetFieldValue(const QString& name, int i) const;
    MDataFieldValue GetFieldValueByIndex(int j, int i) const;

    void Append(MDataObject object) { m_objects.append(std::move(object)); }
    void Reserve(int n) { m_objects.reserve(n); }
    void Clear();

private:
    MDataType m_type;
    QList<MDataObject> m_objects;
};
