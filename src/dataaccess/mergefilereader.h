#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

#include "mergepicture.h"

// Reads a library export file ("mmiexport": picture types, their pictures,
// their versions) and trusts nothing in it. The raw bytes go to the XML reader,
// so the encoding the file declares is honoured (older stations wrote GB18030).
// A file that is too large, not XML, has a document type, nests deeper or uses
// other element names than an export is refused whole; inside a good file,
// a picture or type whose name is not a safe path part, a second picture of a
// name, and a version whose number or times do not parse are skipped with a
// warning. Records read carry no identifiers: those of another site mean
// nothing here, and writing through them would touch unrelated objects.
class MergeFileReader
{
public:
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

    struct Result
    {
        bool ok = false;
        QString error;        // why the file was refused
        QStringList warnings; // what was skipped
        QList<MergeType> types;
        std::vector<MergePicture> pictures; // in file order
    };

    static Result ReadFile(const QString& path, qint64 maxBytes = kMaxBytes);
    static Result Parse(const QByteArray& data);

private:
    // The element structure alone, before any DOM is built.
    static QString structureProblem(const QByteArray& data);
};
