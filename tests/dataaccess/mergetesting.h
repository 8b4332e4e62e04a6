#pragma once

#include <QMap>
#include <QString>

#include "librarymerge.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"

namespace MergeTesting {

// The database interface, with inserts that stop working after a number of
// them: a merge interrupted midway.
class FailingInterface : public MAbstractDBInterface
{
public:
    FailingInterface(MAbstractDBInterface* real, int insertsAllowed) : m_real(real), m_left(insertsAllowed) {}
    int inserts = 0;
    int listings = 0;

    void GetNode(MDBRecordNode*& n, const QString& name) override { m_real->GetNode(n, name); }
    void GetIconTypes(QList<MDBRecordBase*>& out) override { m_real->GetIconTypes(out); }
    void GetTemplateTypes(QList<MDBRecordBase*>& out) override { m_real->GetTemplateTypes(out); }
    void GetChildren(MDBRecordBase* p, QList<MDBRecordBase*>& out) override
    {
        ++listings;
        m_real->GetChildren(p, out);
    }
    void InsertRecord(MDBRecordBase* parent, MDBRecordBase* child) override
    {
        ++inserts;
        if (m_left-- > 0)
            m_real->InsertRecord(parent, child);
    }
    void DeleteRecord(MDBRecordBase* p, MDBRecordBase* c) override { m_real->DeleteRecord(p, c); }
    bool FindPictureType(const QString& n, const QString& a, MDBRecordPicType* o) override
    {
        return m_real->FindPictureType(n, a, o);
    }
    void UpdateRecord(MDBRecordBase* r) override { m_real->UpdateRecord(r); }
    void RefreshRecordTime(MDBRecordBase* r) override { m_real->RefreshRecordTime(r); }
    void UpdateConfigFile(const QString& p, QString& t, bool w) override { m_real->UpdateConfigFile(p, t, w); }
    void GetConfigFiles(QList<MDBRecordBase*>& out) override { m_real->GetConfigFiles(out); }
    void SearchPictures(QStringList& out, const QString& key) override { m_real->SearchPictures(out, key); }
    QString FindPictureApplication(const QString& key) override { return m_real->FindPictureApplication(key); }
    int TreeMove(const QString& p, const QString& o) override { return m_real->TreeMove(p, o); }
    int ImportPictureByType(const QString&, int, const QString&, int, int) override { return -1; }
    int ImportPictureFile(const QString&, const QString&, const QString&, int, const QString&, int) override
    {
        return -1;
    }
    int ImportPictureDoc(const QString&, const QString&, MGraphDoc*, int, const QString&) override { return -1; }
    void GetPicturesByPath(const QString& p, const QStringList& a, QList<MDBRecordBase*>& out) override
    {
        m_real->GetPicturesByPath(p, a, out);
    }
    QString GetGlobalDefine(const QString& name) override { return m_real->GetGlobalDefine(name); }

private:
    MAbstractDBInterface* m_real; // not owned
    int m_left;
};

// The application record of a test site.
inline MDBRecordApplication Application(const QString& oid, const QString& name = "A")
{
    MDBRecordApplication app;
    app.oid = oid;
    app.name = name;
    return app;
}

// Version -> modification time of each local picture, read afresh.
inline QMap<QString, QMap<int, QString>> Library(const MDBRecordApplication& app)
{
    LibraryMerge local(MDBInterfaceHolder::Instance()->GetInterface(), app);
    local.LoadLocal();
    QMap<QString, QMap<int, QString>> pictures;
    for (const MergePicture& picture : local.LocalPictures()) {
        QMap<int, QString>& versions = pictures[picture.name()];
        for (const auto& edition : picture.editions)
            versions.insert(edition->version, edition->modifyTime);
    }
    return pictures;
}

} // namespace MergeTesting
