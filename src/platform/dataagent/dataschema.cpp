#include "dataschema.h"

namespace DataAgent {

namespace {

AttributeDef text(const QString& name, bool indexed = false)
{
    return {name, "a_" + name.toLower(), AttributeKind::Text, indexed};
}

AttributeDef integer(const QString& name, bool indexed = false)
{
    return {name, "a_" + name.toLower(), AttributeKind::Integer, indexed};
}

AttributeDef searchKey(const QString& name, const QString& source)
{
    return {name, "a_" + name.toLower(), AttributeKind::Text, false, source};
}

AttributeDef boolean(const QString& name)
{
    return {name, "a_" + name.toLower(), AttributeKind::Boolean, false};
}

ClassDef objectClass(const QString& name, const QString& parent, const QString& relation,
                     std::vector<AttributeDef> attributes, const QStringList& aliases = {})
{
    return {name, "c_" + name.toLower(), parent, relation, aliases, std::move(attributes), {}, {}};
}

ClassDef uniqueIn(ClassDef objectClass, const QString& attribute, const QString& scopeClass)
{
    objectClass.uniqueAttribute = attribute;
    objectClass.uniqueWithin = scopeClass;
    return objectClass;
}

} // namespace

const AttributeDef* ClassDef::attribute(const QString& attributeName) const
{
    for (const AttributeDef& a : attributes) {
        if (a.name == attributeName)
            return &a;
    }
    return nullptr;
}

DataSchema::DataSchema()
{
    m_classes = {
        objectClass("node", {}, {}, {text("name", true)}),
        objectClass("application", "node", "Containsapplication",
                    {text("name", true), text("alias")}),
        objectClass("pictureType", "application", "ContainspictureType",
                    {text("name", true), integer("type")}),
        // Picture folders are per application, so a name is taken across its types.
        uniqueIn(objectClass("picture", "pictureType", "Containspicture",
                             {text("picname", true), integer("in_priv_code"), integer("out_priv_code"),
                              integer("AORNum"), searchKey("searchName", "picname"),
                              searchKey("searchInitials", "picname")}),
                 "picname", "application"),
        uniqueIn(objectClass("edition", "picture", "history_edition",
                             {text("modifytime"), integer("version"), text("node_name"), text("versiontime")}),
                 "version", "picture"),
        objectClass("mdl_icon_catalog", {}, {},
                    {text("name", true), integer("shapeType"), integer("catId", true),
                     boolean("member1"), integer("editType")}),
        objectClass("mdl_icon", "mdl_icon_catalog", "Contains_icon",
                    {text("name"), text("uuid", true), boolean("member1"), boolean("member2"),
                     text("makeTime")},
                    {"icon_mdl"}),
        objectClass("template_type", {}, {}, {text("name", true), text("alias")}),
        objectClass("template_graph", "template_type", "DContains_template",
                    {text("name"), text("alias", true)}, {"template"}),
        objectClass("synFile", {}, {},
                    {text("filename", true), text("filepath"), text("releaseTime")}),
        objectClass("envPicTypeDef", {}, {}, {integer("id", true), text("name"), text("alias")}),
    };
}

std::vector<const AttributeDef*> ClassDef::searchKeysOf(const QString& source) const
{
    std::vector<const AttributeDef*> keys;
    for (const AttributeDef& a : attributes) {
        if (a.derivedFrom == source)
            keys.push_back(&a);
    }
    return keys;
}

const DataSchema& DataSchema::instance()
{
    static const DataSchema schema;
    return schema;
}

const ClassDef* DataSchema::findClass(const QString& name) const
{
    for (const ClassDef& c : m_classes) {
        if (c.name == name || c.aliases.contains(name))
            return &c;
    }
    return nullptr;
}

const ClassDef* DataSchema::childOfRelation(const QString& relation) const
{
    for (const ClassDef& c : m_classes) {
        if (!c.relation.isEmpty() && c.relation == relation)
            return &c;
    }
    return nullptr;
}

int DataSchema::scopeLevels(const ClassDef& objectClass) const
{
    if (!objectClass.hasUniqueKey())
        return 0;
    return int(chainDown(findClass(objectClass.uniqueWithin), &objectClass).size()) - 1;
}

QString DataSchema::ancestorSql(const QString& idSql, int levels)
{
    QString sql = idSql;
    for (int i = 0; i < levels; ++i)
        sql = "(SELECT parent FROM t_object WHERE oid = " + sql + ")";
    return sql;
}

QList<const ClassDef*> DataSchema::chainDown(const ClassDef* ancestor, const ClassDef* descendant) const
{
    QList<const ClassDef*> chain{descendant};
    for (const ClassDef* c = descendant; c && !c->isTopLevel();) {
        c = findClass(c->parentClass);
        if (!c)
            break;
        chain.prepend(c);
        if (c == ancestor)
            return chain;
    }
    return {};
}

} // namespace DataAgent
