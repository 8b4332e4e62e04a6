#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class MAbstractDBInterface;
class MDBRecordBase;
class MGraphDoc;
class PictureEditions;
class VersionPublisher;

// Releasing a picture's draft as a numbered version, without widgets: the
// editor tree asks the questions and shows the outcome.
//
// A release completes or changes nothing: the draft is made current first,
// the version's files are built under staging names, uploaded, the record is
// written last, and only then do the workstation's files of the version
// change. A failed upload puts the server's files back; a record the library
// refuses takes the uploaded files back off the server.
class PictureRelease
{
public:
    struct Outcome
    {
        bool ok = false;
        int version = -1;     // the version released
        QStringList errors;   // why it failed; empty when ok
        QStringList warnings; // it stands, but a side step did not work
    };

    // db is not owned; picture is copied.
    PictureRelease(MAbstractDBInterface* db, const QString& application, const MDBRecordBase& picture);
    ~PictureRelease();
    PictureRelease(const PictureRelease&) = delete;
    PictureRelease& operator=(const PictureRelease&) = delete;

    // The highest released version (0: none yet, the next release is 1 without
    // asking); -1 when the library cannot be read.
    int LatestReleased(QString* error) const;
    // Releases the draft as the next version (increase, or when there is no
    // version yet) or over the latest version.
    Outcome Release(bool increase) const;

    // Reads the drawing source, gives it the icon library's current icons
    // (when the site's "local_icon" define is "0") and writes it as target +
    // ".xrg", ".brg" and ".svg". False, and nothing written, when the drawing
    // cannot be read; false when a write fails.
    static bool RefreshTemplates(MAbstractDBInterface* db, const QString& source, const QString& target,
                                 QString* error);

private:
    bool recordRelease(const PictureEditions& editions, int version, VersionPublisher& files, Outcome& out) const;
    void refreshPrevious(const PictureEditions& editions, int previous, Outcome& out) const;

    MAbstractDBInterface* m_db; // not owned
    QString m_application;
    std::unique_ptr<MDBRecordBase> m_picture; // owned copy
};
