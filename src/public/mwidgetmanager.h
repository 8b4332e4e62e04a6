#pragma once

#include <QString>
#include <QStringList>

#include "talmer_export.h"

class MAbstractGraphView;
class MAbstractIconViewEditor;
class MAbstractIconViewOnline;
class MAbstractTemplateView;
class MGraphDoc;
class QWidget;

// The factory through which a host obtains the library's views, each as its
// abstract class, and imports drawings into the graph library. One per
// process (Instance), never freed.
//
// Views: the caller owns every view it creates (the parent, when given, deletes
// it as usual). A request the factory cannot serve returns null and creates
// nothing.
//
// Imports: the three ImportPicture overloads return -1 whatever happened, as
// hosts written against them expect; LastImportResult says what the last one
// did.
class TALMER_EXPORT MWidgetManager
{
public:
    enum WidgetType {
        GraphEditor = 1, // the graph view of the editor host
        GraphOnline = 2  // the browsing graph view of the online viewer
    };

    // What the last import of this process did.
    struct ImportResult
    {
        bool ok = false;      // the version stands: files written and on the server, records made
        QString picture;      // the picture imported into
        int version = -1;     // the version written; -1 when none
        QStringList errors;   // why it failed, one line each; empty when ok
        QStringList warnings; // it stands, but something was left behind (old files)
    };

    static MWidgetManager* Instance();

    // Null for any type but GraphEditor and GraphOnline.
    MAbstractGraphView* CreateGraphView(WidgetType type, QWidget* parent = nullptr);
    MAbstractIconViewEditor* CreateIconEditor(QWidget* parent = nullptr);
    MAbstractIconViewOnline* CreateIconOnline(QWidget* parent = nullptr);
    MAbstractTemplateView* CreateTemplateView(QWidget* parent = nullptr);

    // The picture is named after the source's folder (or its last component);
    // the picture type is the one holding that picture, else the environment's
    // name for typeNumber.
    int ImportPicture(const QString& application, int typeNumber, const QString& source, int mode, int keep);
    // An empty pictureName names the picture after the source, as above.
    int ImportPicture(const QString& application, const QString& typeName, const QString& source,
                      const QString& pictureName, int mode, int keep);
    // doc is read, not taken: the caller keeps it.
    int ImportPicture(const QString& application, const QString& typeName, MGraphDoc* doc,
                      const QString& pictureName, int mode);
    ImportResult LastImportResult() const;

protected:
    MWidgetManager() = default;
    ~MWidgetManager() = default;

private:
    static MWidgetManager* m_pInstance;
};
