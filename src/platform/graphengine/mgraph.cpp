#include "mgraph.h"

#include "miconobj.h"
#include "micontemplate.h"

namespace {

constexpr int kMaxTemplates = 10000;

// Applies f to obj and to every object inside it.
template <class F>
void forEachObject(MDrawObj* obj, F&& f)
{
    f(obj);
    for (int i = 0; i < obj->MemberCount(); ++i)
        forEachObject(obj->MemberAt(i), f);
}

} // namespace

QList<MDrawObj*> MGraph::WithMembers(const QList<MDrawObj*>& objects)
{
    QList<MDrawObj*> all;
    for (MDrawObj* obj : objects) {
        all << obj;
        QList<MDrawObj*> members;
        for (int i = 0; i < obj->MemberCount(); ++i)
            members << obj->MemberAt(i);
        all << WithMembers(members);
    }
    return all;
}

MGraph::MGraph() = default;

MGraph::~MGraph()
{
    Clear();
}

MGraph::MGraph(const MGraph& other)
    : m_lastId(other.m_lastId)
{
    for (const MIconTemplate* t : other.m_templates) {
        auto* copy = new MIconTemplate(*t);
        copy->SetGraph(this);
        m_templates.append(copy);
    }
    for (const MDrawObj* obj : other.m_objects) {
        MDrawObj* copy = obj->Clone();
        AdoptTemplatesOf(copy);
        m_objects.append(copy);
    }
}

void MGraph::Clear()
{
    qDeleteAll(m_objects);
    m_objects.clear();
    qDeleteAll(m_templates);
    m_templates.clear();
    m_lastId = 0;
}

void MGraph::AddObject(MDrawObj* obj)
{
    if (!obj)
        return;
    if (obj->GetId() == 0)
        obj->SetId(++m_lastId);
    else
        m_lastId = qMax(m_lastId, obj->GetId());
    m_objects.append(obj);
}

MIconTemplate* MGraph::FindTemplate(const QUuid& uuid) const
{
    for (MIconTemplate* t : m_templates) {
        if (t->GetUuid() == uuid)
            return t;
    }
    return nullptr;
}

MIconTemplate* MGraph::AddIconTemplate(MIconTemplate* iconTemplate)
{
    if (!iconTemplate)
        return nullptr;
    if (MIconTemplate* held = FindTemplate(iconTemplate->GetUuid())) {
        if (held != iconTemplate)
            delete iconTemplate;
        return held;
    }
    iconTemplate->SetGraph(this);
    m_templates.append(iconTemplate);
    return iconTemplate;
}

void MGraph::UpdateTemplate(MIconTemplate* oldTemplate, MIconTemplate* newTemplate)
{
    const int index = m_templates.indexOf(oldTemplate);
    if (index < 0 || !newTemplate || newTemplate == oldTemplate)
        return;
    for (MDrawObj* obj : m_objects) {
        forEachObject(obj, [&](MDrawObj* o) {
            auto* icon = o->GetType() == MDrawObj::ObjIcon ? static_cast<MIconObj*>(o) : nullptr;
            if (icon && icon->GetTemplate() == oldTemplate)
                icon->SetTemplate(newTemplate);
        });
    }
    newTemplate->SetGraph(this);
    m_templates[index] = newTemplate;
    delete oldTemplate;
}

void MGraph::AdoptTemplatesOf(MDrawObj* obj) const
{
    forEachObject(obj, [&](MDrawObj* o) {
        auto* icon = o->GetType() == MDrawObj::ObjIcon ? static_cast<MIconObj*>(o) : nullptr;
        if (icon && icon->GetTemplate())
            icon->SetTemplate(FindTemplate(icon->GetTemplate()->GetUuid()));
    });
}

GraphNode MGraph::TemplatesToNode() const
{
    GraphNode node("templates");
    for (const MIconTemplate* t : m_templates)
        node.children.append(t->ToNode());
    return node;
}

void MGraph::TemplatesFromNode(const GraphNode& node)
{
    for (const GraphNode& child : node.children) {
        if (m_templates.size() >= kMaxTemplates)
            break;
        auto* t = new MIconTemplate;
        if (t->FromNode(child))
            AddIconTemplate(t);
        else
            delete t;
    }
}
