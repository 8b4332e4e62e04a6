#pragma once

#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QTreeWidget>

#include <array>

#include "merrmsg.h"
#include "mtranslate.h"

class MAbstractDBInterface;
class MAbstractGraphBridge;
class MDBRecordBase;
class MDBRecordNode;
class MGraphTreeItem;
class QAction;
class QDropEvent;
class QMenu;
class QMimeData;

// The engineer's tree of the graph library: applications, picture types,
// pictures and their versions, with every library command on its context
// menu. Opening a version emits GraphSelected; the host opens the drawing.
//
// Items are rebuilt as the engineer clicks, and a host may rebuild the whole
// tree from a slot connected to a signal of this tree. So nothing keeps an
// item across an emit without checking MGraphTreeItem::Find afterwards, and
// every reload goes through ReloadChildren, which clears every current
// pointer into what it destroys.
//
// The commands live in files of their own (mgraphtreevieweditor_*.cpp); this
// file's source holds the tree, its loading, opening, menu and drag and drop.
class MGraphTreeViewEditor : public QTreeWidget
{
    Q_OBJECT

public:
    // The context-menu commands, in the order their actions are created.
    enum class Command {
        DeleteApplication,
        AddApplication,
        DeletePictype,
        AddPictype,
        DeletePicture,
        AddPicture,
        ReleasePicture,
        RefreshApplications,
        RenamePicture,
        ShowAllEdition,
        CheckInDraft,
        SaveAsDraft,
        PastePicture,
        ChangePictype,
        RefreshOIDs,
        ShareGraph,
        CancelShareGraph,
        ChangePicProperty,
        BatchSetProperty,
        ResetVersions,
        ResetPictureVersion,
        TranslateText,
        ImportFolderPic,
        ImportFilePic,
        MergeDatabase,
    };
    static constexpr int kCommandCount = int(Command::MergeDatabase) + 1;

    // Bits of the global definition "TreeActions" that hide menu entries.
    enum TreeActionBits { HideRefreshOid = 1, HideTranslate = 2 };

    // The only format of a picture drag: the picture's oid as a QString
    // written by QDataStream.
    static const char* const kPicDragFormat; // "picDrag"

    explicit MGraphTreeViewEditor(QWidget* parent = nullptr);
    ~MGraphTreeViewEditor() override;

    M_DECLARE_TRUTF8

    // ---- state the commands read --------------------------------------------------
    MAbstractDBInterface* DBInterface() const { return m_dbInterface; }
    MDBRecordNode* NodeRecord() const { return m_nodeRecord; }
    // The items whose children are loaded, one per level; null when none.
    MGraphTreeItem* CurrentApplicationItem() const { return m_currentApplication; }
    MGraphTreeItem* CurrentPictypeItem() const { return m_currentPictype; }
    MGraphTreeItem* CurrentPictureItem() const { return m_currentPicture; }
    // The tree's current item when it is a version; null otherwise.
    MGraphTreeItem* CurrentVersionItem() const;
    // The picture the host has open (set when a version is opened).
    QString OpenedApplication() const { return m_openedApplication; }
    QString OpenedPicture() const { return m_openedPicture; }
    int OpenedEdition() const { return m_openedEdition; }
    void SetOpened(const QString& app, const QString& pic, int edition);
    QString SubstationName() const { return m_substationName; }
    void SetSubstationName(const QString& name) { m_substationName = name; }
    bool IsNewGraph() const { return m_newGraph; }
    void SetNewGraph(bool newGraph) { m_newGraph = newGraph; }
    bool ShowsAllEditions() const { return m_showAllEditions; }
    int TreeActionsMask() const { return m_treeActionsMask; }
    MAbstractGraphBridge* GraphBridge() const { return m_graphBridge; }
    void SetGraphBridge(MAbstractGraphBridge* bridge) { m_graphBridge = bridge; }

    // ---- lookups -------------------------------------------------------------------
    // The application name behind a top-level item's label.
    QString ApplicationName(const QString& label) const;
    // The top-level item of application app (by name); null when none.
    MGraphTreeItem* ApplicationItem(const QString& app) const;
    // The child of parent whose column 1 is name; null when none.
    static MGraphTreeItem* ChildNamed(QTreeWidgetItem* parent, const QString& name);
    // The version item's picture item (through the history folder), or null.
    static MGraphTreeItem* PictureOf(MGraphTreeItem* versionItem);
    // The name and code of the picture type of picture pic in application
    // app; false when the application is not in the tree or has no such picture.
    bool GraphType(const QString& pic, const QString& app, QString& pictype, int& pictypeId) const;
    // The pictures of a picture type record as the tree lists them: one record
    // per name (the first wins), in Pinyin order. The caller owns them.
    QList<MDBRecordBase*> PicturesOfType(MDBRecordBase* pictype) const;

    // ---- loading and opening -------------------------------------------------------
    // Destroys the children of an application, picture type or picture item,
    // clears every current pointer into them, loads them again from the
    // database and expands the item. Every command that changes the library
    // under an item reloads through here.
    void ReloadChildren(MGraphTreeItem* item);
    // Opens a version item (fetching stale files) and emits
    // GraphSelected(app, pic, edition, type). False when nothing was opened.
    bool OpenVersion(MGraphTreeItem* versionItem, int type);
    // Makes the picture item current and loaded; open also opens its only
    // version or its draft.
    void ExpandPicture(MGraphTreeItem* pictureItem, bool open);
    // Selects picture pic of application app in the tree and scrolls to it;
    // open opens it as a click would.
    void SelectGraphItem(const QString& app, const QString& pic, bool open);

    // ---- the menu and drags --------------------------------------------------------
    QAction* Action(Command command) const { return m_actions.at(size_t(command)); }
    // The entries of the context menu over underCursor (null: no item there),
    // separators and the import submenu included; empty means no menu.
    QList<QAction*> MenuActions(QTreeWidgetItem* underCursor);
    // The payload of a drag of the picture with that oid; the caller owns it.
    static QMimeData* PicDragData(const QString& oid);
    // The oid a payload carries; false when it is not a picture drag.
    static bool ReadPicDrag(const QMimeData* data, QString& oid);
    // The payload of a drag of the current item when it is a picture, null
    // otherwise; the caller (the drag) owns it. Drops accept only the last
    // payload made here: a picture drag from another widget or program is
    // refused.
    QMimeData* BeginPictureDrag();

    // ---- operations of the view (commands, in their files) -----------------------
    void SaveDraft(const QString& app, const QString& pic);
    int GetLatestVersion(const QString& app, const QString& pic);
    bool ChangePicName(const QString& app, const QString& oldName, const QString& newName);
    void CreatePicture(const QString& pictype, const QString& name);

Q_SIGNALS:
    void GraphSelected(QString app, QString pic, int edition, int type);
    void GraphDelected(QString app, QString name);
    void GraphReleased(QString app, QString pic, int edition);
    void EditPicProperty();
    void sigChangeGraphType(QString app, QString pic, QString pictype, int pictypeid);
    void SigShowErrMsg(QList<MErrMsg> msgList);

public Q_SLOTS:
    void SelectGraph(QString picname, int appIndex);
    void SelectGraph(QString picname);
    void ItemClicked(QTreeWidgetItem* item, int column);
    void DeleteApplication();
    void AddApplication();
    void DeletePictype();
    void AddPictype();
    void DeletePicture();
    void AddPicture();
    void RenamePicture();
    void ImportFolderPic();
    void ImportFilePic();
    void ReleasePicture();
    void RefreshApplications();
    void ShowAllEdition(bool show);
    void CheckInDraft();
    void SaveAsDraft();
    void PastePicture();
    void RefreshOIDs();
    void BatchSetProperty();
    void ResetVersions();
    void ResetPictureVersion();
    void TranslateText();
    bool RefreshGraphTemplate(QString picpath, int edition);
    void slotRefreshIcons();
    void slotCancelShareGraph();
    void slotShareGraph();
    void ChangePictype();
    void ChangePicProperty();
    void MergeDatabase();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void loadChildren(MGraphTreeItem* item);
    void loadPictures(MGraphTreeItem* typeItem, QList<MDBRecordBase*>& records);
    void loadVersions(MGraphTreeItem* pictureItem, QList<MDBRecordBase*>& records);
    // Makes item the current one of its level: the previous one loses its
    // children, item is reloaded and expanded.
    void makeCurrent(MGraphTreeItem*& current, MGraphTreeItem* item);
    // Clears the current pointers that lie below item (item itself stays).
    void forgetCurrentBelow(MGraphTreeItem* item);
    // Whether a drop carries the payload of this tree's own last drag.
    bool isOwnDrag(const QDropEvent* event) const;
    // The picture type item a drop at pos may land on: this tree's picture
    // type in the dragged picture's application; null when the drop is refused.
    MGraphTreeItem* dropTarget(const QDropEvent* event, MGraphTreeItem** pictureItem) const;
    QList<QAction*> applicationMenu();
    QList<QAction*> pictypeMenu();
    QList<QAction*> pictureMenu(MGraphTreeItem* item);
    // Only the entries whose commands are built, without doubled separators.

    QString m_substationName;
    MAbstractDBInterface* m_dbInterface; // not owned: the process-wide interface
    MDBRecordNode* m_nodeRecord;         // owned; null when the node is missing
    MGraphTreeItem* m_currentApplication = nullptr; // items are owned by the tree
    MGraphTreeItem* m_currentPictype = nullptr;
    MGraphTreeItem* m_currentPicture = nullptr;
    std::array<QAction*, kCommandCount> m_actions{}; // children of the tree
    std::array<QAction*, 4> m_separators{};          // children of the tree
    QMenu* m_importMenu = nullptr;                   // child of the tree
    QPointer<QMimeData> m_ownDrag;                   // owned by its drag
    QMap<QString, QString> m_appDisplayNames;        // application name -> label
    bool m_showAllEditions = false;
    QString m_openedApplication;
    QString m_openedPicture;
    int m_openedEdition = -1;
    int m_treeActionsMask = 0;
    bool m_newGraph = false;
    MAbstractGraphBridge* m_graphBridge = nullptr; // not owned
};
