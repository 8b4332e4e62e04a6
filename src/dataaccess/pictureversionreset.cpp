#include "pictureversionreset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "pictureeditions.h"
#include "recordtime.h"
#include "versionpublisher.h"

namespace {

const QStringList kVersionFiles{"xrg", "brg", "fg", "svg"};

PictureVersionReset::Outcome failed(const QStringList& lines)
{
    PictureVersionReset::Outcome out;
    out.errors = lines;
    return out;
}

// Version 1's new files from the latest version's current ones. hasSvg: the
// latest version has an image (an imported one may not).
bool stageLatest(const PictureEditions& editions, int latest, VersionPublisher& files, bool& hasSvg, QString* error)
{
    for (const char* extension : {"xrg", "brg", "fg"}) {
        if (!editions.MakeCurrent(latest, extension, error))
            return false;
    }
    QString why;
    hasSvg = editions.MakeCurrent(latest, "svg", &why);
    // Version 1's own files are what the server gets back on a failure.
    for (const QString& extension : kVersionFiles) {
        if (!editions.MakeCurrent(1, extension, &why) && QFileInfo::exists(editions.File(1, extension))) {
            *error = why;
            return false;
        }
    }
    for (const QString& extension : kVersionFiles) {
        if ((extension != "svg" || hasSvg) && !files.StageCopy(editions.File(latest, extension), extension, error))
            return false;
    }
    return true;
}

} // namespace

PictureVersionReset::PictureVersionReset(MAbstractDBInterface* db, const QString& application,
                                         const MDBRecordBase& picture)
    : m_db(db), m_application(application), m_picture(picture.Clone())
{
}

PictureVersionReset::~PictureVersionReset() = default;

int PictureVersionReset::VersionOfFile(const QString& fileName)
{
    static const QRegularExpression pattern("^(\\d{1,9})\\.(xrg|brg|fg|svg)$");
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

PictureVersionReset::Outcome PictureVersionReset::Reset() const
{
    QString error;
    PictureEditions editions(m_db, m_application, *m_picture);
    if (!editions.Read(&error))
        return failed({error});
    const int latest = editions.Latest();
    if (editions.Records().size() < 3 || latest < 2) {
        Outcome nothing;
        nothing.ok = true;
        return nothing;
    }
    VersionPublisher files(m_application, m_picture->name, 1);
    bool hasSvg = false;
    if (!stageLatest(editions, latest, files, hasSvg, &error))
        return failed({error});
    QStringList lines;
    if (!files.Upload(&lines))
        return failed(lines);
    MDBRecordEdition first;
    if (const MDBRecordEdition* old = editions.Find(1))
        first = *old;
    first.version = 1;
    // The release time and a time that makes other workstations fetch the new
    // version 1 instead of keeping the one they have.
    first.modifyTime = first.versionTime = RecordTime::Now();
    const bool written = PictureEditions::HasIdentifier(first) ? editions.Update(first, &error)
                                                                : editions.Insert(first, &error);
    if (!written) {
        lines << error;
        files.RollBack(&lines);
        return failed(lines);
    }
    Outcome out;
    out.changed = true;
    QList<int> kept{0, 1};
    for (MDBRecordBase* record : editions.Records()) {
        auto* edition = static_cast<MDBRecordEdition*>(record);
        if (edition->version >= 2 && !editions.Delete(*edition, &error)) {
            out.errors << error;
            kept << edition->version;
        }
    }
    files.Commit(&out.errors, hasSvg ? QStringList() : QStringList{"svg"});
    removeOldFiles(kept);
    out.ok = out.errors.isEmpty();
    return out;
}

// Removes the files of the deleted versions here and on the server.
void PictureVersionReset::removeOldFiles(const QList<int>& kept) const
{
    const QString directory = MDeployPaths::PictureDir(m_application, m_picture->name);
    for (const QString& name : QDir(directory).entryList(QDir::Files)) {
        const int version = VersionOfFile(name);
        const QString path = directory + "/" + name;
        // Nothing outside the graph store, whatever links the folder holds.
        if (version >= 2 && !kept.contains(version) && MDeployPaths::IsInsideGraphStore(path))
            QFile::remove(path);
    }
    const QString server = QString("pic/%1/%2").arg(m_application, m_picture->name);
    MFileSynchronize* sync = MFileSynchronize::Instance();
    for (const QString& name : sync->ListServerDir(server, true)) {
        const int version = VersionOfFile(name);
        if (version >= 2 && !kept.contains(version))
            sync->RemoveFile(server + "/" + name, true);
    }
}
