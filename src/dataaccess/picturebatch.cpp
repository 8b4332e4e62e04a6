#include "picturebatch.h"

#include <QDateTime>
#include <QFileInfo>

#include "editionrules.h"
#include "equippathfromoid.h"
#include "mabstractdbinterface.h"
#include "mdbrecordedition.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraphdoc.h"
#include "recordlist.h"
#include "recordtime.h"

PictureBatch::PictureBatch(MAbstractDBInterface* db, Operation operation, const QString& application)
    : m_db(db)
    , m_operation(operation)
    , m_application(application)
{
}

QString PictureBatch::drawingFile(const QString& picture, int version, const QString& modifyTime,
                                  QList<MErrMsg>& errors)
{
    const QString path = MDeployPaths::VersionFile(m_application, picture, version, "xrg");
    if (!RecordTime::IsFileStale(path, modifyTime))
        return path;
    const bool hadCopy = QFileInfo::exists(path);
    const int fetched = MFileSynchronize::Instance()->GetFile(path);
    if (fetched < 0) {
        errors << MErrMsg(picture, hadCopy ? tr("the local copy is stale and the newer one could not be fetched")
                                           : tr("the drawing could not be fetched"),
                          fetched);
        return {};
    }
    MFileSynchronize::Instance()->GetFile(MDeployPaths::VersionFile(m_application, picture, version, "brg"));
    return path;
}

bool PictureBatch::writeAndUpload(const QString& picture, const QString& path, const std::function<bool()>& write,
                                  QList<MErrMsg>& errors)
{
    if (!write()) {
        errors << MErrMsg(picture, tr("%1 could not be written").arg(QFileInfo(path).fileName()));
        return false;
    }
    const int stored = MFileSynchronize::Instance()->SaveFile(path);
    if (stored < 0) {
        errors << MErrMsg(picture, tr("%1 could not be stored on the file server").arg(QFileInfo(path).fileName()),
                          stored);
        return false;
    }
    return true;
}

bool PictureBatch::Process(MDBRecordBase* picture, int typeCode, QList<MErrMsg>& errors)
{
    if (!picture || picture->type != MDBRecordBase::RecordPicture)
        return false;
    RecordList editions;
    m_db->GetChildren(picture, editions.out());
    const EditionRules::Editions found = EditionRules::Classify(editions.records());
    MDBRecordEdition* edition = found.draft && !found.staleDraft ? found.draft : found.latest;
    if (!edition) {
        errors << MErrMsg(picture->name, tr("the picture has no version"));
        return false;
    }
    const QString xrg = drawingFile(picture->name, edition->version, edition->modifyTime, errors);
    if (xrg.isEmpty())
        return false;
    MGraphDoc doc(GraphStatusEdit);
    if (!doc.ReadXmlFile(xrg)) {
        errors << MErrMsg(picture->name, tr("the drawing %1 cannot be read; it was left as it is").arg(xrg));
        return false;
    }
    switch (m_operation) {
    case Operation::RefreshOids: {
        QList<EquipPathFromOID> paths;
        if (typeCode != kNoRefreshTypeCode)
            doc.RefreshOids(errors, paths, 3);
        break;
    }
    case Operation::Share: doc.SetShare(true); break;
    case Operation::CancelShare: doc.SetShare(false); break;
    case Operation::Translate: doc.TranslateText(); break;
    }
    const QString brg = MDeployPaths::VersionFile(m_application, picture->name, edition->version, "brg");
    const QString fg = MDeployPaths::VersionFile(m_application, picture->name, edition->version, "fg");
    const bool stored = writeAndUpload(picture->name, xrg, [&] { return doc.WriteXmlFile(xrg); }, errors)
        && writeAndUpload(picture->name, brg, [&] { return doc.WriteDataFile(brg); }, errors)
        && writeAndUpload(picture->name, fg, [&] {
               doc.UpdateDataDefine();
               return doc.WriteDynamicDataFile(fg);
           }, errors);
    if (!stored)
        return false; // the record keeps announcing what the server holds
    edition->modifyTime = QFileInfo(xrg).lastModified().toString(Qt::ISODate);
    m_db->UpdateRecord(edition);
    return true;
}

int PictureBatch::ProcessAll(const QList<MDBRecordBase*>& pictures, int typeCode, QList<MErrMsg>& errors,
                             const std::function<bool(int, const QString&)>& next)
{
    int reached = 0;
    for (MDBRecordBase* picture : pictures) {
        if (next && !next(reached, picture->name))
            break;
        Process(picture, typeCode, errors);
        ++reached;
    }
    return reached;
}
