#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class MDBRecordBase;
class MVarenDBInterface;
class RecordList;

// The import's retention: keeps the newest released versions of a picture and
// retires the older ones, their records and their files (locally and on the
// file server). It is planned while the import holds its claim on the library
// and applied in two steps, the records inside the import's transaction and
// the files once that is committed, so that no record outlives its files.
// Only versions older than the oldest kept one are retired: files of newer
// versions on the server may belong to an import still on its way.
class PictureRetention
{
public:
    PictureRetention(const QString& application, const QString& picture);

    // Decides what to retire. editions: the picture's editions before the
    // import, the draft included; keep: how many released versions of those
    // stay. Nothing is retired unless keep is above 1, there are more editions
    // than keep + 1 and the server directory holds more than 3 files.
    void Plan(const RecordList& editions, int keep);
    const QList<int>& Retired() const { return m_retired; }

    // Deletes the retired versions' edition records below picture.
    void RetireRecords(MVarenDBInterface& db, MDBRecordBase* picture, const RecordList& editions) const;
    // Removes the retired versions' files from the server and the deployment
    // tree; one line for each file that is still there.
    QStringList RemoveFiles() const;

private:
    QString serverDir() const;
    bool isRetired(const QString& fileName) const;

    QString m_application;
    QString m_picture;
    QList<int> m_retired;      // released versions, ascending
    QStringList m_serverFiles; // their files on the server, by name
};
