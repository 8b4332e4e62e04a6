#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "editionrules.h"
#include "mdbrecordbase.h"
#include "mdbrecordedition.h"

// Rules every graph tree shares (exported, online, editor).
namespace TreeRules {

// The text an item shows for a record name: its translation, else the name.
QString DisplayText(const QString& name);

// The application name behind a top-level label: the first name displayNames
// shows as label, else the label itself.
QString ApplicationName(const QMap<QString, QString>& displayNames, const QString& label);

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

// The labels of the version rows, translated in the tree's own context.
struct EditionLabels
{
    QString history, draft, latest;
};

// The versions of a picture under pictureItem, from records (emptied; the
// items own what they show, the rest is deleted): a history folder (made by
// makeFolder(pictureItem), given the history label) holding the other versions when showHistory and at
// least two remain besides the draft, then the draft, then the latest. A
// draft older than the latest is not shown.
template <class Item, class Parent, class MakeFolder>
void AddEditions(Parent* pictureItem, QList<MDBRecordBase*>& records, bool showHistory, const EditionLabels& labels,
                 MakeFolder makeFolder)
{
    const EditionRules::Editions editions = EditionRules::Classify(records);
    records.clear();
    MDBRecordEdition* draft = editions.staleDraft ? nullptr : editions.draft;
    if (editions.staleDraft)
        delete editions.draft;
    if (showHistory && editions.history.size() + (editions.latest ? 1 : 0) >= 2) {
        auto* folder = makeFolder(pictureItem);
        folder->setText(0, labels.history);
        for (MDBRecordEdition* e : editions.history) {
            e->name = EditionRules::HistoryName(*e);
            new Item(folder, e);
        }
    } else {
        qDeleteAll(editions.history); // not shown: freed at once
    }
    if (draft) {
        draft->name = labels.draft;
        new Item(pictureItem, draft);
    }
    if (editions.latest) {
        editions.latest->name = labels.latest;
        new Item(pictureItem, editions.latest);
    }
}

// The top-level item of a tree holding application app (by record name: two
// applications may show the same label); null when none.
template <class Item, class Tree>
Item* TopLevelItem(const Tree* tree, const QString& app)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        auto* item = dynamic_cast<Item*>(tree->topLevelItem(i));
        if (item && item->Holds(MDBRecordBase::RecordApplication) && item->Record()->name == app)
            return item;
    }
    return nullptr;
}

// The child of parent whose raw name (column 1) is name; null when none.
template <class Item, class Parent>
Item* ChildNamed(const Parent* parent, const QString& name)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        auto* child = dynamic_cast<Item*>(parent->child(i));
        if (child && child->RawName() == name)
            return child;
    }
    return nullptr;
}

} // namespace TreeRules
