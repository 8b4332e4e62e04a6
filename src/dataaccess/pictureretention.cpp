#include "pictureretention.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mvarendbinterface.h"
#include "recordlist.h"

namespace {

// A server listing this short holds no more than one version's files.
constexpr int kFewServerFiles = 3;

int versionOf(const MDBRecordBase* edition)
{
    return static_cast<const MDBRecordEdition*>(edition)->version;
}

} // namespace

PictureRetention::PictureRetention(const QString& application, const QString& picture)
    : m_application(application), m_picture(picture)
{
}

QString PictureRetention::serverDir() const
{
    return "pic/" + m_application + "/" + m_picture;
}

bool PictureRetention::isRetired(const QString& fileName) const
{
    bool number = false;
    const int version = fileName.section('.', 0, 0).toInt(&number, 10);
    return number && fileName.contains('.') && m_retired.contains(version);
}

void PictureRetention::Plan(const RecordList& editions, int keep)
{
    m_retired.clear();
    m_serverFiles.clear();
    if (keep <= 1 || editions.size() <= keep + 1)
        return;
    const QStringList files = MFileSynchronize::Instance()->ListServerDir(serverDir(), true);
    if (files.size() <= kFewServerFiles)
        return;
    QList<int> released;
    for (const MDBRecordBase* edition : editions) {
        if (versionOf(edition) > 0)
            released << versionOf(edition);
    }
    std::sort(released.begin(), released.end());
    if (released.size() <= keep)
        return;
    const int oldestKept = released.at(released.size() - keep);
    // Files of versions no record names any more go too, as long as they are old.
    for (const QString& file : files) {
        bool number = false;
        const int version = file.section('.', 0, 0).toInt(&number, 10);
        if (number && version > 0 && version < oldestKept && !released.contains(version))
            released << version;
    }
    for (int version : std::as_const(released)) {
        if (version < oldestKept && !m_retired.contains(version))
            m_retired << version;
    }
    std::sort(m_retired.begin(), m_retired.end());
    for (const QString& file : files) {
        if (isRetired(file))
            m_serverFiles << file;
    }
}

void PictureRetention::RetireRecords(MVarenDBInterface& db, MDBRecordBase* picture, const RecordList& editions) const
{
    for (MDBRecordBase* edition : editions) {
        if (m_retired.contains(versionOf(edition)))
            db.DeleteRecord(picture, edition);
    }
}

QStringList PictureRetention::RemoveFiles() const
{
    QStringList left;
    if (m_retired.isEmpty())
        return left;
    MFileSynchronize* sync = MFileSynchronize::Instance();
    for (const QString& file : m_serverFiles)
        sync->RemoveFile(serverDir() + "/" + file, true);
    // Removal reports nothing; the listing tells what stayed.
    for (const QString& file : sync->ListServerDir(serverDir(), true)) {
        if (m_serverFiles.contains(file))
            left << QString("old version file %1/%2 is still on the file server").arg(serverDir(), file);
    }
    const QDir local(MDeployPaths::PictureDir(m_application, m_picture));
    for (const QString& file : local.entryList(QDir::Files | QDir::System)) {
        const QString path = local.filePath(file);
        if (isRetired(file) && MDeployPaths::IsInsideGraphStore(path) && !QFile::remove(path))
            left << "cannot remove the old version file " + path;
    }
    return left;
}
