#include "graphcanvas.h"

#include <QFileInfo>
#include <QPainter>

#include "mgraph.h"
#include "mgraphdoc.h"
#include "mtextobj.h"
#include "pictureversionfiles.h"

GraphCanvas::GraphCanvas(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setMinimumSize(480, 320);
}

GraphCanvas::~GraphCanvas() = default;

bool GraphCanvas::Open(const QString& binaryPath, const QString& textPath)
{
    auto doc = std::make_unique<MGraphDoc>();
    const bool read = (QFileInfo::exists(binaryPath) && doc->ReadDataFile(binaryPath))
        || (QFileInfo::exists(textPath) && doc->ReadXmlFile(textPath));
    m_doc = read ? std::move(doc) : nullptr;
    m_dirty = false;
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
    update();
}

void GraphCanvas::Close()
{
    m_doc.reset();
    m_dirty = false;
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
    if (!m_doc) {
        error = tr("no drawing is open");
        return false;
    }
    PictureVersionFiles files(textPath);
    if (!files.Prepare(&error) || !files.WriteDrawing(*m_doc, QString(), &error) || !files.WriteForms(*m_doc, &error))
        return false;
    files.Keep();
    m_dirty = false;
    return true;
}

void GraphCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_doc)
        return;
    const QSizeF size = m_doc->GetSize();
    if (size.isEmpty())
        return;
    const qreal scale = qMin(width() / size.width(), height() / size.height());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate((width() - size.width() * scale) / 2, (height() - size.height() * scale) / 2);
    painter.scale(scale, scale);
    m_doc->Render(&painter, true);
}
