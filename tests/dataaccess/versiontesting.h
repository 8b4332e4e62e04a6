#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

#include "brelmmidataagent.h"
#include "importtesting.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "mvarendbinterface.h"
#include "testsite.h"

// A site whose pictures have versions with their files on this workstation
// and on the directory file server, for the version command tests.
// Header-only: it uses the layer the test links.
namespace VersionTesting {

inline const QString kOldTime = QStringLiteral("2026-01-01T10:00:00");

// The station a drawing file shows ("<unreadable>" when it cannot be read).
inline QString stationOf(const QString& path)
{
    MGraphDoc doc;
    return doc.ReadXmlFile(path) ? doc.GetGraphStation(1) : QStringLiteral("<unreadable>");
}

inline QByteArray bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The names in a folder, sorted.
inline QStringList filesIn(const QString& directory)
{
    QStringList names = QDir(directory).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    names.sort();
    return names;
}

// Every entry of a folder with its bytes: what "nothing changed" compares.
inline QMap<QString, QByteArray> snapshot(const QString& directory)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : filesIn(directory))
        files[name] = QFileInfo(directory + "/" + name).isDir() ? QByteArray("<dir>") : bytes(directory + "/" + name);
    return files;
}

// The versions recorded for the picture with that identifier, ascending.
inline QList<int> versionsOf(const QString& picture)
{
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryChild(picture, "history_edition", {"version"}, set);
    QList<int> versions;
    for (int i = 0; i < set.DataNum(); ++i)
        versions << set.GetFieldValue("version", i).toInt();
    std::sort(versions.begin(), versions.end());
    return versions;
}

// Writes the three files of a version of picture in application "A" (a
// drawing of station label), and copies them to serverDirectory when given.
inline bool writeVersionFiles(const QString& picture, int version, const QString& label,
                              const QString& serverDirectory = {})
{
    MGraphDoc doc;
    ImportTesting::buildStation(doc, label, 9);
    const QString base = MDeployPaths::PictureDir("A", picture) + QString("/%1").arg(version);
    QDir().mkpath(QFileInfo(base).absolutePath());
    bool ok = doc.WriteXmlFile(base + ".xrg") && doc.WriteDataFile(base + ".brg");
    doc.UpdateDataDefine();
    ok = ok && doc.WriteDynamicDataFile(base + ".fg");
    for (const char* extension : {".xrg", ".brg", ".fg"}) {
        if (serverDirectory.isEmpty())
            continue;
        const QString server = QString("%1/%2%3").arg(serverDirectory).arg(version).arg(extension);
        QDir().mkpath(serverDirectory);
        QFile::remove(server);
        ok = ok && QFile::copy(base + extension, server);
    }
    return ok;
}

class VersionSite
{
public:
    VersionSite() : db(std::make_unique<MVarenDBInterface>()) {}

    TestSupport::TestSite site;
    std::unique_ptr<MVarenDBInterface> db;

    // A picture of type "feeder" with these versions; each version's three
    // files hold a drawing of station "v<n>", here and on the server.
    MDBRecordPicture picture(const QString& name, const QList<int>& versions, const QString& time = kOldTime)
    {
        MDBRecordPicture record;
        record.name = name;
        record.oid = site.builder().picture(site.feeder, name);
        for (int v : versions) {
            editions[name + QString::number(v)] = site.builder().edition(record.oid, v, time);
            writeVersion(name, v, QString("v%1").arg(v));
        }
        return record;
    }
    static QString local(const QString& picture, int version, const QString& extension)
    {
        return MDeployPaths::VersionFile("A", picture, version, extension);
    }
    QString server(const QString& picture, int version, const QString& extension) const
    {
        return site.server(QString("pic/A/%1/%2.%3").arg(picture).arg(version).arg(extension));
    }
    // Writes version's files (drawing of station label) here and on the server.
    bool writeVersion(const QString& picture, int version, const QString& label, bool onServer = true) const
    {
        return writeVersionFiles(picture, version, label, onServer ? site.server("pic/A/" + picture) : QString());
    }
    static QString stationOf(const QString& path) { return VersionTesting::stationOf(path); }
    static QByteArray bytes(const QString& path) { return VersionTesting::bytes(path); }
    static QList<int> versionsOf(const MDBRecordPicture& picture) { return VersionTesting::versionsOf(picture.oid); }
    static QString timeOf(const MDBRecordPicture& picture, int version, const char* field = "modifytime")
    {
        MDataSet set;
        BrelMmiDataAgent::Instance()->QueryChild(picture.oid, "history_edition", {"version", field}, set);
        for (int i = 0; i < set.DataNum(); ++i) {
            if (set.GetFieldValue("version", i).toInt() == version)
                return set.GetFieldValue(field, i).toString();
        }
        return {};
    }
    static QStringList filesIn(const QString& directory) { return VersionTesting::filesIn(directory); }
    QStringList serverFiles(const QString& picture) const { return filesIn(site.server("pic/A/" + picture)); }
    static QStringList localFiles(const QString& picture) { return filesIn(MDeployPaths::PictureDir("A", picture)); }

    QMap<QString, QString> editions; // picture name + version -> identifier
};

} // namespace VersionTesting
