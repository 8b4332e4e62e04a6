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

    const AttributeDef* attribute(const QString& attributeName) const;
    bool isTopLevel() const { return parentClass.isEmpty(); }
};

// The object classes, attributes and relations of the library database. The
// tables are derived from this description, so a new attribute added here is
// added to an existing database by the in-place upgrade.
class DataSchema
{
public:
    static const DataSchema& instance();

    // The schema version this program writes; stored in the database.
    static int version() { return 1; }

    const std::vector<ClassDef>& classes() const { return m_classes; }
    // By name or alias ("icon_mdl" is "mdl_icon"); null when unknown.
    const ClassDef* findClass(const QString& name) const;
    // The class a "Contains..." relation leads to; null when unknown.
    const ClassDef* childOfRelation(const QString& relation) const;
    // The classes from ancestor down to descendant, both included; empty when
    // descendant is not below ancestor (or is ancestor itself).
    QList<const ClassDef*> chainDown(const ClassDef* ancestor, const ClassDef* descendant) const;

    // The prefix of the reverse relations: "MemberOfpictureType".
    static QString memberOfPrefix() { return QStringLiteral("MemberOf"); }

private:
    DataSchema();
    std::vector<ClassDef> m_classes;
};

} // namespace DataAgent
