#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

#include "merrmsg.h"

class MAbstractDBInterface;
class MDBRecordBase;

// The draft of a picture between this workstation and the library, without
// widgets: saving it (after the host wrote its files), checking it in, and
// replacing it by a released version. Every upload is checked; the draft's
// record changes only after every file reached the server.
class PictureDrafts
{
public:
    // db is not owned; picture is copied.
    PictureDrafts(MAbstractDBInterface* db, const QString& application, const MDBRecordBase& picture);
    ~PictureDrafts();
    PictureDrafts(const PictureDrafts&) = delete;
    PictureDrafts& operator=(const PictureDrafts&) = delete;

    // Uploads the draft's files (and, for the application "common", the
    // per-application data files), then gives the draft record the drawing's
    // time. One message per file or record that failed; empty on success.
    QList<MErrMsg> SaveDraft() const;
    // Uploads the draft as it is on this workstation; refused when it is
    // missing or older than the library's draft. Lines say what failed.
    QStringList CheckInDraft() const;
    // Makes released version a copy as the draft, on the server and here,
    // and records the draft's new time. Lines say what failed.
    QStringList SaveAsDraft(int version) const;

    // The highest version of any picture of that name in the application, its
    // files fetched when stale: -100 when there is none, -1 when its drawing
    // is missing and could not be fetched.
    static int LatestVersion(MAbstractDBInterface* db, const QString& application, const QString& picture);

private:
    QStringList uploadDraftFiles(QList<MErrMsg>* messages) const;

    MAbstractDBInterface* m_db; // not owned
    QString m_application;
    std::unique_ptr<MDBRecordBase> m_picture; // owned copy
};
