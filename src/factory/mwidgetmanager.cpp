#include "mwidgetmanager.h"

#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mgraphvieweditor.h"
#include "mgraphviewonline.h"
#include "miconvieweditor.h"
#include "miconviewonline.h"
#include "mpictureimporter.h"
#include "mtemplateview.h"

MWidgetManager* MWidgetManager::m_pInstance = nullptr;

namespace {

MAbstractDBInterface* database()
{
    return MDBInterfaceHolder::Instance()->GetInterface();
}

} // namespace

MWidgetManager* MWidgetManager::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MWidgetManager;
    return m_pInstance;
}

MAbstractGraphView* MWidgetManager::CreateGraphView(WidgetType type, QWidget* parent)
{
    switch (type) {
    case GraphOnline:
        return new MGraphViewOnline(parent);
    case GraphEditor:
        return new MGraphViewEditor(parent);
    default:
        return nullptr;
    }
}

MAbstractIconViewEditor* MWidgetManager::CreateIconEditor(QWidget* parent)
{
    return new MIconViewEditor(parent);
}

MAbstractIconViewOnline* MWidgetManager::CreateIconOnline(QWidget* parent)
{
    return new MIconViewOnline(parent);
}

MAbstractTemplateView* MWidgetManager::CreateTemplateView(QWidget* parent)
{
    return new MTemplateView(parent);
}

int MWidgetManager::ImportPicture(const QString& application, int typeNumber, const QString& source, int mode,
                                  int keep)
{
    return database()->ImportPictureByType(application, typeNumber, source, mode, keep);
}

int MWidgetManager::ImportPicture(const QString& application, const QString& typeName, const QString& source,
                                  const QString& pictureName, int mode, int keep)
{
    // The interface takes the mode before the picture name.
    return database()->ImportPictureFile(application, typeName, source, mode, pictureName, keep);
}

int MWidgetManager::ImportPicture(const QString& application, const QString& typeName, MGraphDoc* doc,
                                  const QString& pictureName, int mode)
{
    return database()->ImportPictureDoc(application, typeName, doc, mode, pictureName);
}

MWidgetManager::ImportResult MWidgetManager::LastImportResult() const
{
    const MPictureImporter::Result last = MPictureImporter::LastResult();
    return {last.ok, last.picture, last.version, last.errors, last.warnings};
}
