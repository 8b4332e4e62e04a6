#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include "merrmsg.h"
#include "mtranslate.h"
#include "talmer_export.h"

class MAbstractGraphBridge;

// The graph library view as a host sees it: the editing tree in the graph editor,
// the browsing tree in the online viewer. Hosts obtain one from MWidgetManager.
// The defaults below are what a view answers for operations it does not offer.
class TALMER_EXPORT MAbstractGraphView : public QWidget
{
    Q_OBJECT

public:
    explicit MAbstractGraphView(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~MAbstractGraphView() override;

    M_DECLARE_TRUTF8

    // The picture type of picture pic in application app. False (outputs
    // untouched) when the picture is not found.
    virtual bool GraphType(const QString& pic, const QString& app, QString& pictype, int& pictypeId);
    // Selects the picture in the view; flag asks the view to open it as well.
    virtual void SelectGraph(const QString& app, const QString& pic, int edition, bool flag);
    // Called by the host after it has saved the draft files of the picture.
    virtual void SaveDraft(const QString& app, const QString& pic);
    // The highest released version of the picture; negative when there is none.
    virtual int GetLatestVersion(const QString& app, const QString& pic);
    // Brings the files of a version up to date locally. False when none is left.
    virtual bool GetLatestFile(const QString& app, const QString& pic, int version);
    virtual void SetUserInfo(const QString& user, const QString& password);
    // The substation name of the current picture; name is left as it is if none.
    virtual void GetSubstationName(QString& name);
    virtual bool ChangePicName(const QString& app, const QString& oldName, const QString& newName);
    virtual bool IsNewGraph() const;
    // The view keeps the bridge until another is set, and never deletes it.
    virtual void SetGraphBridge(MAbstractGraphBridge* bridge);

    MAbstractGraphBridge* GraphBridge() const { return m_pGraphBridge; }

Q_SIGNALS:
    void GraphSelected(const QString& app, const QString& pic, int edition, int type);
    void GraphDelected(const QString& app, const QString& name);
    void EditPicProperty();
    void sigChangeGraphType(const QString& app, const QString& pic, const QString& pictype, int pictypeid);
    void ShowErrMsg(const QList<MErrMsg>& msgList);
    void GraphReleased(const QString& app, const QString& pic, int edition);

protected:
    MAbstractGraphBridge* m_pGraphBridge = nullptr; // not owned
};
