#pragma once

#include <QList>
#include <QUuid>

#include "graphnode.h"

class MDrawObj;
class MIconTemplate;

// The content of a drawing: its objects and the icon templates its icons use.
// It owns both.
class MGraph
{
public:
    MGraph();
    ~MGraph();
    // A deep copy; the copy's icons use the copy's templates.
    MGraph(const MGraph& other);
    MGraph& operator=(const MGraph&) = delete;

    QList<MDrawObj*>& GetObjList() { return m_objects; }
    // The objects and, after each container, its members (recursively).
    static QList<MDrawObj*> WithMembers(const QList<MDrawObj*>& objects);
    const QList<MDrawObj*>& GetObjList() const { return m_objects; }
    // Takes ownership; an object without an identifier gets the next free one.
    void AddObject(MDrawObj* obj);
    void Clear();

    int IconTemplateNum() const { return int(m_templates.size()); }
    MIconTemplate* IconTemplateAt(int i) const { return m_templates.value(i); }
    MIconTemplate* FindTemplate(const QUuid& uuid) const;
    // Takes ownership and returns the graph's template of that uuid: the one
    // given, or the one already held (the given one is then deleted).
    MIconTemplate* AddIconTemplate(MIconTemplate* iconTemplate);
    // Every icon using oldTemplate uses newTemplate from now on; the graph takes
    // newTemplate and deletes oldTemplate. Nothing happens for a template the
    // graph does not hold, or a null one.
    void UpdateTemplate(MIconTemplate* oldTemplate, MIconTemplate* newTemplate);
    // Makes obj's icons (and its members') use this graph's templates of the same uuid.
    void AdoptTemplatesOf(MDrawObj* obj) const;

    GraphNode TemplatesToNode() const;
    void TemplatesFromNode(const GraphNode& node);

private:
    QList<MDrawObj*> m_objects;         // owned
    QList<MIconTemplate*> m_templates;  // owned
    int m_lastId = 0;
};
