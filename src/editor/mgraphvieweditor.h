#pragma once

#include "mabstractgraphview.h"
#include "picturesearch.h"

class MGraphTreeViewEditor;
class QComboBox;

// The graph library view of the graph editor: a search box above the
// engineer's tree. It relays the tree's signals as the host's view signals
// and forwards the host's calls to the tree.
class MGraphViewEditor : public MAbstractGraphView
{
    Q_OBJECT

public:
    explicit MGraphViewEditor(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~MGraphViewEditor() override;

    bool GraphType(const QString& pic, const QString& app, QString& pictype, int& pictypeId) override;
    // Selects the picture; flag opens it as well, as a click would.
    void SelectGraph(const QString& app, const QString& pic, int edition, bool flag) override;
    void SaveDraft(const QString& app, const QString& pic) override;
    int GetLatestVersion(const QString& app, const QString& pic) override;
    void GetSubstationName(QString& name) override;
    bool ChangePicName(const QString& app, const QString& oldName, const QString& newName) override;
    bool IsNewGraph() const override;
    void SetGraphBridge(MAbstractGraphBridge* bridge) override;
    // Creates picture name in the tree's current picture type when that type is pictype.
    virtual void CreatePicture(const QString& pictype, const QString& name);

    MGraphTreeViewEditor* Tree() const { return m_tree; }
    QComboBox* SearchBox() const { return m_combo; }

public Q_SLOTS:
    void SendSelected(const QString& app, const QString& pic, int edition, int type);
    void SendGraphDelected(const QString& app, const QString& name);
    void SendGraphReleased(const QString& app, const QString& pic, int edition);
    void SendEditProperty();
    void SendChangeGraphType(const QString& app, const QString& pic, const QString& pictype, int pictypeid);
    void OnShowErrMsg(const QList<MErrMsg>& msgList);
    void ComboTextChanged(const QString& text);
    void ComboActivated(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MGraphTreeViewEditor* m_tree; // child widget
    QComboBox* m_combo;           // child widget
    PictureSearch m_search;       // the match list and the saved index
};
