#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace DataAgent {

enum class AttributeKind { Text, Integer, Boolean };

struct AttributeDef
{
    QString name;    // as the agent's callers name it: "AORNum"
    QString column;  // its column: "a_aornum"
    AttributeKind kind;
    bool indexed;    // looked up by paths
    // A search key: text the caller derives from the attribute named here (a
    // picture's upper-case name from its name) for the database to find by
    // prefix. Not among "every attribute" of a class; writing the source
    // attribute clears it, and the caller computes it again.
    QString derivedFrom = {};

    bool isSearchKey() const { return !derivedFrom.isEmpty(); }
};

// One object class of the library database and its place in the object tree.
struct ClassDef
{
    QString name;         // "pictureType"
    QString table;        // "c_picturetype"
    QString parentClass;  // empty for top-level classes
    QString relation;     // the relation from the parent: "ContainspictureType"
    QStringList aliases;  // other names callers use for the same class
    std::vector<AttributeDef> attributes;
    // An attribute whose values are unique among the objects of the class below
    // one object of uniqueWithin (picture names per application, versions per
    // picture); empty when none. The table then holds that ancestor's identifier
    // in scopeColumn(), kept by the agent, with a unique index over both.
    QString uniqueAttribute;
    QString uniqueWithin;

    const AttributeDef* attribute(const QString& attributeName) const;
    // The search keys derived from the attribute.
    std::vector<const AttributeDef*> searchKeysOf(const QString& source) const;
    bool isTopLevel() const { return parentClass.isEmpty(); }
    bool hasUniqueKey() const { return !uniqueAttribute.isEmpty(); }
    QString uniqueIndex() const { return "u_" + table; }
};

// The object classes, attributes and relations of the library database. The
// tables are derived from this description, so a new attribute added here is
// added to an existing database by the in-place upgrade.
class DataSchema
{
public:
    static const DataSchema& instance();

    // The schema version this program writes; stored in the database.
    // 2: unique picture names per application and versions per picture.
    // 3: search keys of pictures (upper-case name, Pinyin initials).
    static int version() { return 3; }

    const std::vector<ClassDef>& classes() const { return m_classes; }
    // By name or alias ("icon_mdl" is "mdl_icon"); null when unknown.
    const ClassDef* findClass(const QString& name) const;
    // The class a "Contains..." relation leads to; null when unknown.
    const ClassDef* childOfRelation(const QString& relation) const;
    // The classes from ancestor down to descendant, both included; empty when
    // descendant is not below ancestor (or is ancestor itself).
    QList<const ClassDef*> chainDown(const ClassDef* ancestor, const ClassDef* descendant) const;

    // How many parent links lead from an object of the class up to its unique
    // key's scope; 0 when it has no key.
    int scopeLevels(const ClassDef& objectClass) const;
    // SQL for the identifier levels parent links above the object idSql names.
    static QString ancestorSql(const QString& idSql, int levels);

    // The prefix of the reverse relations: "MemberOfpictureType".
    static QString memberOfPrefix() { return QStringLiteral("MemberOf"); }
    // The column holding the scope of a class's unique key.
    static QString scopeColumn() { return QStringLiteral("u_scope"); }

private:
    DataSchema();
    std::vector<ClassDef> m_classes;
};

} // namespace DataAgent
