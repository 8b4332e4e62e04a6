#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <functional>

#include "merrmsg.h"

class MAbstractDBInterface;
class MDBRecordBase;

// Rewrites the drawing of one picture, or of many, with one operation: the
// object identifiers refreshed from their paths, the shared flag set or
// cleared, or the texts translated. The version worked on is the draft when it
// is not older than the latest version, else the latest one. The three files
// are written and uploaded, and only when all three are on the file server is
// the version record updated. A picture that cannot be done is skipped and
// says why in an MErrMsg: a drawing that does not read is never written back
// empty, and a stale copy whose fetch failed is never uploaded over the
// server's newer one.
class PictureBatch
{
    Q_DECLARE_TR_FUNCTIONS(PictureBatch)

public:
    enum class Operation { RefreshOids, Share, CancelShare, Translate };
    // Type code whose drawings keep their identifiers on a refresh.
    static constexpr int kNoRefreshTypeCode = 8;

    PictureBatch(MAbstractDBInterface* db, Operation operation, const QString& application);

    // Processes a picture of a type with the given code; false when skipped.
    bool Process(MDBRecordBase* picture, int typeCode, QList<MErrMsg>& errors);
    // Processes the pictures in order; before each, next(index, name) may stop
    // the run (a cancel). Returns how many were reached.
    int ProcessAll(const QList<MDBRecordBase*>& pictures, int typeCode, QList<MErrMsg>& errors,
                   const std::function<bool(int, const QString&)>& next);

private:
    // The local drawing of the version, fetched when stale; empty when it
    // cannot be had (errors says why).
    QString drawingFile(const QString& picture, int version, const QString& modifyTime, QList<MErrMsg>& errors);
    // Writes one of the three files and uploads it; false (with an error) on failure.
    bool writeAndUpload(const QString& picture, const QString& path, const std::function<bool()>& write,
                        QList<MErrMsg>& errors);

    MAbstractDBInterface* m_db; // not owned: the process-wide interface
    Operation m_operation;
    QString m_application;
};
