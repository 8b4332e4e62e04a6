#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes of the engine. A write goes to a temporary file
// beside the target that replaces it only when complete, so a failed or
// interrupted write never leaves a damaged drawing.
class GraphFile
{
public:
    static bool Write(const QString& path, const QByteArray& data);
    // False (with a warning) when the file cannot be read or is larger than
    // any drawing (GraphLimits::kMaxFileBytes).
    static bool Read(const QString& path, QByteArray& data);
};
