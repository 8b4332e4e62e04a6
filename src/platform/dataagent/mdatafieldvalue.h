#pragma once

#include <QString>
#include <QVariant>

// One attribute value of a result object. A never-written attribute holds a
// null QVariant.
class MDataFieldValue
{
public:
    MDataFieldValue() = default;
    explicit MDataFieldValue(const QVariant& value) : m_value(value) {}

    const QVariant& GetValue() const { return m_value; }
    void SetValue(const QVariant& value) { m_value = value; }
    bool IsNull() const { return m_value.isNull(); }

    QString toString() const { return m_value.toString(); }
    int toInt(bool* ok = nullptr) const { return m_value.toInt(ok); }
    uint toUInt(bool* ok = nullptr) const { return m_value.toUInt(ok); }
    bool toBool() const { return m_value.toBool(); }

private:
    QVariant m_value;
};
