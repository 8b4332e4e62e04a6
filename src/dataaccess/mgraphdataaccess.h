#pragma once

#include <QDateTime>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "talmer_export.h"

class MAbstractDBInterface;
class MDBRecordApplication;
class MDBRecordBase;
class MDBRecordNode;
class MDBRecordPicture;
class RecordList;

// The graph library as the host windows ask it, by application and picture
// name: privileges, versions, the lists of applications, types and pictures,
// adding pictures, icon and template look-ups, versions by time, and cleaning
// the graph store. A process-wide singleton without a cache: every question
// reads the database afresh. Pictures are found by name across all picture
// types of an application, the first in listing order.
class TALMER_EXPORT MGraphDataAccess
{
public:
    static MGraphDataAccess* Instance();

    bool GetGraphInfo(const QString& application, const QString& picture, int& inPrivilege,
                      unsigned long& aorNum, int& outPrivilege) const;
    // Sets the codes given as 0 or more, and the area always.
    bool SetGraphInfo(const QString& application, const QString& picture, int inPrivilege, unsigned long aorNum,
                      int outPrivilege) const;
    // The highest version of the picture; -1 when not found.
    int GetGraphLatestVersion(const QString& application, const QString& picture) const;
    bool GetGraphInfo4Web(const QString& application, const QString& picture, int& version, int& outPrivilege,
                          QString& modifyTime) const;
    void GeGraphApplications(QStringList& names, QStringList& identifiers) const;
    QStringList GetGraphTypes(const QString& application, bool byIdentifier) const;
    // The pictures of the application, or of one picture type when named.
    QStringList GetPictures(const QString& application, const QString& pictureType) const;
    // Adds a picture below the picture type (false when the name is refused or
    // the application or the type is missing).
    bool AddPicture(const QString& application, const QString& pictureType, const QString& picture) const;
    // Asks for two privilege codes and gives them to every picture of the type
    // (of the application when the type is empty).
    void SetGraphPropety(const QString& application, const QString& pictureType);

    QString GetTemplateAlias(const QString& templateType) const;
    QString GetIconName(const QString& uuid) const;
    void GetIconImage(const QString& uuid, QPixmap& image);
    // The default icon of an icon type given by catalog id (a number) or name.
    bool GetDefaultIcon(const QString& iconType, QString& uuid, int& unused);

    // The version modified last before the moment; -100 when there is none.
    int GetVersionByTime(const QString& application, const QString& picture, const QDateTime& moment) const;
    // The version valid at the moment (see the algorithm in the source), with
    // its viewer files fetched when asked; -1 when they could not be had.
    int GraphVersionByTime(const QString& application, const QString& picture, const QDateTime& moment, bool fetch);
    // The version records of the picture of that name in the application (the
    // first one found through the object path); false when there is none.
    bool PictureEditions(const QString& application, const QString& picture, RecordList& editions) const;

    // Deletes a folder of the deployment tree with what it holds. Refuses (and
    // says so on the debug channel) the root itself and anything outside it,
    // and any path when TALMER_DEPLOY_DIR is unset, relative or "/"; symbolic
    // links are removed, never followed.
    static void RemoveDir(const QString& directory);
    // Removes the graph store's directories that the database no longer knows,
    // locally and on the file server, after showing them and asking. Refuses
    // when the library cannot be read or holds no application.
    void CleanGraphFiles();

protected:
    MGraphDataAccess();
    ~MGraphDataAccess();

private:
    // Calls visit for every picture of the application (of pictureType only,
    // when given), in listing order, until it returns true. False when the
    // application is missing.
    bool walkPictures(const QString& application, const QString& pictureType,
                      const std::function<bool(MDBRecordPicture*)>& visit) const;
    // The same for the pictures of that name.
    bool forEachPicture(const QString& application, const QString& picture,
                        const std::function<bool(MDBRecordPicture*)>& visit) const;
    // The application of that name below "node1" (null when missing); node and
    // applications keep the records it comes from.
    MDBRecordApplication* findApplication(const QString& application, std::unique_ptr<MDBRecordNode>& node,
                                          RecordList& applications) const;

    static MGraphDataAccess* m_pInstance;
    MAbstractDBInterface* m_dbInterface; // not owned: the process-wide interface
};
