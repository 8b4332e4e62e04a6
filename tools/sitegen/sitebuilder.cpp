#include "sitebuilder.h"

#include "msqldataagent.h"

namespace SiteGen {

SiteBuilder::SiteBuilder(MSqlDataAgent* agent)
    : m_agent(agent)
{
}

QString SiteBuilder::insert(const QString& parent, const QString& objectClass)
{
    const QVariant id = parent.isNull() ? m_agent->InsertData(objectClass) : m_agent->InsertData(parent, objectClass);
    if (!id.isValid())
        m_errors << "cannot insert a " + objectClass + " below '" + parent + "'";
    return id.isValid() ? id.toString() : QString();
}

void SiteBuilder::set(const QString& object, const QString& attribute, const QString& value)
{
    if (!object.isEmpty() && !m_agent->UpdateField(object, attribute, value))
        m_errors << "cannot write " + attribute + " of " + object;
}

QString SiteBuilder::node(const QString& name)
{
    const QString id = insert({}, "node");
    set(id, "name", name);
    if (name == "node1")
        m_node1 = id;
    return id;
}

QString SiteBuilder::application(const QString& name, const QString& alias)
{
    if (m_node1.isEmpty())
        node("node1");
    const QString id = insert(m_node1, "application");
    set(id, "name", name);
    set(id, "alias", alias);
    return id;
}

QString SiteBuilder::pictureType(const QString& application, const QString& name, int code)
{
    const QString id = insert(application, "pictureType");
    set(id, "name", name);
    set(id, "type", QString::number(code));
    return id;
}

QString SiteBuilder::picture(const QString& pictureType, const QString& name, int inPrivCode, int outPrivCode,
                             int aorNum)
{
    const QString id = insert(pictureType, "picture");
    set(id, "picname", name);
    set(id, "in_priv_code", QString::number(inPrivCode));
    set(id, "out_priv_code", QString::number(outPrivCode));
    set(id, "AORNum", QString::number(aorNum));
    return id;
}

QString SiteBuilder::edition(const QString& picture, int version, const QString& modifyTime,
                             const QString& versionTime, const QString& nodeName)
{
    const QString id = insert(picture, "edition");
    set(id, "version", QString::number(version));
    set(id, "modifytime", modifyTime);
    set(id, "node_name", nodeName);
    if (!versionTime.isEmpty())
        set(id, "versiontime", versionTime);
    return id;
}

QString SiteBuilder::iconType(const QString& name, uint catId, uint shapeType, int editType, bool member1)
{
    const QString id = insert({}, "mdl_icon_catalog");
    set(id, "name", name);
    set(id, "catId", QString::number(catId));
    set(id, "shapeType", QString::number(shapeType));
    set(id, "editType", QString::number(editType));
    set(id, "member1", QString::number(member1));
    return id;
}

QString SiteBuilder::icon(const QString& iconType, const QString& name, const QString& uuid,
                          const QString& makeTime, bool member1, bool member2)
{
    const QString id = insert(iconType, "mdl_icon");
    set(id, "name", name);
    set(id, "uuid", uuid);
    set(id, "makeTime", makeTime);
    set(id, "member1", QString::number(member1));
    set(id, "member2", QString::number(member2));
    return id;
}

QString SiteBuilder::templateType(const QString& name, const QString& alias)
{
    const QString id = insert({}, "template_type");
    set(id, "name", name);
    set(id, "alias", alias);
    return id;
}

QString SiteBuilder::templateItem(const QString& templateType, const QString& name)
{
    const QString id = insert(templateType, "template_graph");
    set(id, "name", name);
    set(id, "alias", name);
    return id;
}

QString SiteBuilder::configFile(const QString& fileName, const QString& filePath, const QString& releaseTime)
{
    const QString id = insert({}, "synFile");
    set(id, "filename", fileName);
    set(id, "filepath", filePath);
    set(id, "releaseTime", releaseTime);
    return id;
}

QString SiteBuilder::pictureTypeDefinition(int id, const QString& name, const QString& alias)
{
    const QString object = insert({}, "envPicTypeDef");
    set(object, "id", QString::number(id));
    set(object, "name", name);
    set(object, "alias", alias);
    return object;
}

bool SiteBuilder::globalDefine(const QString& name, const QString& value)
{
    const bool written = m_agent->SetGlobalDefine(name, value);
    if (!written)
        m_errors << "cannot set global define " + name;
    return written;
}

} // namespace SiteGen
