#pragma once

#include <QMap>
#include <QString>
#include <QTreeWidget>

#include <functional>

#include "mtranslate.h"

class MAbstractDBInterface;
class MDBRecordBase;
class MDBRecordEdition;
class MDBRecordNode;
class MGraphItemOnline;
class QAction;

// The operator's tree of the graph library: applications, picture types, the
// pictures the logged-in operator may see, and their editions. Picking an
// edition brings its files up to date and emits GraphSelected. Items are
// owned by the tree and rebuilt on clicks, so nothing here keeps an item
// across a signal it emits.
class MGraphTreeViewOnline : public QTreeWidget
{
    Q_OBJECT

public:
    explicit MGraphTreeViewOnline(QWidget* parent = nullptr);
    ~MGraphTreeViewOnline() override;

    M_DECLARE_TRUTF8

    // Expands the picture pic of application app and scrolls to it; open also
    // opens its latest edition (or its only one). Ignored while hidden.
    void SelectGraphItem(const QString& app, const QString& pic, int version, bool open);
    // The highest version of the picture with its files fetched when stale:
    // -100 when not found, -1 when neither its .brg nor its .xrg is here after the attempt.
    int GetLatestVersion(const QString& app, const QString& pic);
    // Brings that version's files up to date; false when it does not exist or
    // no file of it is left here.
    bool GetLatestFile(const QString& app, const QString& pic, int version);
    bool GraphType(const QString& picture, const QString& application, QString& type, int& typeValue);
    // The application whose display text is text (the text itself when none).
    QString RealAppName(const QString& text) const;
    // What the context menu over item offers: "show all edition" over a picture type.
    QList<QAction*> MenuActions(QTreeWidgetItem* item) const;
    QAction* ShowAllAction() const { return m_showAllAction; }

Q_SIGNALS:
    void GraphSelected(const QString& app, const QString& pic, int edition);

public Q_SLOTS:
    // Opens the picture found by the search: picname in the appIndex-th application holding it.
    void SelectGraph(const QString& picname, int appIndex);
    void ItemClicked(QTreeWidgetItem* item, int column);
    // Takes effect at the next fill of a picture.
    void ShowAllEdition(bool show);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Edition
    {
        int version = -100;
        QString modifyTime;
    };

    void InitTree();
    void RefreshItem(MGraphItemOnline* item);
    void fillPictures(MGraphItemOnline* typeItem, QList<MDBRecordBase*>& records);
    void fillEditions(MGraphItemOnline* pictureItem, QList<MDBRecordBase*>& records);
    // Makes item the expanded one of its level (see current), filled afresh.
    void expand(MGraphItemOnline*& current, MGraphItemOnline* item);
    void ExpandPicture(MGraphItemOnline* item, bool open);
    // Fetches the edition's files when stale and emits GraphSelected, or says
    // that the files are nowhere. The last thing it does is emit.
    void OpenEdition(MGraphItemOnline* item);
    MGraphItemOnline* applicationItem(const QString& app) const;
    // Calls visit(picture type, picture) for every picture named pic of the
    // application, in listing order, until it returns true. Records live for the call.
    void forEachPictureNamed(MGraphItemOnline* appItem, const QString& pic,
                             const std::function<bool(MDBRecordBase*, MDBRecordBase*)>& visit) const;
    static MGraphItemOnline* childNamed(QTreeWidgetItem* parent, const QString& name);
    // The version of picture pic in application app (the highest when
    // version < 0); version -100 when there is none.
    Edition findEdition(const QString& app, const QString& pic, int version) const;

    MAbstractDBInterface* m_dbInterface;       // not owned: the process-wide interface
    MDBRecordNode* m_nodeRecord;               // owned
    MGraphItemOnline* m_currentApplication;    // items are owned by the tree
    MGraphItemOnline* m_currentPictureType;
    MGraphItemOnline* m_currentPicture;
    QAction* m_showAllAction;                  // child of the tree
    QMap<QString, QString> m_appDisplayNames;  // application name -> display text
    bool m_showAllEditions;
};
