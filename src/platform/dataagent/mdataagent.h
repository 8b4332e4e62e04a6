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

    // Writes between these are applied together or not at all; they nest.
    virtual bool BeginTransaction() = 0;
    virtual bool CommitTransaction() = 0;
    virtual void RollbackTransaction() = 0;

    // text as a path value: O'Brien becomes 'O''Brien'. Names put into paths
    // must go through this.
    static QString QuoteText(const QString& text);
};
