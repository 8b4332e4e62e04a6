#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One attribute of a result set's type.
struct MDataField
{
    QString name;
    QString GetName() const { return name; }
};

// The attributes present in a result set, in the order the query asked for them.
class MDataType
{
public:
    int FieldNum() const { return int(m_fields.size()); }
    const MDataField& FieldAt(int j) const { return m_fields.at(j); }
    // The position of the named attribute; -1 when the set does not hold it.
    int FieldIndex(const QString& name) const;

    void AddField(const QString& name) { m_fields.append(MDataField{name}); }
    void Clear() { m_fields.clear(); }
    QStringList FieldNames() const;

private:
    QList<MDataField> m_fields;
};
