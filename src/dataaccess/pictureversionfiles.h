#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class MGraphDoc;

// The files of one picture version in the deployment tree, as an import
// writes them: the drawing (".xrg"), its binary form (".brg") and its dynamic
// data (".fg"), then handed to the file server. Until Keep() the files that
// were there before are put back when this goes, so that a failed import
// leaves the deployment tree as it found it. Failures are lines saying which
// file and why.
class PictureVersionFiles
{
public:
    explicit PictureVersionFiles(const QString& drawingPath);
    ~PictureVersionFiles();
    PictureVersionFiles(const PictureVersionFiles&) = delete;
    PictureVersionFiles& operator=(const PictureVersionFiles&) = delete;

    QString Path(const QString& extension) const;

    // Checks that the version's place is inside the graph store and keeps
    // copies of the files already there.
    bool Prepare(QString* error);
    // The drawing: a copy of source as it is, or doc written out when it was
    // changed (retyped, renamed); the source itself is never written.
    bool WriteDrawing(const MGraphDoc& doc, const QString& source, QString* error);
    bool WriteForms(MGraphDoc& doc, QString* error);
    // Uploads the three files; one line per file that did not reach the server.
    QStringList Upload() const;
    // The import stands: the new files stay.
    void Keep() { m_kept = true; }

    // Why an upload failed, from the file session's result.
    static QString UploadReason(int result);

private:
    void restore();

    QString m_drawing;
    bool m_madeDirectory = false;
    bool m_touched = false; // writing began: every file there is backed up or new
    bool m_kept = false;
    std::unique_ptr<QTemporaryDir> m_backup; // copies of the files that were there
    QStringList m_backedUp;                  // their extensions
};
