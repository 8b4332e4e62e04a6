#pragma once

#include <QString>
#include <QStringList>

// Publishes new content for the files of one picture version, all or nothing:
// the new files are written under staging names in the picture's folder (so
// that the file server maps them to the picture's server folder), uploaded
// under the version's names, and only then renamed over this workstation's
// files. Until Commit() the workstation's files of the version are untouched;
// when an upload fails, the files already uploaded are put back on the server
// from this workstation's copies (removed there when it has none), so callers
// make those copies current first.
//
//   VersionPublisher out("A", "P", 3);
//   out.StageCopy(draftFg, "fg", &error);
//   if (out.Upload(&errors) && recordWritten) out.Commit(&errors); else out.RollBack();
class VersionPublisher
{
public:
    VersionPublisher(const QString& application, const QString& picture, int version);
    ~VersionPublisher(); // staged files are removed
    VersionPublisher(const VersionPublisher&) = delete;
    VersionPublisher& operator=(const VersionPublisher&) = delete;

    int Version() const { return m_version; }
    QString Directory() const { return m_directory; }
    // The version's own file of that extension ("xrg", "brg", "fg", "svg").
    QString FinalPath(const QString& extension) const;
    // Where the new content of that extension is written before Upload().
    QString StagedPath(const QString& extension) const;
    // Whether the version's files and their staging names lie inside the
    // graph store, with no link leading a write out of it. Every write and
    // upload here checks it; callers writing staged files themselves first.
    bool IsInside(QString* error) const;
    // Notes a file written at StagedPath(extension) by the caller.
    void Staged(const QString& extension);
    // Copies source to StagedPath(extension) and notes it.
    bool StageCopy(const QString& source, const QString& extension, QString* error);
    // Writes the dynamic data of drawing (a version without its own ".fg")
    // to StagedPath("fg") and notes it.
    bool StageDynamicData(const QString& drawing, QString* error);
    QStringList StagedExtensions() const { return m_staged; }

    // Uploads every staged file as "<version>.<extension>". False (one line
    // per problem in errors, the server put back) when any upload fails.
    bool Upload(QStringList* errors);
    // Puts the server back after a successful Upload() whose record could
    // not be written. Lines about files that could not be put back go to errors.
    void RollBack(QStringList* errors = nullptr);
    // Renames the staged files over the workstation's files. removed lists
    // the extensions whose own file is to go (a version that has no ".svg"
    // any more); they are removed here and on the server.
    bool Commit(QStringList* errors, const QStringList& removed = {});

private:
    QString serverPath(const QString& extension) const;
    void putBack(const QStringList& uploaded, QStringList* errors);

    QString m_application, m_picture, m_directory;
    int m_version;
    QStringList m_staged;   // extensions written under staging names
    QStringList m_uploaded; // extensions the server holds the new content of
};
