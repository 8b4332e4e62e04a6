#include "mdataset.h"

MDataFieldValue MDataSet::GetFieldValue(const QString& name, int i) const
{
    return GetFieldValueByIndex(m_type.FieldIndex(name), i);
}

MDataFieldValue MDataSet::GetFieldValueByIndex(int j, int i) const
{
    if (i < 0 || i >= m_objects.size() || j < 0 || j >= m_objects.at(i).FieldNum())
        return MDataFieldValue();
    return m_objects.at(i).FieldAt(j);
}

void MDataSet::Clear()
{
    m_type.Clear();
    m_objects.clear();
}
