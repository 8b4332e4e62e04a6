#include "graphcanvas.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include "mgraph.h"
#include "mgraphdoc.h"
#include "mtextobj.h"
#include "safefile.h"
#include "templatedoc.h"

GraphCanvas::GraphCanvas(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setMinimumSize(480, 320);
    setAcceptDrops(true);
}

GraphCanvas::~GraphCanvas() = default;

bool GraphCanvas::Open(const QString& binaryPath, const QString& textPath)
{
    auto doc = std::make_unique<MGraphDoc>();
    const bool read = (QFileInfo::exists(binaryPath) && doc->ReadDataFile(binaryPath))
        || (QFileInfo::exists(textPath) && doc->ReadXmlFile(textPath));
    m_doc = read ? std::move(doc) : nullptr;
    m_dirty = false;
    m_templatePath.clear();
    update();
    return read;
}

void GraphCanvas::New(const QString& name, QString typeName, int typeId, const QString& substation)
{
    m_doc = std::make_unique<MGraphDoc>();
    m_doc->SetName(name);
    m_doc->SetGraphType(typeName, typeId);
    m_doc->SetGraphStation(substation, 0);
    m_dirty = true; // nothing of it is on disk yet
    m_templatePath.clear();
    update();
}

void GraphCanvas::Close()
{
    m_doc.reset();
    m_dirty = false;
    m_templatePath.clear();
    update();
}

bool GraphCanvas::AddLabel(const QString& text)
{
    if (!m_doc)
        return false;
    const QSizeF size = m_doc->GetSize();
    auto* label = new MTextObj;
    label->SetPoints({QPointF(size.width() * 0.4, size.height() * 0.45), QPointF(size.width() * 0.6, size.height() * 0.55)});
    label->SetText(text);
    label->SetFontSize(size.height() / 30);
    label->SetPenColor(Qt::yellow);
    m_doc->GetGraph()->AddObject(label);
    m_dirty = true;
    update();
    return true;
}

bool GraphCanvas::Save(const QString& textPath, QString& error)
{
    if (!m_doc || !m_templatePath.isEmpty()) {
        error = m_doc ? tr("a template is open, not a picture") : tr("no drawing is open");
        return false;
    }
    // The engine writes into a staging folder; the files then replace the
    // picture's own, which are put back when any of them cannot be replaced.
    const QFileInfo text(textPath);
    QTemporaryDir staging;
    const QString stem = staging.filePath("new");
    if (!staging.isValid() || !QDir().mkpath(text.absolutePath())) {
        error = tr("cannot prepare %1").arg(textPath);
        return false;
    }
    if (!m_doc->WriteXmlFile(stem + ".xrg") || !m_doc->WriteDataFile(stem + ".brg")) {
        error = tr("cannot write the drawing of %1").arg(textPath);
        return false;
    }
    m_doc->UpdateDataDefine();
    if (!m_doc->WriteDynamicDataFile(stem + ".fg")) {
        error = tr("cannot write the dynamic data of %1").arg(textPath);
        return false;
    }
    if (!replaceFiles(stem, text.absolutePath() + "/" + text.completeBaseName(), staging.filePath("old"), error))
        return false;
    m_dirty = false;
    return true;
}

bool GraphCanvas::replaceFiles(const QString& stem, const QString& target, const QString& backup, QString& error)
{
    QStringList replaced;
    QStringList created;
    bool ok = true;
    for (const QString extension : {".xrg", ".brg", ".fg"}) {
        const bool existed = QFileInfo::exists(target + extension);
        ok = (!existed || SafeFile::CopyFile(target + extension, backup + extension, &error))
            && SafeFile::CopyFile(stem + extension, target + extension, &error);
        if (!ok)
            break;
        (existed ? replaced : created) << extension;
    }
    if (ok)
        return true;
    for (const QString& extension : replaced)
        SafeFile::CopyFile(backup + extension, target + extension);
    for (const QString& extension : created)
        QFile::remove(target + extension);
    return false;
}

bool GraphCanvas::OpenTemplate(const QString& path, QString& error)
{
    const bool existed = QFileInfo::exists(path);
    QPointF shift;
    std::unique_ptr<MGraphDoc> doc = TemplateDoc::Load(path, shift, error);
    if (!doc)
        return false;
    m_doc = std::move(doc);
    m_templatePath = path;
    m_templateShift = shift;
    m_dirty = !existed; // a new template is not on disk until saved
    update();
    return true;
}

bool GraphCanvas::SaveTemplate(QString& error)
{
    if (!m_doc || m_templatePath.isEmpty()) {
        error = tr("no template is open");
        return false;
    }
    if (!TemplateDoc::Save(*m_doc, m_templateShift, m_templatePath, error))
        return false;
    m_dirty = false;
    return true;
}

QTransform GraphCanvas::ViewTransform() const
{
    const QSizeF size = m_doc ? m_doc->GetSize() : QSizeF();
    if (size.isEmpty())
        return {};
    const qreal scale = qMin(width() / size.width(), height() / size.height());
    QTransform transform;
    transform.translate((width() - size.width() * scale) / 2, (height() - size.height() * scale) / 2);
    transform.scale(scale, scale);
    return transform;
}

void GraphCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_doc || m_doc->GetSize().isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(ViewTransform());
    m_doc->Render(&painter, true);
}

// ---- drops -----------------------------------------------------------------------

CanvasDrop::Result GraphCanvas::DropAt(const QMimeData* data, const QPointF& pos)
{
    const CanvasDrop::Result result =
        CanvasDrop::Drop(m_doc.get(), data, ViewTransform().inverted().map(pos), m_aliasOf);
    if (result.added) {
        m_dirty = true;
        update();
    }
    emit Dropped(result.added, result.message);
    return result;
}

void GraphCanvas::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void GraphCanvas::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_doc && CanvasDrop::Accepts(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void GraphCanvas::dropEvent(QDropEvent* event)
{
    if (DropAt(event->mimeData(), event->position()).added)
        event->acceptProposedAction();
    else
        event->ignore();
}
