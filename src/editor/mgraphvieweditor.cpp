#include "mgraphvieweditor.h"

#include <QDir>

#include "mdeploypaths.h"
#include "mgraphtreevieweditor.h"

MGraphViewEditor::MGraphViewEditor(QWidget* parent, Qt::WindowFlags f)
    : MSearchGraphView(parent, f), m_tree(new MGraphTreeViewEditor(this))
{
    SetTree(m_tree);
    connect(m_tree, &MGraphTreeViewEditor::GraphSelected, this, &MGraphViewEditor::SendSelected);
    connect(m_tree, &MGraphTreeViewEditor::GraphDelected, this, &MGraphViewEditor::SendGraphDelected);
    connect(m_tree, &MGraphTreeViewEditor::GraphReleased, this, &MGraphViewEditor::SendGraphReleased);
    connect(m_tree, &MGraphTreeViewEditor::EditPicProperty, this, &MGraphViewEditor::SendEditProperty);
    connect(m_tree, &MGraphTreeViewEditor::sigChangeGraphType, this, &MGraphViewEditor::SendChangeGraphType);
    connect(m_tree, &MGraphTreeViewEditor::SigShowErrMsg, this, &MGraphViewEditor::OnShowErrMsg);
    // Where deleted pictures are kept aside; never below the file-system root.
    if (!MDeployPaths::SafeRoot().isEmpty())
        QDir().mkpath(MDeployPaths::Root() + "/pic/temporary");
}

MGraphViewEditor::~MGraphViewEditor() = default;

bool MGraphViewEditor::GraphType(const QString& pic, const QString& app, QString& pictype, int& pictypeId)
{
    return m_tree->GraphType(pic, app, pictype, pictypeId);
}

void MGraphViewEditor::SelectGraph(const QString& app, const QString& pic, int edition, bool flag)
{
    m_tree->SelectGraphItem(app, pic, false);
    if (!flag)
        return;
    // Remembered as a click remembers it: "edit property" and the paste act on it.
    m_tree->SetOpened(app, pic, edition);
    emit GraphSelected(app, pic, edition, 0);
}

void MGraphViewEditor::SaveDraft(const QString& app, const QString& pic)
{
    m_tree->SaveDraft(app, pic);
}

int MGraphViewEditor::GetLatestVersion(const QString& app, const QString& pic)
{
    return m_tree->GetLatestVersion(app, pic);
}

void MGraphViewEditor::GetSubstationName(QString& name)
{
    name = m_tree->SubstationName();
}

bool MGraphViewEditor::ChangePicName(const QString& app, const QString& oldName, const QString& newName)
{
    return m_tree->ChangePicName(app, oldName, newName);
}

bool MGraphViewEditor::IsNewGraph() const
{
    return m_tree->IsNewGraph();
}

void MGraphViewEditor::SetGraphBridge(MAbstractGraphBridge* bridge)
{
    m_tree->SetGraphBridge(bridge);
    MAbstractGraphView::SetGraphBridge(bridge);
}

void MGraphViewEditor::CreatePicture(const QString& pictype, const QString& name)
{
    m_tree->CreatePicture(pictype, name);
}

// ---- relays ---------------------------------------------------------------------------

void MGraphViewEditor::SendSelected(const QString& app, const QString& pic, int edition, int type)
{
    emit GraphSelected(app, pic, edition, type);
}

void MGraphViewEditor::SendGraphDelected(const QString& app, const QString& name)
{
    emit GraphDelected(app, name);
}

void MGraphViewEditor::SendGraphReleased(const QString& app, const QString& pic, int edition)
{
    emit GraphReleased(app, pic, edition);
}

void MGraphViewEditor::SendEditProperty()
{
    emit EditPicProperty();
}

void MGraphViewEditor::SendChangeGraphType(const QString& app, const QString& pic, const QString& pictype,
                                           int pictypeid)
{
    emit sigChangeGraphType(app, pic, pictype, pictypeid);
}

void MGraphViewEditor::OnShowErrMsg(const QList<MErrMsg>& msgList)
{
    emit ShowErrMsg(msgList);
}

// ---- the search box ---------------------------------------------------------------------

void MGraphViewEditor::SearchChosen(const QString& name, int occurrence)
{
    m_tree->SelectGraph(name, occurrence);
}
