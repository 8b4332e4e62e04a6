#include "mdataagent.h"

#include "objectpath.h"

MDataAgent::~MDataAgent() = default;

QString MDataAgent::QuoteText(const QString& text)
{
    return DataAgent::ObjectPath::quote(text);
}
