#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// One failure reported to the user in a batch, such as an object identifier that
// could not be resolved again from its object path.
class MErrMsg
{
public:
    MErrMsg() = default;
    MErrMsg(const QString& object, const QString& message, int code = -1);

    QString object;   // what failed: an object path, a picture or file name
    QString message;  // why, in words for the user
    int code = -1;    // the failing operation's result

    bool operator==(const MErrMsg& other) const;
    bool operator!=(const MErrMsg& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(MErrMsg)
Q_DECLARE_METATYPE(QList<MErrMsg>)
