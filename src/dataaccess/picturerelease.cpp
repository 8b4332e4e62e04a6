#include "picturerelease.h"

#include <QFileInfo>

#include "mabstractdbinterface.h"
#include "mdbrecords.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "miconmgr.h"
#include "micontemplate.h"
#include "mmidebug.h"
#include "pictureeditions.h"
#include "recordtime.h"
#include "versionpublisher.h"

namespace {

PictureRelease::Outcome failed(PictureRelease::Outcome& out, const QString& line)
{
    if (!line.isEmpty())
        out.errors << line;
    out.ok = false;
    return out;
}

// The staged files' common name without its extension.
QString stagedBase(const VersionPublisher& files)
{
    const QString xrg = files.StagedPath("xrg");
    return xrg.left(xrg.size() - 4);
}

// The new version's files from the (current) draft: the drawing with fresh
// icons, its binary form and image, and the draft's dynamic data (written
// from the drawing when the draft has none).
bool stageFromDraft(const PictureEditions& editions, MAbstractDBInterface* db, VersionPublisher& files,
                    QString* error)
{
    const QString draft = editions.File(0, "xrg");
    if (!files.IsInside(error) || !PictureRelease::RefreshTemplates(db, draft, stagedBase(files), error))
        return false;
    files.Staged("xrg");
    files.Staged("brg");
    files.Staged("svg");
    QString why;
    if (editions.MakeCurrent(0, "fg", &why))
        return files.StageCopy(editions.File(0, "fg"), "fg", error);
    return files.StageDynamicData(draft, error);
}

} // namespace

PictureRelease::PictureRelease(MAbstractDBInterface* db, const QString& application, const MDBRecordBase& picture)
    : m_db(db), m_application(application), m_picture(picture.Clone())
{
}

PictureRelease::~PictureRelease() = default;

int PictureRelease::LatestReleased(QString* error) const
{
    PictureEditions editions(m_db, m_application, *m_picture);
    return editions.Read(error) ? editions.Latest() : -1;
}

PictureRelease::Outcome PictureRelease::Release(bool increase) const
{
    Outcome out;
    QString error;
    PictureEditions editions(m_db, m_application, *m_picture);
    if (!editions.Read(&error))
        return failed(out, error);
    const int latest = editions.Latest();
    out.version = (latest == 0 || increase) ? latest + 1 : latest;
    // A stale or missing draft would release what another workstation replaced.
    if (!editions.MakeCurrent(0, "xrg", &error))
        return failed(out, "the draft cannot be released: " + error);
    const bool overwrite = out.version == latest;
    if (overwrite) {
        // The server's files are put back from these when an upload fails.
        for (const char* extension : {"xrg", "brg", "fg"}) {
            if (!editions.MakeCurrent(latest, extension, &error))
                return failed(out, "the latest version cannot be overwritten: " + error);
        }
        editions.MakeCurrent(latest, "svg", &error); // an image can be drawn again
    }
    VersionPublisher files(m_application, m_picture->name, out.version);
    if (!stageFromDraft(editions, m_db, files, &error))
        return failed(out, error);
    // Someone else may have released meanwhile: do not upload over their version.
    PictureEditions now(m_db, m_application, *m_picture);
    if (!now.Read(&error))
        return failed(out, error);
    if (now.Versions() != editions.Versions())
        return failed(out, QString("the versions of picture %1 changed meanwhile (another release?); nothing was "
                                   "released")
                               .arg(m_picture->name));
    if (!files.Upload(&out.errors))
        return failed(out, {});
    if (!recordRelease(editions, out.version, files, out))
        return failed(out, {});
    out.ok = true;
    QStringList local;
    if (!files.Commit(&local))
        out.warnings << local << "this workstation fetches the released files when it opens them";
    if (!overwrite && latest >= 1)
        refreshPrevious(editions, latest, out);
    return out;
}

// The record last: a new version's record, checked to be the only one of its
// number, or the overwritten version's new time. The server is put back when
// the library does not take it.
bool PictureRelease::recordRelease(const PictureEditions& editions, int version, VersionPublisher& files,
                                   Outcome& out) const
{
    QString error;
    const QString now = RecordTime::Now();
    if (const MDBRecordEdition* old = editions.Find(version)) {
        MDBRecordEdition record(*old);
        record.modifyTime = now;
        if (record.versionTime.isEmpty())
            record.versionTime = now;
        if (editions.Update(record, &error))
            return true;
        out.errors << error;
        files.RollBack(&out.errors);
        return false;
    }
    MDBRecordEdition record;
    record.version = version;
    record.modifyTime = now;
    record.versionTime = now;
    if (!editions.Insert(record, &error)) {
        out.errors << error;
        files.RollBack(&out.errors);
        return false;
    }
    PictureEditions after(m_db, m_application, *m_picture);
    if (after.Read(&error) && after.CountOf(version) == 1)
        return true;
    if (error.isEmpty()) {
        error = QString("two records of picture %1 carry version %2; this release was taken back")
                    .arg(m_picture->name)
                    .arg(version);
        mmi_debug(error + " \n");
    }
    out.errors << error;
    if (!editions.Delete(record, &error))
        out.errors << error;
    files.RollBack(&out.errors);
    return false;
}

// The version released before gets the icon library's current icons too. A
// side step: when its files cannot be had or uploaded it is left as it was.
void PictureRelease::refreshPrevious(const PictureEditions& editions, int previous, Outcome& out) const
{
    QString error;
    for (const char* extension : {"xrg", "brg"}) {
        if (!editions.MakeCurrent(previous, extension, &error)) {
            out.warnings << QString("version %1 keeps its icons: %2").arg(previous).arg(error);
            return;
        }
    }
    VersionPublisher files(m_application, m_picture->name, previous);
    if (!files.IsInside(&error) || !RefreshTemplates(m_db, editions.File(previous, "xrg"), stagedBase(files), &error)) {
        out.warnings << QString("version %1 keeps its icons: %2").arg(previous).arg(error);
        return;
    }
    files.Staged("xrg");
    files.Staged("brg");
    files.Staged("svg");
    QStringList problems;
    MDBRecordEdition record(*editions.Find(previous));
    record.modifyTime = RecordTime::Now();
    if (record.versionTime.isEmpty())
        record.versionTime = record.modifyTime;
    if (!files.Upload(&problems)) {
        out.warnings << QString("version %1 keeps its icons:").arg(previous) << problems;
        return;
    }
    if (!editions.Update(record, &error)) {
        files.RollBack(&problems);
        out.warnings << QString("version %1 keeps its icons: %2").arg(previous).arg(error) << problems;
        return;
    }
    if (!files.Commit(&problems))
        out.warnings << problems;
}

bool PictureRelease::RefreshTemplates(MAbstractDBInterface* db, const QString& source, const QString& target,
                                      QString* error)
{
    if (!QFileInfo(source).isFile()) {
        *error = QString("%1 is missing").arg(source);
        return false;
    }
    MGraphDoc doc;
    // A drawing the engine cannot read would be written back empty.
    if (!doc.ReadXmlFile(source)) {
        *error = QString("cannot read the drawing %1").arg(source);
        return false;
    }
    if (db->GetGlobalDefine("local_icon") == "0") {
        MGraph* graph = doc.GetGraph();
        QList<MIconTemplate*> templates;
        for (int i = 0; i < graph->IconTemplateNum(); ++i)
            templates << graph->IconTemplateAt(i);
        for (MIconTemplate* old : templates) {
            MIconTemplate* fresh = nullptr;
            if (MIconMgr::Instance()->CreateTemplate(old->GetCatalogName(), old->GetUuid().toString(), fresh, false,
                                                     false))
                graph->UpdateTemplate(old, fresh);
        }
    }
    QString failedFile;
    if (!doc.WriteXmlFile(target + ".xrg"))
        failedFile = target + ".xrg";
    else if (!doc.WriteDataFile(target + ".brg"))
        failedFile = target + ".brg";
    else if (!doc.WriteSvgFile(target + ".svg", true))
        failedFile = target + ".svg";
    if (!failedFile.isEmpty()) {
        *error = QString("cannot write %1").arg(failedFile);
        return false;
    }
    return true;
}
