#include "mgraphvieweditor.h"

#include <QComboBox>
#include <QDir>
#include <QVBoxLayout>

#include "mabstractdbinterface.h"
#include "mdeploypaths.h"
#include "mgraphtreevieweditor.h"

MGraphViewEditor::MGraphViewEditor(QWidget* parent, Qt::WindowFlags f)
    : MAbstractGraphView(parent, f), m_tree(nullptr), m_combo(new QComboBox(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_combo->setObjectName("searchBox");
    m_combo->setEditable(true);
    m_combo->installEventFilter(this);
    layout->addWidget(m_combo);
    m_tree = new MGraphTreeViewEditor(this);
    m_tree->setObjectName("graphTree");
    layout->addWidget(m_tree);
    connect(m_combo, &QComboBox::editTextChanged, this, &MGraphViewEditor::ComboTextChanged);
    connect(m_combo, qOverload<int>(&QComboBox::activated), this, &MGraphViewEditor::ComboActivated);
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

void MGraphViewEditor::ComboTextChanged(const QString& text)
{
    MAbstractDBInterface* db = m_tree->DBInterface();
    if (text.isEmpty() || !db)
        return;
    QStringList found;
    db->SearchPictures(found, text.toUpper());
    m_search.Refill(m_combo, text, found);
}

void MGraphViewEditor::ComboActivated(int index)
{
    m_tree->SelectGraph(m_combo->currentText(), m_search.Occurrence(m_combo, index));
}

bool MGraphViewEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_combo && PictureSearch::OpensPopup(event))
        m_combo->showPopup(); // the key still reaches the combo box
    return MAbstractGraphView::eventFilter(watched, event);
}
