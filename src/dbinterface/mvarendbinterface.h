#pragma once

#include <QVariant>

#include "mabstractdbinterface.h"
#include "mdbrecordbase.h"
#include "mpictureimportservice.h"

class BrelMmiDataAgent;
class MDataAgent;
class MDataSet;

// The database interface on the HMI data agent and, on a workstation of the
// outer network (IS_IN_OUTER_NET non-zero), on the outer-network database too:
// applications and picture types of both are merged by name, pictures of both
// are listed. Writes go where the record (or its parent) lives: to the outer
// database when the record has an outerOid there, else to the HMI database.
class MVarenDBInterface : public MAbstractDBInterface
{
public:
    MVarenDBInterface();
    ~MVarenDBInterface() override;

    void GetNode(MDBRecordNode*& node, const QString& nodeName) override;
    void GetIconTypes(QList<MDBRecordBase*>& out) override;
    void GetTemplateTypes(QList<MDBRecordBase*>& out) override;
    void GetChildren(MDBRecordBase* parent, QList<MDBRecordBase*>& out) override;
    void InsertRecord(MDBRecordBase* parent, MDBRecordBase* child) override;
    void DeleteRecord(MDBRecordBase* parent, MDBRecordBase* child) override;
    bool FindPictureType(const QString& picName, const QString& appOid, MDBRecordPicType* out) override;
    void UpdateRecord(MDBRecordBase* record) override;
    void RefreshRecordTime(MDBRecordBase* record) override;
    void UpdateConfigFile(const QString& path, QString& releaseTime, bool write) override;
    void GetConfigFiles(QList<MDBRecordBase*>& out) override;
    void SearchPictures(QStringList& out, const QString& key) override;
    QString FindPictureApplication(const QString& key) override;
    int TreeMove(const QString& parent, const QString& object) override;
    int ImportPictureByType(const QString& application, int typeNumber, const QString& source, int mode,
                            int keep) override;
    int ImportPictureFile(const QString& application, const QString& typeName, const QString& source, int mode,
                          const QString& pictureName, int keep) override;
    int ImportPictureDoc(const QString& application, const QString& typeName, MGraphDoc* doc, int mode,
                         const QString& pictureName) override;
    void GetPicturesByPath(const QString& path, const QStringList& attributes, QList<MDBRecordBase*>& out) override;
    QString GetGlobalDefine(const QString& name) override;

    // The insert-and-confirm wait limit; each 1 ms poll counts 1000 against it.
    int UpdateWait() const { return m_updateWait; }
    bool HasOuterAgent() const { return m_outerAgent != nullptr; }

private:
    struct Target
    {
        MDataAgent* agent;
        QString id;
        bool outer;
    };
    // Where a record lives: the outer database when it has an outerOid there.
    Target targetOf(const MDBRecordBase* record) const;
    void readChildren(MDataAgent* agent, const QString& parentId, const QString& relation,
                      const QStringList& attributes, MDBRecordBase::RecordType type, bool outer,
                      QList<MDBRecordBase*>& out);
    void mergeOuterByName(QList<MDBRecordBase*>& out, int firstHmiRecord, QList<MDBRecordBase*>& outer);
    void listEditions(MDBRecordBase* picture, QList<MDBRecordBase*>& out);
    void confirmInsert(MDataAgent* agent, const QVariant& id, const QString& attribute, const QString& expected,
                       bool isTime);
    QVariant insertChild(const Target& parent, const QString& objectClass, MDBRecordBase* child);
    void insertIcon(MDBRecordBase* parent, MDBRecordBase* child);
    void insertTemplate(MDBRecordBase* parent, MDBRecordBase* child);
    void queryPictures(MDataAgent* agent, const QString& path, const QStringList& attributes, bool outer,
                       QList<MDBRecordBase*>& out);
    // Walks the pictures named name that the current user may see, skipping skip
    // of them; the next one is taken. False when the walk ran out.
    static bool walkPictures(const MDataSet& pictures, const QString& name, int& skip, QVariant& taken);
    static QString applicationOf(MDataAgent* agent, const QVariant& picture);
    // The registered import implementation (null when none) and what it works on.
    MPictureImportService* importService(MPictureImportService::Context& context);

    MDataAgent* m_agent;             // the HMI agent; not owned (a platform singleton)
    MDataAgent* m_outerAgent;        // owned; null off the outer network or when it cannot connect
    BrelMmiDataAgent* m_mmiAgent;    // the same object as m_agent; not owned
    int m_updateWait;
};
