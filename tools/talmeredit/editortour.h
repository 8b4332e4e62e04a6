#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

#include "popupdriver.h"
#include "tourshots.h"

class EditorWindow;
class QAbstractItemView;
class QFile;
class QListWidget;
class QMimeData;
class QModelIndex;
class QPointF;
class QTreeWidget;
class QTreeWidgetItem;

// A scripted session of the editor on a site, for machines without a display
// and for the smoke test: it expands the library, opens a version, changes it
// and saves the draft, shows the picture's menu (a draft is what it offers to
// release), releases the change, browses the icon palette, drags an icon
// and a template onto the drawing and saves it. Every step leaves a picture
// (menus, tips and boxes painted in); the signals the views send and what
// each step did go to "tour.log" in the same folder, one line each:
//
//   signal GraphReleased SCADA 北京变电站 4
//   step 07 release ok
//   step 10 icon-drop FAILED: the drawing refused the icon: ...
class EditorTour : public QObject
{
    Q_OBJECT

public:
    // picture: the picture the tour opens and changes (of any application).
    EditorTour(EditorWindow& window, const QString& directory, const QString& picture);
    ~EditorTour() override;

    // Runs every step in order, stopping at the first that fails; 0 when all
    // passed, 1 otherwise (the step and why are printed and logged).
    int Run();
    // The pictures, the log and the draft's files written so far.
    QStringList FilesWritten() const;

private:
    struct Step
    {
        const char* name;
        QString (EditorTour::*run)(); // empty on success, else why it failed
    };

    QString library();
    QString search();
    QString openVersion();
    QString pictureMenu();
    QString addLabel();
    QString saveDraft();
    QString release();
    QString palette();
    QString iconTip();
    QString iconDrop();
    QString templates();
    QString templateDrop();
    QString save();
    QString compare();
    QString workstations();

    void watchSignals();
    void log(const QString& line);
    QString shoot(const QString& name);
    QString triggerToolAction(const QString& text);
    // Drags index from view (the view's own drag data, else the documented
    // payload given) onto the drawing at the fraction at of its size.
    QString dropOnCanvas(QAbstractItemView* view, const QModelIndex& index, const char* format,
                         const QByteArray& documented, const QPointF& at);
    QTreeWidget* libraryTree() const;
    QTreeWidgetItem* pictureItem() const;
    QString draftFile(const QString& extension) const;

    EditorWindow& m_window;
    QString m_picture;
    TourShots m_shots;
    PopupDriver m_popups;
    std::unique_ptr<QFile> m_log;
    QString m_stepName;
    QString m_lastDrop;   // what the canvas said about the last drop
    QString m_iconUuid;   // the icon chosen in the palette
    QString m_iconType;
    int m_iconShape = 0;
    int m_released = -1;  // the version GraphReleased announced
};
