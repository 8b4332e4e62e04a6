#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "mdataset.h"

// The object database agent: objects of named classes in a tree, with named
// attributes, addressed by identifiers and object paths (see objectpath.h).
// Every operation reports failure by its result (false, an invalid identifier,
// a negative number, an empty set) and a warning on the "talmer.dataagent"
// logging category; none throws.
class MDataAgent
{
public:
    virtual ~MDataAgent();

    // Connects to the named database; true when connected.
    virtual bool Connect(const QString& database) = 0;

    // Fills set with one object per match of path, holding the attributes asked
    // for (in that order; unknown ones are left out). A miss leaves the set
    // empty. True when the query could be run.
    virtual bool QueryData(const QString& path, const QStringList& attributes, MDataSet& set) = 0;
    // As above, with every attribute of the class.
    virtual bool QueryData(const QString& path, MDataSet& set) = 0;
    // The objects related to parent: its children by a "Contains..." relation
    // (or "history_edition"), or its ancestor of class X by "MemberOfX".
    virtual bool QueryChild(const QVariant& parent, const QString& relation,
                            const QStringList& attributes, MDataSet& set) = 0;

    // Creates an object of the class below parent, linked by the class's parent
    // relation. Returns its identifier; invalid on failure.
    virtual QVariant InsertData(const QVariant& parent, const QString& objectClass) = 0;
    // Creates a top-level object.
    virtual QVariant InsertData(const QString& objectClass) = 0;
    // Stores one attribute; numbers and flags come as decimal text.
    virtual bool UpdateField(const QVariant& object, const QString& attribute, const QString& value) = 0;
    // Removes the objects of that class, with everything below them. False when
    // any of them was not an object of that class.
    virtual bool DeleteData(const QString& objectClass, const QList<QVariant>& objects) = 0;
    // Moves the object whose identifier is object below parent: 0 on success,
    // negative when either is unknown or the object cannot live there.
    virtual int TreeMove(const QString& parent, const QString& object) = 0;

    // Search keys: text attributes the caller derives from another attribute
    // (a picture's upper-case name and Pinyin initials from "picname") and the
    // database finds by prefix. Writing the source clears them; the caller
    // computes them again. An agent without them answers false to all of these.
    //
    // The objects of the class whose value of any of keys starts with prefix,
    // with attributes, in the order of the database.
    virtual bool QueryPrefix(const QString& objectClass, const QStringList& keys, const QString& prefix,
                             const QStringList& attributes, MDataSet& set);
    // The objects whose key is not set, with attributes.
    virtual bool QueryUnsetKey(const QString& objectClass, const QString& key, const QStringList& attributes,
                               MDataSet& set);
    // Stores the keys of an object derived from source, as long as the source
    // attribute still holds sourceValue (a rename meanwhile leaves them unset).
    virtual bool SetSearchKeys(const QVariant& object, const QString& sourceValue, const QStringList& keys,
                               const QStringList& values);
    // The text that identifies how the keys of the class were computed; empty
    // when none was recorded.
    virtual QString SearchKeysStamp(const QString& objectClass);
    // Clears every key of the class and records the stamp of the keys to come.
    virtual bool ResetSearchKeys(const QString& objectClass, const QString& stamp);

    // Writes between these are applied together or not at all; they nest.
    virtual bool BeginTransaction() = 0;
    virtual bool CommitTransaction() = 0;
    virtual void RollbackTransaction() = 0;

    // text as a path value: O'Brien becomes 'O''Brien'. Names put into paths
    // must go through this.
    static QString QuoteText(const QString& text);
};
