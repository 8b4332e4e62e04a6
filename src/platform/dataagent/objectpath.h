#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace DataAgent {

// An object path parsed into its steps:
//
//   path    := identifier | step { step }
//   step    := "/" name [ "," name "=" value ]
//   value   := "'" { any character but "'" | "''" } "'" | [ "-" ] digits [ "." digits ]
//   name    := letter-or-"_" { letter | digit | "_" }
//   identifier := digits            (selects exactly that object)
//
// Text values are quoted; a quote inside is doubled. The filter attribute
// "attr_oid" compares the object's identifier. Nothing else is accepted: no
// blanks outside quotes, no empty steps, nothing after the last step.
class ObjectPath
{
public:
    struct Step
    {
        QString className;
        QString attribute;  // empty: no filter
        QVariant value;     // QString for quoted text, qlonglong or double for numbers
    };

    static ObjectPath parse(const QString& text);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    bool isIdentifier() const { return m_identifier >= 0; }
    qlonglong identifier() const { return m_identifier; }
    const QList<Step>& steps() const { return m_steps; }

    // The text as a quoted path value: O'Brien becomes 'O''Brien'.
    static QString quote(const QString& text);

private:
    QList<Step> m_steps;
    qlonglong m_identifier = -1;
    QString m_error;
};

} // namespace DataAgent
