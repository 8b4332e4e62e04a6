#pragma once

#include <QByteArray>
#include <QString>

#include "graphnode.h"

// The text form of the engine's files (".xrg", ".xco", ".xtp", ".fg"): one XML
// element per node, its values as attributes in their text form, its children
// as child elements. The root element carries format="N", the version of the
// layout below it; readers refuse a version newer than they know.
//
// Reading stops at the first error (not XML, a limit of GraphLimits passed, an
// entity that expands beyond Qt's limit, another root element than expected)
// and gives false; nothing half-read is returned.
class GraphXmlFormat
{
public:
    // Empty when a value holds characters XML cannot store (control characters).
    static QByteArray Write(const GraphNode& root);
    static bool Read(const QByteArray& data, const QString& expectedRoot, GraphNode& root, QString* error = nullptr);

    // Files, written to a temporary file that replaces the target only when
    // complete. The file name is only used in warnings.
    static bool WriteFile(const QString& path, const GraphNode& root);
    static bool ReadFile(const QString& path, const QString& expectedRoot, GraphNode& root);
};
