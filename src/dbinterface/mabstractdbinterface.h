#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class MDBRecordBase;
class MDBRecordNode;
class MDBRecordPicType;
class MGraphDoc;

// The one door of every view and service to the object database. Records cross
// it as heap objects: whoever receives a list of them owns and deletes them.
// Failures are silent: outputs stay as they were (see each operation).
class MAbstractDBInterface
{
public:
    virtual ~MAbstractDBInterface();

    // The node of that name, in node (a new record the caller owns); node is
    // left unchanged when there is none.
    virtual void GetNode(MDBRecordNode*& node, const QString& nodeName) = 0;
    virtual void GetIconTypes(QList<MDBRecordBase*>& out) = 0;
    virtual void GetTemplateTypes(QList<MDBRecordBase*>& out) = 0;
    // Appends the children of parent: applications of a node, picture types of
    // an application, pictures of a type, versions of a picture (at least its
    // draft), icons of an icon type, templates of a template type.
    virtual void GetChildren(MDBRecordBase* parent, QList<MDBRecordBase*>& out) = 0;
    // Creates child below parent and fills its identifier; a child of the wrong
    // type for the parent is ignored.
    virtual void InsertRecord(MDBRecordBase* parent, MDBRecordBase* child) = 0;
    virtual void DeleteRecord(MDBRecordBase* parent, MDBRecordBase* child) = 0;
    // The picture type holding picture picName in the application appOid.
    virtual bool FindPictureType(const QString& picName, const QString& appOid, MDBRecordPicType* out) = 0;
    virtual void UpdateRecord(MDBRecordBase* record) = 0;
    virtual void RefreshRecordTime(MDBRecordBase* record) = 0;
    // Reads (write false) or stores (write true) the release time of a
    // configuration file, keyed by its file name.
    virtual void UpdateConfigFile(const QString& path, QString& releaseTime, bool write) = 0;
    virtual void GetConfigFiles(QList<MDBRecordBase*>& out) = 0;
    // Appends the names of the pictures the current user may see whose upper-case
    // name or Pinyin initials begin with key.
    virtual void SearchPictures(QStringList& out, const QString& key) = 0;
    // The application holding picture "name" or the n-th one of "name:n".
    virtual QString FindPictureApplication(const QString& key) = 0;
    virtual int TreeMove(const QString& parent, const QString& object) = 0;
    // The imports return -1 in every case: callers learn the outcome from the
    // library and the files.
    virtual int ImportPictureByType(const QString& application, int typeNumber, const QString& source, int mode,
                                    int keep) = 0;
    virtual int ImportPictureFile(const QString& application, const QString& typeName, const QString& source,
                                  int mode, const QString& pictureName, int keep) = 0;
    virtual int ImportPictureDoc(const QString& application, const QString& typeName, MGraphDoc* doc, int mode,
                                 const QString& pictureName) = 0;
    // Appends the picture records of an object path, or of "hmi path:outer path".
    virtual void GetPicturesByPath(const QString& path, const QStringList& attributes,
                                   QList<MDBRecordBase*>& out) = 0;
    virtual QString GetGlobalDefine(const QString& name) = 0;
};
