#include "mdatatype.h"

int MDataType::FieldIndex(const QString& name) const
{
    for (int j = 0; j < m_fields.size(); ++j) {
        if (m_fields.at(j).name == name)
            return j;
    }
    return -1;
}

QStringList MDataType::FieldNames() const
{
    QStringList names;
    for (const MDataField& f : m_fields)
        names << f.name;
    return names;
}
