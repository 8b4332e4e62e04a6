#pragma once

#include <QList>
#include <QVariant>

#include "mdatafieldvalue.h"

// One object of a result set: its identifier and its attribute values, in the
// order of the set's MDataType.
class MDataObject
{
public:
    MDataObject() = default;
    MDataObject(const QVariant& id, QList<MDataFieldValue> values)
        : m_id(id), m_values(std::move(values)) {}

    // The object's identifier (a number; as text it is a path to the object).
    const QVariant& GetId() const { return m_id; }
    int FieldNum() const { return int(m_values.size()); }
    const MDataFieldValue& FieldAt(int j) const { return m_values.at(j); }
    const QList<MDataFieldValue>& GetFieldList() const { return m_values; }

private:
    QVariant m_id;
    QList<MDataFieldValue> m_values;
};
