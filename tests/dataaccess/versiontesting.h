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
        MGraphDoc doc;
        ImportTesting::buildStation(doc, label, 9);
        QDir().mkpath(QFileInfo(local(picture, version, "xrg")).absolutePath());
        bool ok = doc.WriteXmlFile(local(picture, version, "xrg")) && doc.WriteDataFile(local(picture, version, "brg"));
        doc.UpdateDataDefine();
        ok = ok && doc.WriteDynamicDataFile(local(picture, version, "fg"));
        for (const char* extension : {"xrg", "brg", "fg"}) {
            if (onServer) {
                QDir().mkpath(QFileInfo(server(picture, version, extension)).absolutePath());
                QFile::remove(server(picture, version, extension));
                ok = ok && QFile::copy(local(picture, version, extension), server(picture, version, extension));
            }
        }
        return ok;
    }
    // The station a drawing file shows ("<unreadable>" when it cannot be read).
    static QString stationOf(const QString& path)
    {
        MGraphDoc doc;
        return doc.ReadXmlFile(path) ? doc.GetGraphStation(1) : QStringLiteral("<unreadable>");
    }
    static QByteArray bytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // The versions recorded for the picture, ascending.
    static QList<int> versionsOf(const MDBRecordPicture& picture)
    {
        MDataSet set;
        BrelMmiDataAgent::Instance()->QueryChild(picture.oid, "history_edition", {"version"}, set);
        QList<int> versions;
        for (int i = 0; i < set.DataNum(); ++i)
            versions << set.GetFieldValue("version", i).toInt();
        std::sort(versions.begin(), versions.end());
        return versions;
    }
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
    // The names in a folder, sorted.
    static QStringList filesIn(const QString& directory)
    {
        QStringList names = QDir(directory).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        names.sort();
        return names;
    }
    QStringList serverFiles(const QString& picture) const { return filesIn(site.server("pic/A/" + picture)); }
    static QStringList localFiles(const QString& picture) { return filesIn(MDeployPaths::PictureDir("A", picture)); }

    QMap<QString, QString> editions; // picture name + version -> identifier
};

} // namespace VersionTesting
