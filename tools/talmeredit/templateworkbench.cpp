#include "templateworkbench.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "deployfiles.h"
#include "graphcanvas.h"
#include "mabstracttemplateview.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "mmitr.h"

TemplateWorkbench::TemplateWorkbench(MAbstractTemplateView* view, GraphCanvas* canvas, QWidget* window)
    : QObject(window), m_view(view), m_canvas(canvas), m_window(window), m_save(new QAction(tr("Save template"), window))
{
    m_save->setObjectName("saveTemplateAction");
    connect(m_save, &QAction::triggered, this, &TemplateWorkbench::SaveTemplate);
    connect(view, &MAbstractTemplateView::EditTemplate, this, &TemplateWorkbench::EditTemplate);
}

bool TemplateWorkbench::IsTemplateFile(const QString& path)
{
    // By name first: template/{alias}/{name}.xtp, ".." already taken out.
    const QStringList parts = MDeployPaths::RelativePath(path).split('/');
    if (parts.size() != 3 || parts[0] != "template" || parts[1].isEmpty()
        || QFileInfo(parts[2]).suffix() != "xtp" || QFileInfo(parts[2]).completeBaseName().isEmpty())
        return false;
    // Then where a write really lands: a linked folder may not lead out.
    const QString folder = MDeployPaths::ResolvedTarget(MDeployPaths::Root() + "/template");
    const QString target = MDeployPaths::ResolvedTarget(path);
    return !folder.isEmpty() && target.startsWith(folder + "/");
}

void TemplateWorkbench::fail(const QString& object, const QString& why)
{
    emit Failed({MErrMsg(object, why)});
}

bool TemplateWorkbench::mayLeaveCanvas()
{
    if (!m_canvas->IsDirty())
        return true;
    return QMessageBox::question(m_window, m_window->windowTitle(),
                                 tr("%1 has unsaved changes. Give them up?").arg(m_canvas->Doc()->GetName()))
        == QMessageBox::Yes;
}

bool TemplateWorkbench::EditTemplate(const QString& path)
{
    if (!IsTemplateFile(path)) {
        fail(path, tr("not opened: only templates of the deployment tree's template folder are edited here"));
        return false;
    }
    if (!mayLeaveCanvas())
        return false;
    QString error;
    if (!m_canvas->OpenTemplate(path, error)) {
        fail(path, error);
        return false;
    }
    m_recorded.clear();
    emit TemplateOpened(path);
    const QFileInfo file(path);
    emit Said(tr("template %1 of %2: edit it, then \"Save template\"")
                  .arg(file.completeBaseName(), file.dir().dirName()));
    return true;
}

QString TemplateWorkbench::typeTitle(const QString& alias) const
{
    // The view names each type's page after its folder alias, translated.
    const QString translated = mmi_tr(alias, QString());
    const QString title = translated.isEmpty() ? alias : translated;
    return m_view->TemplateTypeNames().contains(title) ? title : QString();
}

bool TemplateWorkbench::SaveTemplate()
{
    const QString path = m_canvas->TemplatePath();
    if (path.isEmpty()) {
        emit Said(tr("Open a template first."));
        return false;
    }
    const QFileInfo file(path);
    const QString name = file.completeBaseName();
    QString error;
    if (!m_canvas->SaveTemplate(error)) {
        fail(name, tr("not saved: %1").arg(error));
        return false;
    }
    if (!DeployFiles::Upload(path, error)) {
        m_canvas->MarkUnsaved(); // leaving it still asks
        fail(name, tr("saved on this workstation only, not recorded: %1").arg(error));
        return false;
    }
    if (m_recorded != path) {
        const QString type = typeTitle(file.dir().dirName());
        if (type.isEmpty() || m_view->RegisterTemplate(name, type) < 0) {
            fail(name, tr("saved and uploaded, but not recorded: no template type has folder %1, or the "
                              "library refuses the name")
                               .arg(file.dir().dirName()));
            return false;
        }
        m_recorded = path;
    }
    emit Said(tr("template %1 saved and uploaded").arg(name));
    return true;
}
