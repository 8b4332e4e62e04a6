#include "msqldataagent.h"

#include <QSqlQuery>

#include "dataagentlog.h"
#include "dataschema.h"
#include "objectpath.h"
#include "schemaupdater.h"
#include "sqlconnection.h"

using DataAgent::AttributeDef;
using DataAgent::AttributeKind;
using DataAgent::ClassDef;
using DataAgent::DataSchema;
using DataAgent::ObjectPath;
using DataAgent::SqlConnection;
using DataAgent::SqlResult;
using DataAgent::SqlTransaction;

namespace {

constexpr int kClassCacheLimit = 200000;

// An identifier from a QVariant holding a number or its decimal text; -1 if none.
qlonglong toId(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString) {
        const ObjectPath path = ObjectPath::parse(value.toString());
        return path.isIdentifier() && path.identifier() > 0 ? path.identifier() : -1;
    }
    bool ok = false;
    const qlonglong id = value.toLongLong(&ok);
    return ok && id > 0 ? id : -1;
}

QString idText(const QVariant& value)
{
    return value.toString().left(40);
}

// Converts a value written as text into the attribute's column type.
bool toColumnValue(const AttributeDef& attribute, const QString& text, QVariant& out)
{
    if (attribute.kind == AttributeKind::Text) {
        out = text;
        return true;
    }
    const QString t = text.trimmed().toLower();
    if (attribute.kind == AttributeKind::Boolean && (t == "true" || t == "false")) {
        out = qlonglong(t == "true");
        return true;
    }
    bool ok = false;
    const qlonglong number = t.toLongLong(&ok);
    if (ok)
        out = attribute.kind == AttributeKind::Boolean ? qlonglong(number != 0) : number;
    return ok;
}

// A path filter value as the attribute's column type. False when no stored
// value can equal it (text in a number attribute, a fraction).
bool toFilterValue(AttributeKind kind, const QVariant& value, QVariant& out)
{
    if (kind == AttributeKind::Text) {
        out = value.toString();
        return true;
    }
    bool ok = false;
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        out = qlonglong(d);
        return double(qlonglong(d)) == d;
    }
    out = value.toString().toLongLong(&ok);
    return ok;
}

// The attributes of the class that a query returns: those asked for that the
// class has (in the order asked), or all of them.
std::vector<const AttributeDef*> selectedAttributes(const ClassDef& objectClass, const QStringList* names)
{
    std::vector<const AttributeDef*> selected;
    if (!names) {
        for (const AttributeDef& a : objectClass.attributes) {
            if (!a.isSearchKey())
                selected.push_back(&a);
        }
        return selected;
    }
    for (const QString& name : *names) {
        if (const AttributeDef* a = objectClass.attribute(name))
            selected.push_back(a);
        else
            qCWarning(lcDataAgent).noquote() << "class" << objectClass.name << "has no attribute" << name.left(80);
    }
    return selected;
}

// The smallest text above every text that starts with prefix, in code point
// order (that of SQLite's BINARY and PostgreSQL's "C" collation); null when
// there is none.
QString prefixEnd(const QString& prefix)
{
    QList<char32_t> points;
    for (const uint point : prefix.toUcs4())
        points.append(point);
    while (!points.isEmpty()) {
        char32_t last = points.takeLast() + 1;
        // Surrogates and noncharacters never reach the database (a bound
        // noncharacter becomes U+FFFD, far below the bound meant).
        while (last <= 0x10FFFF
               && ((last >= 0xD800 && last <= 0xDFFF) || (last >= 0xFDD0 && last <= 0xFDEF) || (last & 0xFFFE) == 0xFFFE))
            ++last;
        if (last <= 0x10FFFF) {
            points.append(last);
            return QString::fromUcs4(points.constData(), points.size());
        }
    }
    return {};
}

// The FROM and WHERE of a path query; the class of its objects is aliased t0.
struct PathQuery
{
    const ClassDef* target = nullptr;
    QString tail;
    QVariantList values;
    bool canMatch = true;
};

bool planPath(const ObjectPath& path, PathQuery& plan)
{
    const DataSchema& schema = DataSchema::instance();
    QList<const ClassDef*> stepClasses;
    for (const ObjectPath::Step& step : path.steps()) {
        const ClassDef* c = schema.findClass(step.className);
        if (!c) {
            qCWarning(lcDataAgent).noquote() << "unknown object class" << step.className;
            return false;
        }
        stepClasses << c;
    }
    // levels[0] is the target class, each further level the parent class of the
    // one before, up to the first step's class; stepLevel maps steps to levels.
    QList<const ClassDef*> levels{stepClasses.last()};
    QList<int> stepLevel{0};
    for (int i = stepClasses.size() - 2; i >= 0; --i) {
        const QList<const ClassDef*> chain = schema.chainDown(stepClasses.at(i), levels.last());
        if (chain.isEmpty()) {
            qCWarning(lcDataAgent).noquote() << levels.last()->name << "objects are not below"
                                             << stepClasses.at(i)->name << "objects";
            return false;
        }
        for (int k = chain.size() - 2; k >= 0; --k)
            levels << chain.at(k);
        stepLevel.prepend(int(levels.size()) - 1);
    }
    // Filters by level; levels above the highest filter need no join at all.
    QList<const ObjectPath::Step*> filterAt(levels.size(), nullptr);
    int topFiltered = 0;
    for (int i = 0; i < path.steps().size(); ++i) {
        if (!path.steps().at(i).attribute.isEmpty()) {
            filterAt[stepLevel.at(i)] = &path.steps().at(i);
            topFiltered = qMax(topFiltered, stepLevel.at(i));
        }
    }
    plan.target = levels.first();
    QString from = plan.target->table + " t0";
    QStringList where;
    QString idAtLevel = "t0.oid";
    for (int k = 0; k <= topFiltered; ++k) {
        if (k > 0) {
            from += QString(" JOIN t_object p%1 ON p%1.oid = %2").arg(k - 1).arg(idAtLevel);
            idAtLevel = QString("p%1.parent").arg(k - 1);
        }
        const ObjectPath::Step* step = filterAt.at(k);
        if (!step)
            continue;
        QVariant value;
        if (step->attribute == "attr_oid") {
            plan.canMatch = plan.canMatch && toFilterValue(AttributeKind::Integer, step->value, value);
            where << idAtLevel + " = ?";
        } else {
            const AttributeDef* a = levels.at(k)->attribute(step->attribute);
            if (!a) {
                qCWarning(lcDataAgent).noquote() << "class" << levels.at(k)->name << "has no attribute" << step->attribute;
                return false;
            }
            plan.canMatch = plan.canMatch && toFilterValue(a->kind, step->value, value);
            if (k > 0) {
                from += QString(" JOIN %1 t%2 ON t%2.oid = %3").arg(levels.at(k)->table).arg(k).arg(idAtLevel);
            }
            where << QString("t%1.%2 = ?").arg(k).arg(a->column);
        }
        plan.values << value;
    }
    plan.tail = "FROM " + from + (where.isEmpty() ? QString() : " WHERE " + where.join(" AND "));
    return true;
}

} // namespace

MSqlDataAgent::MSqlDataAgent()
    : m_connection(std::make_unique<SqlConnection>())
{
}

MSqlDataAgent::~MSqlDataAgent() = default;

bool MSqlDataAgent::Open(const QString& spec, OpenMode mode)
{
    m_classes.clear();
    return m_connection->open(spec,
                              mode == OpenMode::CreateIfMissing ? SqlConnection::OpenMode::CreateIfMissing
                                                                : SqlConnection::OpenMode::MustExist,
                              [](SqlConnection& c) { return DataAgent::SchemaUpdater(c).update(); });
}

void MSqlDataAgent::Close()
{
    m_classes.clear();
    m_connection->close();
}

bool MSqlDataAgent::IsOpen() const
{
    return m_connection->isOpen();
}

QString MSqlDataAgent::ConnectionSpec() const
{
    return m_connection->spec();
}

bool MSqlDataAgent::Connect(const QString&)
{
    return EnsureConnected();
}

bool MSqlDataAgent::EnsureConnected()
{
    return m_connection->reopenIfLost();
}

const ClassDef* MSqlDataAgent::classOf(qlonglong id)
{
    if (id <= 0)
        return nullptr;
    // An object never changes its class and identifiers are not reused, so the
    // answer may be kept; a rollback may take back a new object, so it clears.
    if (const ClassDef* known = m_classes.value(id))
        return known;
    const SqlResult result = m_connection->run("SELECT class FROM t_object WHERE oid = ?", {id});
    if (!result.ok() || !result->next())
        return nullptr;
    const ClassDef* c = DataSchema::instance().findClass(result->value(0).toString());
    if (m_classes.size() > kClassCacheLimit)
        m_classes.clear();
    m_classes.insert(id, c);
    return c;
}

QString MSqlDataAgent::ObjectClass(const QVariant& object)
{
    if (!EnsureConnected())
        return {};
    const ClassDef* c = classOf(toId(object));
    return c ? c->name : QString();
}

bool MSqlDataAgent::select(const QString& tail, const QVariantList& values, const ClassDef& objectClass,
                           const QStringList* attributes, MDataSet& set)
{
    const std::vector<const AttributeDef*> selected = selectedAttributes(objectClass, attributes);
    QString columns = "t0.oid";
    for (const AttributeDef* a : selected) {
        set.DataType().AddField(a->name);
        columns += ", t0." + a->column;
    }
    const SqlResult result = m_connection->run("SELECT " + columns + " " + tail + " ORDER BY t0.oid", values);
    if (!result.ok()) {
        set.Clear();
        return false;
    }
    const int n = int(selected.size());
    while (result->next()) {
        QList<MDataFieldValue> row;
        row.reserve(n);
        for (int j = 1; j <= n; ++j)
            row.append(MDataFieldValue(result->value(j)));
        set.Append(MDataObject(result->value(0), std::move(row)));
    }
    return true;
}

bool MSqlDataAgent::QueryData(const QString& path, const QStringList& attributes, MDataSet& set)
{
    return queryPath(path, &attributes, set);
}

bool MSqlDataAgent::QueryData(const QString& path, MDataSet& set)
{
    return queryPath(path, nullptr, set);
}

bool MSqlDataAgent::queryPath(const QString& path, const QStringList* attributes, MDataSet& set)
{
    set.Clear();
    if (!EnsureConnected())
        return false;
    const ObjectPath parsed = ObjectPath::parse(path);
    if (!parsed.isValid()) {
        qCWarning(lcDataAgent).noquote() << "malformed object path" << path.left(200) << ":" << parsed.error();
        return false;
    }
    if (parsed.isIdentifier()) {
        const ClassDef* c = classOf(parsed.identifier());
        // A valid path that names no object finds nothing.
        return !c || select("FROM " + c->table + " t0 WHERE t0.oid = ?", {parsed.identifier()}, *c, attributes, set);
    }
    PathQuery plan;
    if (!planPath(parsed, plan))
        return false;
    return !plan.canMatch || select(plan.tail, plan.values, *plan.target, attributes, set);
}

bool MSqlDataAgent::QueryChild(const QVariant& parent, const QString& relation, const QStringList& attributes,
                               MDataSet& set)
{
    set.Clear();
    if (!EnsureConnected())
        return false;
    const qlonglong parentId = toId(parent);
    const ClassDef* parentClass = classOf(parentId);
    if (!parentClass) {
        qCWarning(lcDataAgent).noquote() << "no object" << idText(parent) << "to follow" << relation.left(80) << "from";
        return false;
    }
    const DataSchema& schema = DataSchema::instance();
    if (relation.startsWith(DataSchema::memberOfPrefix())) {
        const ClassDef* ancestor = schema.findClass(relation.mid(DataSchema::memberOfPrefix().size()));
        const QList<const ClassDef*> chain = ancestor ? schema.chainDown(ancestor, parentClass) : QList<const ClassDef*>();
        if (chain.isEmpty()) {
            qCWarning(lcDataAgent).noquote() << "relation" << relation.left(80) << "does not lead up from a" << parentClass->name;
            return false;
        }
        // Climb one parent link per level, then read the ancestor.
        QString from = "t_object p0";
        for (int k = 1; k < chain.size() - 1; ++k)
            from += QString(" JOIN t_object p%1 ON p%1.oid = p%2.parent").arg(k).arg(k - 1);
        from += QString(" JOIN %1 t0 ON t0.oid = p%2.parent").arg(ancestor->table).arg(chain.size() - 2);
        return select("FROM " + from + " WHERE p0.oid = ?", {parentId}, *ancestor, &attributes, set);
    }
    const ClassDef* child = schema.childOfRelation(relation);
    if (!child || child->parentClass != parentClass->name) {
        qCWarning(lcDataAgent).noquote() << "a" << parentClass->name << "has no relation" << relation.left(80);
        return false;
    }
    return select(QString("FROM %1 t0 JOIN t_object p0 ON p0.oid = t0.oid WHERE p0.parent = ?").arg(child->table),
                  {parentId}, *child, &attributes, set);
}

QVariant MSqlDataAgent::insert(qlonglong parent, const ClassDef& objectClass)
{
    SqlTransaction transaction(*m_connection);
    if (!transaction.isActive())
        return {};
    if (parent > 0) {
        const ClassDef* parentClass = classOf(parent);
        if (!parentClass || parentClass->name != objectClass.parentClass) {
            qCWarning(lcDataAgent).noquote() << "a" << objectClass.name << "cannot be placed below object" << parent
                                             << (parentClass ? "(a " + parentClass->name + ")" : QString("(unknown)"));
            return {};
        }
    }
    const QVariant parentValue = parent > 0 ? QVariant(parent) : QVariant(QMetaType::fromType<qlonglong>());
    qlonglong id = -1;
    {
        const SqlResult object = m_connection->run("INSERT INTO t_object(class, parent) VALUES (?, ?) RETURNING oid",
                                                   {objectClass.name, parentValue});
        if (!object.ok() || !object->next())
            return {};
        id = object->value(0).toLongLong();
    }
    // A class with a unique key notes the ancestor its key is unique within.
    const int levels = DataSchema::instance().scopeLevels(objectClass);
    const bool inserted = levels > 0
        ? m_connection->run(QString("INSERT INTO %1(oid, %2) VALUES (?, %3)")
                                .arg(objectClass.table, DataSchema::scopeColumn(), DataSchema::ancestorSql("?", levels)),
                            {id, id}).ok()
        : m_connection->run(QString("INSERT INTO %1(oid) VALUES (?)").arg(objectClass.table), {id}).ok();
    if (!inserted || !transaction.commit())
        return {};
    return QVariant(id);
}

bool MSqlDataAgent::refreshScopes(qlonglong moved, const ClassDef& movedClass)
{
    const DataSchema& schema = DataSchema::instance();
    for (const ClassDef& keyed : schema.classes()) {
        const int levels = schema.scopeLevels(keyed);
        if (levels == 0)
            continue;
        // The moved object lies depth levels above the keyed objects it carries
        // along; only a move below the key's scope changes their scope.
        const QList<const ClassDef*> chain = schema.chainDown(&movedClass, &keyed);
        const int depth = &movedClass == &keyed ? 0 : int(chain.size()) - 1;
        if ((&movedClass != &keyed && chain.isEmpty()) || depth >= levels)
            continue;
        QString below = "?";
        for (int i = 0; i < depth; ++i)
            below = "SELECT oid FROM t_object WHERE parent IN (" + below + ")";
        const QString sql = QString("UPDATE %1 SET %2 = %3 WHERE oid IN (%4)")
                                .arg(keyed.table, DataSchema::scopeColumn(),
                                     DataSchema::ancestorSql(keyed.table + ".oid", levels), below);
        if (!m_connection->run(sql, {moved}).ok())
            return false;
    }
    return true;
}

QVariant MSqlDataAgent::InsertData(const QVariant& parent, const QString& objectClass)
{
    if (!EnsureConnected())
        return {};
    const ClassDef* c = DataSchema::instance().findClass(objectClass);
    const qlonglong parentId = toId(parent);
    if (!c || c->isTopLevel() || parentId < 0) {
        qCWarning(lcDataAgent).noquote() << "cannot insert a" << objectClass.left(80) << "below" << idText(parent);
        return {};
    }
    return insert(parentId, *c);
}

QVariant MSqlDataAgent::InsertData(const QString& objectClass)
{
    if (!EnsureConnected())
        return {};
    const ClassDef* c = DataSchema::instance().findClass(objectClass);
    if (!c || !c->isTopLevel()) {
        qCWarning(lcDataAgent).noquote() << "cannot insert a top-level" << objectClass.left(80);
        return {};
    }
    return insert(0, *c);
}

bool MSqlDataAgent::UpdateField(const QVariant& object, const QString& attribute, const QString& value)
{
    if (!EnsureConnected())
        return false;
    const qlonglong id = toId(object);
    const ClassDef* c = classOf(id);
    const AttributeDef* a = c ? c->attribute(attribute) : nullptr;
    if (!a) {
        qCWarning(lcDataAgent).noquote() << "cannot write" << attribute.left(80) << "of object" << idText(object);
        return false;
    }
    if (a->isSearchKey()) {
        qCWarning(lcDataAgent).noquote() << c->name + "." + a->name << "is a search key, written with SetSearchKeys";
        return false;
    }
    QVariant stored;
    if (!toColumnValue(*a, value, stored)) {
        qCWarning(lcDataAgent).noquote() << "not a number for" << c->name + "." + a->name << ":" << value.left(40);
        return false;
    }
    // The search keys derived from the attribute are stale from now on.
    QString assignments = a->column + " = ?";
    for (const AttributeDef* key : c->searchKeysOf(a->name))
        assignments += ", " + key->column + " = NULL";
    const SqlResult result = m_connection->run(QString("UPDATE %1 SET %2 WHERE oid = ?").arg(c->table, assignments),
                                               {stored, id});
    return result.ok() && result->numRowsAffected() == 1;
}

bool MSqlDataAgent::DeleteData(const QString& objectClass, const QList<QVariant>& objects)
{
    if (!EnsureConnected())
        return false;
    const ClassDef* c = DataSchema::instance().findClass(objectClass);
    if (!c) {
        qCWarning(lcDataAgent).noquote() << "cannot delete objects of unknown class" << objectClass.left(80);
        return false;
    }
    SqlTransaction transaction(*m_connection);
    bool all = transaction.isActive();
    for (const QVariant& object : objects) {
        // The cascade of the parent links removes everything below the object.
        const SqlResult result = m_connection->run("DELETE FROM t_object WHERE oid = ? AND class = ?",
                                                   {toId(object), c->name});
        const bool deleted = result.ok() && result->numRowsAffected() == 1;
        if (!deleted)
            qCWarning(lcDataAgent).noquote() << "no" << c->name << "object" << idText(object) << "to delete";
        all = all && deleted;
    }
    return transaction.commit() && all;
}

int MSqlDataAgent::TreeMove(const QString& parent, const QString& object)
{
    if (!EnsureConnected())
        return -1;
    const qlonglong parentId = toId(parent);
    const qlonglong objectId = toId(object);
    const ClassDef* parentClass = classOf(parentId);
    const ClassDef* objectClass = classOf(objectId);
    if (!parentClass || !objectClass || objectClass->parentClass != parentClass->name) {
        qCWarning(lcDataAgent).noquote() << "cannot move object" << object.left(40) << "below" << parent.left(40);
        return -1;
    }
    SqlTransaction transaction(*m_connection);
    bool moved = false;
    {
        const SqlResult result = m_connection->run("UPDATE t_object SET parent = ? WHERE oid = ?", {parentId, objectId});
        moved = result.ok() && result->numRowsAffected() == 1;
    }
    // A move that would give two pictures of one application the same name fails here.
    return moved && refreshScopes(objectId, *objectClass) && transaction.commit() ? 0 : -1;
}

std::vector<const AttributeDef*> MSqlDataAgent::searchKeys(const ClassDef& objectClass, const QStringList& keys)
{
    std::vector<const AttributeDef*> found;
    for (const QString& key : keys) {
        const AttributeDef* a = objectClass.attribute(key);
        if (!a || !a->isSearchKey()) {
            qCWarning(lcDataAgent).noquote() << "class" << objectClass.name << "has no search key" << key.left(80);
            return {};
        }
        found.push_back(a);
    }
    return found;
}

bool MSqlDataAgent::QueryPrefix(const QString& objectClass, const QStringList& keys, const QString& prefix,
                                const QStringList& attributes, MDataSet& set)
{
    set.Clear();
    const ClassDef* c = DataSchema::instance().findClass(objectClass);
    if (!c || !EnsureConnected())
        return false;
    const std::vector<const AttributeDef*> found = searchKeys(*c, keys);
    if (found.empty())
        return false;
    // A range over the ordered index of each key; the code point order makes
    // it exactly the texts that start with prefix.
    const QString collation = m_connection->isPostgres() ? " COLLATE \"C\"" : "";
    const QString end = prefixEnd(prefix);
    QStringList any;
    QVariantList values;
    for (const AttributeDef* key : found) {
        QString range = QString("t0.%1%2 >= ?").arg(key->column, collation);
        values << prefix;
        if (!end.isNull()) {
            range += QString(" AND t0.%1%2 < ?").arg(key->column, collation);
            values << end;
        }
        any << "(" + range + ")";
    }
    return select(QString("FROM %1 t0 WHERE %2").arg(c->table, any.join(" OR ")), values, *c, &attributes, set);
}

bool MSqlDataAgent::QueryUnsetKey(const QString& objectClass, const QString& key, const QStringList& attributes,
                                  MDataSet& set)
{
    set.Clear();
    const ClassDef* c = DataSchema::instance().findClass(objectClass);
    if (!c || !EnsureConnected())
        return false;
    const std::vector<const AttributeDef*> found = searchKeys(*c, {key});
    return !found.empty()
        && select(QString("FROM %1 t0 WHERE t0.%2 IS NULL").arg(c->table, found.front()->column), {}, *c, &attributes,
                  set);
}

bool MSqlDataAgent::SetSearchKeys(const QVariant& object, const QString& sourceValue, const QStringList& keys,
                                  const QStringList& values)
{
    if (!EnsureConnected())
        return false;
    const qlonglong id = toId(object);
    const ClassDef* c = classOf(id);
    const std::vector<const AttributeDef*> found = c ? searchKeys(*c, keys) : std::vector<const AttributeDef*>();
    if (found.empty() || keys.size() != values.size())
        return false;
    const AttributeDef* source = c->attribute(found.front()->derivedFrom);
    QStringList assignments;
    QVariantList bound;
    for (size_t i = 0; i < found.size(); ++i) {
        if (found.at(i)->derivedFrom != source->name)
            return false;
        assignments << found.at(i)->column + " = ?";
        bound << values.at(int(i));
    }
    bound << id << sourceValue;
    // Only while the source is what the keys were computed from: a rename by
    // another process meanwhile has cleared them and must keep them clear.
    return m_connection
        ->run(QString("UPDATE %1 SET %2 WHERE oid = ? AND %3 = ?").arg(c->table, assignments.join(", "), source->column),
              bound)
        .ok();
}

QString MSqlDataAgent::firstText(const QString& sql, const QVariant& value)
{
    if (!EnsureConnected())
        return {};
    const SqlResult result = m_connection->run(sql, {value});
    return result.ok() && result->next() ? result->value(0).toString() : QString();
}

QString MSqlDataAgent::SearchKeysStamp(const QString& objectClass)
{
    return firstText("SELECT stamp FROM t_search_stamp WHERE class = ?", objectClass);
}

bool MSqlDataAgent::ResetSearchKeys(const QString& objectClass, const QString& stamp)
{
    const ClassDef* c = DataSchema::instance().findClass(objectClass);
    if (!c || !EnsureConnected())
        return false;
    QStringList assignments;
    for (const AttributeDef& a : c->attributes) {
        if (a.isSearchKey())
            assignments << a.column + " = NULL";
    }
    if (assignments.isEmpty())
        return false;
    SqlTransaction transaction(*m_connection);
    return transaction.isActive()
        && m_connection->run(QString("UPDATE %1 SET %2").arg(c->table, assignments.join(", ")), {}).ok()
        && m_connection
               ->run("INSERT INTO t_search_stamp(class, stamp) VALUES (?, ?) "
                     "ON CONFLICT (class) DO UPDATE SET stamp = excluded.stamp",
                     {c->name, stamp})
               .ok()
        && transaction.commit();
}

bool MSqlDataAgent::BeginTransaction()
{
    return EnsureConnected() && m_connection->begin();
}

bool MSqlDataAgent::CommitTransaction()
{
    return m_connection->commit();
}

void MSqlDataAgent::RollbackTransaction()
{
    m_classes.clear();
    m_connection->rollback();
}

QString MSqlDataAgent::GlobalDefineValue(const QString& name)
{
    return firstText("SELECT value FROM t_global_define WHERE name = ?", name);
}

bool MSqlDataAgent::SetGlobalDefine(const QString& name, const QString& value)
{
    if (!EnsureConnected())
        return false;
    return m_connection
        ->run("INSERT INTO t_global_define(name, value) VALUES (?, ?) "
              "ON CONFLICT (name) DO UPDATE SET value = excluded.value",
              {name, value})
        .ok();
}
