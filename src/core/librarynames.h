#pragma once

#include <QCoreApplication>
#include <QString>

#include "mdataagent.h"

// Names every layer builds its queries and messages from.
namespace Library {

// The one node that holds every application.
inline const QString kNode = QStringLiteral("node1");

// The object path of an application below the node.
inline QString ApplicationPath(const QString& application)
{
    return QStringLiteral("/node,name='node1'/application,name=") + MDataAgent::QuoteText(application);
}

// A name quoted for an object path.
inline QString Quoted(const QString& text)
{
    return MDataAgent::QuoteText(text);
}

// A message text translated in the context of the class that shows it.
inline QString Tr(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

} // namespace Library
