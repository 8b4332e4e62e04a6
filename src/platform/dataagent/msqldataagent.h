#pragma once

#include <QHash>

#include <vector>

#include <memory>

#include "mdataagent.h"

namespace DataAgent {
class SqlConnection;
struct ClassDef;
struct AttributeDef;
}

// The agent on a SQL database (SQLite or PostgreSQL), see DataAgent::SqlConnection
// for the connection text. Several processes may share one database.
class MSqlDataAgent : public MDataAgent
{
public:
    enum class OpenMode { CreateIfMissing, MustExist };

    MSqlDataAgent();
    ~MSqlDataAgent() override;

    // Opens the database named by spec, creating or upgrading its schema.
    bool Open(const QString& spec, OpenMode mode);
    void Close();
    bool IsOpen() const;
    QString ConnectionSpec() const;

    bool Connect(const QString& database) override;
    bool QueryData(const QString& path, const QStringList& attributes, MDataSet& set) override;
    bool QueryData(const QString& path, MDataSet& set) override;
    bool QueryChild(const QVariant& parent, const QString& relation, const QStringList& attributes,
                    MDataSet& set) override;
    QVariant InsertData(const QVariant& parent, const QString& objectClass) override;
    QVariant InsertData(const QString& objectClass) override;
    bool UpdateField(const QVariant& object, const QString& attribute, const QString& value) override;
    bool DeleteData(const QString& objectClass, const QList<QVariant>& objects) override;
    int TreeMove(const QString& parent, const QString& object) override;
    bool QueryPrefix(const QString& objectClass, const QStringList& keys, const QString& prefix,
                     const QStringList& attributes, MDataSet& set) override;
    bool QueryUnsetKey(const QString& objectClass, const QString& key, const QStringList& attributes,
                       MDataSet& set) override;
    bool SetSearchKeys(const QVariant& object, const QString& sourceValue, const QStringList& keys,
                       const QStringList& values) override;
    QString SearchKeysStamp(const QString& objectClass) override;
    bool ResetSearchKeys(const QString& objectClass, const QString& stamp) override;
    bool BeginTransaction() override;
    bool CommitTransaction() override;
    void RollbackTransaction() override;

    // Global defines: site-wide named settings. Empty text when unknown.
    QString GlobalDefineValue(const QString& name);
    bool SetGlobalDefine(const QString& name, const QString& value);

    // The class of an object ("picture"); empty when there is no such object.
    QString ObjectClass(const QVariant& object);

protected:
    // Called before every operation; true when the database can be used.
    virtual bool EnsureConnected();

private:
    bool queryPath(const QString& path, const QStringList* attributes, MDataSet& set);
    const DataAgent::ClassDef* classOf(qlonglong id);
    QVariant insert(qlonglong parent, const DataAgent::ClassDef& objectClass);
    // After a move: the unique-key scopes of the object and of what lies below it.
    bool refreshScopes(qlonglong moved, const DataAgent::ClassDef& movedClass);
    // The search keys of the class named keys; empty (and a warning) when any is not one.
    std::vector<const DataAgent::AttributeDef*> searchKeys(const DataAgent::ClassDef& objectClass,
                                                           const QStringList& keys);
    // The first column of the first row of a query of one value; empty when none.
    QString firstText(const QString& sql, const QVariant& value);
    bool select(const QString& sql, const QVariantList& values, const DataAgent::ClassDef& objectClass,
                const QStringList* attributes, MDataSet& set);

    std::unique_ptr<DataAgent::SqlConnection> m_connection;
    QHash<qlonglong, const DataAgent::ClassDef*> m_classes; // known classes of objects
};
