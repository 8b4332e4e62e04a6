#include "sitecheck.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "brelmmidataagent.h"
#include "command.h"
#include "file_svrconn_manager.h"
#include "i_file_session.h"
#include "mdataset.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "partialfolders.h"
#include "recordtime.h"
#include "siteenvironment.h"
#include "sqlconnection.h"

namespace {

constexpr int kWaitMs = 10000;
// A draft or latest version is rewritten in place; a local copy this much older
// than its record may be an older drawing, and is not uploaded over nothing.
constexpr qint64 kCurrentSlackSeconds = 60;

const QStringList kVersionExtensions{"xrg", "brg", "fg"};

QByteArray wire(const QString& text)
{
    return text.toUtf8();
}

QByteArray digest(const QString& file)
{
    QFile in(file);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return in.open(QIODevice::ReadOnly) && hash.addData(&in) ? hash.result() : QByteArray();
}

QString versionSubject(const QString& application, const QString& picture, int version)
{
    return QString("%1/%2 version %3").arg(application, picture).arg(version);
}

bool isStale(const QFileInfo& info)
{
    return info.lastModified().secsTo(QDateTime::currentDateTime()) > SiteCheck::kStaleSeconds;
}

} // namespace

SiteCheck::SiteCheck(bool repair)
    : m_repair(repair), m_agent(BrelMmiDataAgent::Instance()),
      m_session(file_svrconn_manager::instance()->get_file_session())
{
}

bool SiteCheck::IsTemporaryName(const QString& name)
{
    static const QRegularExpression transfer("^\\..+\\.part-[0-9a-f]+$");
    static const QRegularExpression safeWrite("^.+\\.(xrg|brg|fg|svg|xco|xtp|db|txt|env|json)\\.[A-Za-z0-9]{6}$");
    return transfer.match(name).hasMatch() || safeWrite.match(name).hasMatch();
}

void SiteCheck::run()
{
    checkDatabase();
    if (m_session) {
        std::vector<std::string> names;
        m_serverListed = m_session->ListServerDirectories(names, "", kWaitMs) >= 0;
        if (!m_serverListed)
            report({"file-server", qEnvironmentVariable("TALMER_FILE_SERVER"), "cannot list the file server"});
    } else {
        report({"file-server", "TALMER_FILE_SERVER", "no file server is configured"});
    }
    checkLibrary();
    const QString site = SiteEnvironment::Directory();
    const QString server = qEnvironmentVariable("TALMER_FILE_SERVER");
    if (!site.isEmpty()) {
        checkTemporaries(site, false);
        checkPartialFolders();
    } else {
        checkTemporaries(MDeployPaths::Root(), false);
        if (!server.isEmpty() && !server.contains("://"))
            checkTemporaries(server, true);
    }
}

void SiteCheck::checkDatabase()
{
    const QString spec = BrelMmiDataAgent::ConfiguredDatabase();
    const QString shown = SiteEnvironment::DatabaseName(spec);
    DataAgent::SqlConnection connection;
    if (!connection.open(spec, DataAgent::SqlConnection::OpenMode::MustExist, {})) {
        report({"database", shown, "cannot be opened"});
        return;
    }
    // PostgreSQL keeps its own pages whole; a query that answers is the check there.
    const QString sql = connection.isPostgres() ? "SELECT 'ok'" : "PRAGMA integrity_check";
    const DataAgent::SqlResult result = connection.run(sql, {});
    QStringList answers;
    while (result.ok() && result->next())
        answers << result->value(0).toString();
    if (answers != QStringList{"ok"})
        report({"database", shown, answers.isEmpty() ? "does not answer" : answers.mid(0, 5).join("; ")});
}

void SiteCheck::checkLibrary()
{
    MDataSet nodes;
    m_agent->QueryData("/node", {"name"}, nodes);
    for (int n = 0; n < nodes.DataNum(); ++n) {
        MDataSet applications;
        m_agent->QueryChild(nodes.DataAt(n).GetId(), "Containsapplication", {"name"}, applications);
        for (int a = 0; a < applications.DataNum(); ++a) {
            const QString name = applications.GetFieldValue("name", a).toString();
            if (name.isEmpty())
                report({"incomplete-record", "application " + applications.DataAt(a).GetId().toString(),
                        "has no name"});
            else
                checkApplication(applications.DataAt(a).GetId(), name);
        }
    }
}

void SiteCheck::checkApplication(const QVariant& application, const QString& name)
{
    // Picture folders are per application: a name may be taken once in it.
    QHash<QString, int> seen;
    MDataSet types;
    m_agent->QueryChild(application, "ContainspictureType", {"name"}, types);
    for (int t = 0; t < types.DataNum(); ++t) {
        MDataSet pictures;
        m_agent->QueryChild(types.DataAt(t).GetId(), "Containspicture", {"picname"}, pictures);
        for (int p = 0; p < pictures.DataNum(); ++p) {
            Picture picture{pictures.DataAt(p).GetId(), name, pictures.GetFieldValue("picname", p).toString(), 0, {}};
            ++m_pictures;
            if (picture.name.isEmpty()) {
                CheckFinding finding{"incomplete-record", QString("picture %1 of %2/%3")
                                         .arg(picture.id.toString(), name, types.GetFieldValue("name", t).toString()),
                                     "has no name", CheckFinding::RemoveRecord, "picture", picture.id};
                report(finding);
                continue;
            }
            if (++seen[picture.name] == 2)
                report({"duplicate", name + "/" + picture.name, "more than one picture of this name"});
            checkPicture(picture);
        }
    }
}

QList<SiteCheck::Edition> SiteCheck::readEditions(const QString& subject, const QVariant& picture)
{
    MDataSet set;
    m_agent->QueryChild(picture, "history_edition", {"version", "modifytime"}, set);
    QList<Edition> editions;
    QHash<int, int> count;
    for (int e = 0; e < set.DataNum(); ++e) {
        const MDataFieldValue version = set.GetFieldValue("version", e);
        const QVariant id = set.DataAt(e).GetId();
        if (version.IsNull()) {
            report({"incomplete-record", subject + ", edition " + id.toString(), "has no version",
                    CheckFinding::RemoveRecord, "edition", id});
            continue;
        }
        const Edition edition{id, version.toInt(), set.GetFieldValue("modifytime", e).toString()};
        if (++count[edition.version] == 2)
            report({"duplicate", versionSubject(subject.section('/', 0, 0), subject.section('/', 1), edition.version),
                    "more than one record of this version"});
        else if (count[edition.version] == 1)
            editions << edition;
    }
    return editions;
}

void SiteCheck::checkPicture(Picture& picture)
{
    picture.editions = readEditions(picture.application + "/" + picture.name, picture.id);
    for (const Edition& edition : std::as_const(picture.editions))
        picture.latest = qMax(picture.latest, edition.version);
    const QString localDir = MDeployPaths::PictureDir(picture.application, picture.name);
    const QString serverDir = MFileSynchronize::ServerPathForFetch(localDir + "/0.xrg").section('/', 0, -2);
    const QStringList onServer = serverFiles(serverDir);
    if (removeIfEmpty(picture, onServer))
        return;
    for (const Edition& edition : std::as_const(picture.editions)) {
        ++m_versions;
        checkVersionFiles(picture, edition, onServer);
    }
    checkUnrecordedFiles(picture, serverDir, onServer);
}

// Version files that no record announces: an import stopped between its
// uploads and its record. Young ones may belong to an import still running.
void SiteCheck::checkUnrecordedFiles(const Picture& picture, const QString& serverDirectory,
                                     const QStringList& serverFiles)
{
    static const QRegularExpression versionFile("^(\\d+)\\.(xrg|brg|fg|svg)$");
    if (!m_serverListed)
        return;
    QSet<int> recorded;
    for (const Edition& edition : picture.editions)
        recorded << edition.version;
    const QDir localDir(MDeployPaths::PictureDir(picture.application, picture.name));
    QStringList names = localDir.entryList(QDir::Files);
    for (const QString& name : serverFiles) {
        if (!names.contains(name))
            names << name;
    }
    for (const QString& name : std::as_const(names)) {
        const QRegularExpressionMatch match = versionFile.match(name);
        if (!match.hasMatch() || recorded.contains(match.captured(1).toInt()))
            continue;
        const QFileInfo local(localDir.filePath(name));
        const QString subject = picture.application + "/" + picture.name + "/" + name;
        const bool there = serverFiles.contains(name);
        if (!local.exists()) {
            report({"unrecorded-file", subject, "no version record announces it; on the file server only"});
        } else if (isStale(local)) {
            CheckFinding finding{"unrecorded-file", subject,
                                 there ? "no version record announces it; locally and on the file server"
                                       : "no version record announces it",
                                 CheckFinding::RemoveUnrecorded, local.filePath()};
            finding.serverPath = there ? serverDirectory + "/" + name : QString();
            report(finding);
        }
    }
}

// A picture whose record was made but none of whose files exist anywhere: an
// import that stopped halfway. Nobody can open it; the record goes.
bool SiteCheck::removeIfEmpty(const Picture& picture, const QStringList& serverFiles)
{
    const QString localDir = MDeployPaths::PictureDir(picture.application, picture.name);
    // Without the server's listing nobody can tell that it has no files.
    if (!m_serverListed || !serverFiles.isEmpty() || !QDir(localDir).entryList(QDir::Files | QDir::Hidden).isEmpty())
        return false;
    report({"incomplete-record", picture.application + "/" + picture.name,
            "has no files, locally or on the file server", CheckFinding::RemoveRecord, "picture", picture.id});
    return true;
}

void SiteCheck::checkVersionFiles(const Picture& picture, const Edition& edition, const QStringList& serverFiles)
{
    bool anywhere = false;
    for (const QString& extension : kVersionExtensions) {
        const QString local = MDeployPaths::VersionFile(picture.application, picture.name, edition.version, extension);
        anywhere = anywhere || QFileInfo::exists(local) || serverFiles.contains(QFileInfo(local).fileName());
    }
    if (!anywhere && m_serverListed) {
        report({"incomplete-record", versionSubject(picture.application, picture.name, edition.version),
                "has no files, locally or on the file server", CheckFinding::RemoveRecord, "edition", edition.id});
        return;
    }
    for (const QString& extension : kVersionExtensions) {
        const QString local = MDeployPaths::VersionFile(picture.application, picture.name, edition.version, extension);
        checkFile(picture, edition, local, serverFiles.contains(QFileInfo(local).fileName()));
    }
}

void SiteCheck::checkFile(const Picture& picture, const Edition& edition, const QString& local, bool onServer)
{
    ++m_files;
    const QString subject = versionSubject(picture.application, picture.name, edition.version) + " ("
        + QFileInfo(local).fileName() + ")";
    const bool here = QFileInfo(local).isFile();
    if (!m_serverListed) {
        if (!here)
            report({"missing-file", subject, "missing locally"});
        return;
    }
    if (here && onServer) {
        if (!sameContent(local, MFileSynchronize::ServerPathForFetch(local)))
            report({"differing-file", subject, "the local copy and the file server's differ"});
    } else if (here) {
        if (isCurrent(picture, edition, local))
            report({"missing-file", subject, "missing on the file server", CheckFinding::Upload, local});
        else
            report({"missing-file", subject, "missing on the file server; the local copy is older than the version"});
    } else if (onServer) {
        report({"missing-file", subject, "missing locally", CheckFinding::Fetch, local});
    } else {
        report({"missing-file", subject, "missing locally and on the file server"});
    }
}

// A released version other than the latest is never rewritten, so any local
// copy of it is the version; the draft and the latest may be, so their copy
// must be as new as the record.
bool SiteCheck::isCurrent(const Picture& picture, const Edition& edition, const QString& local) const
{
    if (edition.version > 0 && edition.version < picture.latest)
        return true;
    const std::optional<qint64> recorded = RecordTime::Seconds(edition.modifyTime);
    return recorded && QFileInfo(local).lastModified().toSecsSinceEpoch() + kCurrentSlackSeconds >= *recorded;
}

QStringList SiteCheck::serverFiles(const QString& serverDirectory) const
{
    std::vector<std::string> names;
    QStringList files;
    if (!m_serverListed || m_session->ListServerFiles(names, wire(serverDirectory).constData(), kWaitMs) < 0)
        return files;
    for (const std::string& name : names)
        files << QString::fromStdString(name);
    return files;
}

bool SiteCheck::sameContent(const QString& local, const QString& serverPath)
{
    QTemporaryDir scratch;
    const QString copy = scratch.filePath("server-copy");
    if (!scratch.isValid() || m_session->DownloadFile(wire(serverPath).constData(), wire(copy).constData(), 0, kWaitMs) < 0)
        return false;
    return QFileInfo(copy).size() == QFileInfo(local).size() && digest(copy) == digest(local);
}

void SiteCheck::checkTemporaries(const QString& root, bool onServer)
{
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return;
    // Links are not followed: what lies outside the tree is not the site's.
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (!IsTemporaryName(info.fileName()) || !isStale(info))
            continue;
        report({"temporary-file", info.filePath(),
                onServer ? "left on the file server by an interrupted write" : "left by an interrupted write",
                CheckFinding::RemoveLocal, info.filePath()});
    }
}

void SiteCheck::checkPartialFolders()
{
    for (const QString& folder : PartialFolders::Find(SiteEnvironment::Directory())) {
        if (PartialFolders::IsStale(folder))
            report({"partial-folder", folder, "left by an interrupted site init", CheckFinding::RemoveFolder, folder});
    }
}

void SiteCheck::report(CheckFinding finding)
{
    if (m_repair && finding.fix != CheckFinding::NoFix)
        repair(finding);
    m_findings << finding;
}

void SiteCheck::repair(CheckFinding& finding)
{
    MFileSynchronize* sync = MFileSynchronize::Instance();
    switch (finding.fix) {
    case CheckFinding::Upload:
        finding.repaired = sync->SaveFile(finding.target) >= 0;
        break;
    case CheckFinding::Fetch:
        finding.repaired = sync->GetFile(finding.target) >= 0 && QFileInfo(finding.target).isFile();
        break;
    case CheckFinding::RemoveRecord:
        finding.repaired = m_agent->DeleteData(finding.target, {finding.record});
        break;
    case CheckFinding::RemoveLocal:
        finding.repaired = QFile::remove(finding.target);
        break;
    case CheckFinding::RemoveFolder:
        finding.repaired = QDir(finding.target).removeRecursively();
        break;
    case CheckFinding::RemoveUnrecorded:
        // The server copy first: a local copy left alone is found again.
        finding.repaired = (finding.serverPath.isEmpty()
                            || m_session->RemoveServerFile(wire(finding.serverPath).constData()) >= 0)
            && QFile::remove(finding.target);
        break;
    case CheckFinding::NoFix:
        break;
    }
    if (!finding.repaired)
        finding.repairError = Command::withReason("the repair failed");
}
