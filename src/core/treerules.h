#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "mdbrecordbase.h"

// Rules every graph tree shares (exported, online, editor).
namespace TreeRules {

// Application name -> display text: the dictionary's text, translated when a
// translation exists.
QMap<QString, QString> ApplicationDisplayNames();

// The top level of a graph tree: one item per application record (the tree
// owns the items, the items their records), labelled by displayNames where it
// has the name; displayNames keeps only the applications that exist.
template <class Item, class Tree>
void AddApplications(Tree* tree, const QList<MDBRecordBase*>& applications, QMap<QString, QString>& displayNames)
{
    QStringList names;
    for (MDBRecordBase* app : applications) {
        names << app->name;
        auto* item = new Item(tree, app);
        if (displayNames.contains(app->name))
            item->setText(0, displayNames.value(app->name));
    }
    for (const QString& key : displayNames.keys()) {
        if (!names.contains(key))
            displayNames.remove(key);
    }
}

enum class Keep { First, Last };
// One record per picture name, the others deleted, in Pinyin order of the
// names. records is emptied; the caller owns what is returned.
QList<MDBRecordBase*> PicturesInPinyinOrder(QList<MDBRecordBase*>& records, Keep keep);

} // namespace TreeRules
