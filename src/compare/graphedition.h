#pragma once

#include <QList>
#include <QString>

class MGraphDoc;

// The editions of a picture as the deployment tree holds them
// (pic/{application}/{picture}/{n}.brg and .xrg, version 0 the draft). An
// edition is read from its binary form, else from its text form, as the hosts
// open drawings. Failures are results with a sentence saying why; nothing is
// written.
class GraphEdition
{
public:
    // Reads version of application/picture into doc. False, with doc empty and
    // error set, when the names are no picture names, the picture or the
    // version is not in the tree, or neither form reads as a drawing.
    static bool Load(const QString& application, const QString& picture, int version, MGraphDoc& doc,
                     QString& error);
    // The versions the tree holds for the picture, ascending. False with error
    // when the picture is not there.
    static bool Versions(const QString& application, const QString& picture, QList<int>& versions, QString& error);

    // "draft" or "version 3".
    static QString Name(int version);
    // "draft" (or "0") or a version number; false for anything else.
    static bool ParseVersion(const QString& text, int& version);

private:
    static bool checkPicture(const QString& application, const QString& picture, QString& error);
};
