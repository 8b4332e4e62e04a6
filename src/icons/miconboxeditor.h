#pragma once

#include <QMap>
#include <QString>
#include <QTimer>
#include <QTreeWidget>

#include "mtranslate.h"
#include "recordlist.h"

class MAbstractDBInterface;
class MDBRecordIconType;
class MIconEditorItem;
class QAction;

// The icon editor's tree: four categories, their icon types and the icons of
// the one open type, with the commands that create, delete, rename and import
// icons. It keeps the records and the icon files (local and on the server) in
// step; the host draws and edits the icons themselves.
class MIconBoxEditor : public QTreeWidget
{
    Q_OBJECT

public:
    explicit MIconBoxEditor(QWidget* parent = nullptr);
    ~MIconBoxEditor() override;

    M_DECLARE_TRUTF8

    void GetCurrentType(QString& type, int& catId, int& shapeType) const;
    // Opens the type of that name as a click would, unless it is open already.
    void SelectType(const QString& type);
    // Records the icon file the host saved (or an imported one) and sends it
    // to the server and the other workstations.
    void RegisterIcon(const QString& type, const QString& iconName, const QString& uuid);

    MIconEditorItem* CurrentTypeItem() const { return m_currentTypeItem; }
    MIconEditorItem* FindTypeItem(const QString& type) const;
    // What the context menu over item offers; over an icon type not open yet,
    // it opens that type first, so that the commands act on it.
    QList<QAction*> MenuActions(QTreeWidgetItem* item);
    // Whether no icon of the library has that uuid (byUuid) or name.
    bool IsIconUnique(const QString& value, bool byUuid);
    void SetClickInterval(int ms) { m_clickInterval = ms; }

    // Where the import dialog opens: shared by every editor of the process.
    static QString ImportDirectory();

Q_SIGNALS:
    void IconSelected(const QString& type, const QString& iconName, const QString& uuid);
    void IconDeleted(const QString& type, const QString& iconName, const QString& uuid);
    void IconNew(const QString& type, int typeCode, int shapeType);
    void TypeSelected(const QString& type);
    void IconRenamed(const QString& type, const QString& oldname, const QString& newname, const QString& uuid);

public Q_SLOTS:
    void ItemClicked(QTreeWidgetItem* item, int column);
    void NewIcon();
    void DeleteIcon();
    void RenameIcon();
    void ImportIcon();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // What the user settled on for one imported icon file.
    struct ImportChoice
    {
        QString name;
        QString uuid;
        bool overwrite = false;
        bool renamed = false;
        bool uuidReplaced = false;
    };

    void BuildTree();
    void OpenType(MIconEditorItem* item);
    void FillType(MIconEditorItem* item);
    void RefillCurrentType();
    void SelectIcon(MIconEditorItem* item);
    MDBRecordIconType* CurrentType() const;
    // The current item when it is an icon of the open type.
    MIconEditorItem* CurrentIconItem() const;
    QStringList ChooseImportFiles(bool plugins);
    void ImportFile(const QString& path);
    void ImportPlugin(const QString& path);
    // Asks until the name is unique or confirmed as an overwrite; false when cancelled.
    bool ChooseImportName(ImportChoice& choice, const QMap<QString, QString>& typeIcons);
    // Puts the file in place as the icon of choice, rewriting what must agree
    // with the library; false (destination untouched) on failure.
    bool PlaceImportFile(const QString& source, const QString& destination, const ImportChoice& choice,
                         bool catalogDiffers);
    QMap<QString, QString> TypeIconUuids(MDBRecordIconType* type);

    MAbstractDBInterface* m_dbInterface; // not owned: the process-wide interface
    RecordList m_iconTypes;
    MIconEditorItem* m_currentTypeItem = nullptr; // owned by the tree
    QAction* m_newAction;    // owned by the tree
    QAction* m_deleteAction; // owned by the tree
    QAction* m_renameAction; // owned by the tree
    QAction* m_importAction; // owned by the tree
    QTimer m_clickTimer;
    int m_clickInterval;
};
