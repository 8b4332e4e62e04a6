#include "merrmsg.h"

MErrMsg::MErrMsg(const QString& object, const QString& message, int code)
    : object(object), message(message), code(code)
{
}

bool MErrMsg::operator==(const MErrMsg& other) const
{
    return code == other.code && object == other.object && message == other.message;
}
