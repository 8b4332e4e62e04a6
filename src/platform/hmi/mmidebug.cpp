#include "mmidebug.h"

#include "hmilog.h"

void mmi_debug(const QString& text)
{
    qCDebug(lcHmiDebug).noquote() << text;
}
