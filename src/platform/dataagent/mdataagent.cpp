#include "mdataagent.h"

#include "objectpath.h"

MDataAgent::~MDataAgent() = default;

QString MDataAgent::QuoteText(const QString& text)
{
    return DataAgent::ObjectPath::quote(text);
}

bool MDataAgent::QueryPrefix(const QString&, const QStringList&, const QString&, const QStringList&, MDataSet& set)
{
    set.Clear();
    return false;
}

bool MDataAgent::QueryUnsetKey(const QString&, const QString&, const QStringList&, MDataSet& set)
{
    set.Clear();
    return false;
}

bool MDataAgent::SetSearchKeys(const QVariant&, const QString&, const QStringList&, const QStringList&)
{
    return false;
}

QString MDataAgent::SearchKeysStamp(const QString&)
{
    return {};
}

bool MDataAgent::ResetSearchKeys(const QString&, const QString&)
{
    return false;
}
