#pragma once

#include <QList>
#include <QObject>

#include "merrmsg.h"

class IconLooksPanel;
class MAbstractIconViewEditor;
class MIconTemplate;
class QDockWidget;
class QMainWindow;

// The editor host's side of the icon library: it makes the files of new
// icons, keeps an icon's file in step with its renamed record, and shows the
// looks of the chosen icon in a dock below the library. Files go to the file
// server before the library records them; what fails is reported, never
// recorded.
class IconWorkbench : public QObject
{
    Q_OBJECT

public:
    // Answers the signals of editor; the looks dock goes into window's right
    // dock area, below the docks there.
    IconWorkbench(MAbstractIconViewEditor* editor, QMainWindow* window);

    IconLooksPanel* Looks() const { return m_looks; }
    // Brings every icon file up to date with the library (at start).
    void SyncIconFiles();

    // Makes the file of a new icon (a fresh uuid, one simple look), uploads it
    // and records it; false and error when any step fails, with no record
    // made and no file left behind.
    bool CreateIcon(const QString& type, int typeCode, int shapeType, const QString& name, QString& error);
    // The simple first look of a new icon of that type: a box, or a bar for
    // line-shaped types. The caller owns it.
    static MIconTemplate* DefaultIcon(const QString& type, int typeCode, int shapeType, const QString& name);

public Q_SLOTS:
    // Asks for the new icon's name, then CreateIcon.
    void IconNew(const QString& type, int typeCode, int shapeType);
    void IconSelected(const QString& type, const QString& name, const QString& uuid);
    // Writes the new name into the icon's file and uploads it.
    void IconRenamed(const QString& type, const QString& oldName, const QString& newName, const QString& uuid);
    void IconDeleted(const QString& type, const QString& name, const QString& uuid);

Q_SIGNALS:
    void Failed(const QList<MErrMsg>& messages);
    void Said(const QString& status);

private:
    void fail(const QString& object, const QString& why);
    // Whether the open icon type of the library lists an icon of that name.
    bool nameListed(const QString& name) const;
    QDockWidget* dockLooks(QMainWindow* window);

    MAbstractIconViewEditor* m_editor; // not owned: the window's dock holds it
    IconLooksPanel* m_looks;           // in its dock
    QWidget* m_window;                 // not owned: the dialogs' parent
};
