#include "mgraphviewonline.h"

#include "mgraphprivilege.h"
#include "mgraphtreeviewonline.h"

MGraphViewOnline::MGraphViewOnline(QWidget* parent)
    : MSearchGraphView(parent), m_tree(new MGraphTreeViewOnline(this))
{
    SetTree(m_tree);
    connect(m_tree, &MGraphTreeViewOnline::GraphSelected, this, &MGraphViewOnline::SendSelected);
}

MGraphViewOnline::~MGraphViewOnline() = default;

bool MGraphViewOnline::GraphType(const QString& picture, const QString& application, QString& type, int& typeValue)
{
    return m_tree->GraphType(picture, application, type, typeValue);
}

void MGraphViewOnline::SelectGraph(const QString& app, const QString& pic, int version, bool)
{
    m_tree->SelectGraphItem(app, pic, version, false);
}

int MGraphViewOnline::GetLatestVersion(const QString& app, const QString& pic)
{
    return m_tree->GetLatestVersion(app, pic);
}

bool MGraphViewOnline::GetLatestFile(const QString& app, const QString& pic, int version)
{
    return m_tree->GetLatestFile(app, pic, version);
}

void MGraphViewOnline::SetUserInfo(const QString& user, const QString& password)
{
    MGraphPrivilege::LogIn(user, password);
    m_loggedIn = MGraphPrivilege::CurrentUser() != nullptr;
}

void MGraphViewOnline::SendSelected(const QString& app, const QString& pic, int edition)
{
    emit GraphSelected(app, pic, edition, 0);
}

void MGraphViewOnline::SearchChosen(const QString& name, int occurrence)
{
    m_tree->SelectGraph(name, occurrence);
}
