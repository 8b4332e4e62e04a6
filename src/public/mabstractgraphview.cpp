#include "mabstractgraphview.h"

MAbstractGraphView::MAbstractGraphView(QWidget* parent, Qt::WindowFlags f)
    : QWidget(parent, f)
{
}

MAbstractGraphView::~MAbstractGraphView() = default;

bool MAbstractGraphView::GraphType(const QString&, const QString&, QString&, int&)
{
    return false;
}

void MAbstractGraphView::SelectGraph(const QString&, const QString&, int, bool)
{
}

void MAbstractGraphView::SaveDraft(const QString&, const QString&)
{
}

int MAbstractGraphView::GetLatestVersion(const QString&, const QString&)
{
    return -1;
}

bool MAbstractGraphView::GetLatestFile(const QString&, const QString&, int)
{
    return false;
}

void MAbstractGraphView::SetUserInfo(const QString&, const QString&)
{
}

void MAbstractGraphView::GetSubstationName(QString&)
{
}

bool MAbstractGraphView::ChangePicName(const QString&, const QString&, const QString&)
{
    return false;
}

bool MAbstractGraphView::IsNewGraph() const
{
    return false;
}

void MAbstractGraphView::SetGraphBridge(MAbstractGraphBridge* bridge)
{
    m_pGraphBridge = bridge;
}
