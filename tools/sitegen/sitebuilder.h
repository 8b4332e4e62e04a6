#pragma once

#include <QString>
#include <QStringList>

class MDataAgent;
class MSqlDataAgent;

namespace SiteGen {

// Builds a library site in a few lines, straight through the agent (tests,
// benchmarks and the site generator use it):
//
//   SiteBuilder site(BrelMmiDataAgent::Instance());
//   const QString app = site.application("SCADA");
//   const QString type = site.pictureType(app, "station", 2);
//   const QString pic = site.picture(type, "北京站");
//   site.edition(pic, 0, "2026-01-02T03:04:05");
//
// Every call returns the new object's identifier as text (empty on failure);
// ok() is false once any write failed, and errors() says which.
class SiteBuilder
{
public:
    explicit SiteBuilder(MSqlDataAgent* agent);

    QString node(const QString& name = "node1");
    // An application of node "node1", which is created on first use.
    QString application(const QString& name, const QString& alias = {});
    QString pictureType(const QString& application, const QString& name, int code);
    QString picture(const QString& pictureType, const QString& name, int inPrivCode = 0, int outPrivCode = 0,
                    int aorNum = 0);
    QString edition(const QString& picture, int version, const QString& modifyTime,
                    const QString& versionTime = {}, const QString& nodeName = "ws1");
    QString iconType(const QString& name, uint catId, uint shapeType = 0, int editType = 0, bool member1 = false);
    QString icon(const QString& iconType, const QString& name, const QString& uuid, const QString& makeTime,
                 bool member1 = false, bool member2 = false);
    QString templateType(const QString& name, const QString& alias);
    QString templateItem(const QString& templateType, const QString& name);
    QString configFile(const QString& fileName, const QString& filePath, const QString& releaseTime);
    QString pictureTypeDefinition(int id, const QString& name, const QString& alias);
    bool globalDefine(const QString& name, const QString& value);

    bool ok() const { return m_errors.isEmpty(); }
    QString errors() const { return m_errors.join("; "); }

private:
    QString insert(const QString& parent, const QString& objectClass);
    void set(const QString& object, const QString& attribute, const QString& value);

    MSqlDataAgent* m_agent; // not owned
    QString m_node1;
    QStringList m_errors;
};

} // namespace SiteGen
