#include "mmitr.h"

#include "hmistore.h"

QString mmi_tr(const QString& text, const QString& context)
{
    if (text.isEmpty())
        return {};
    return HmiStore::instance().snapshot().translations.value(context + '\n' + text);
}
