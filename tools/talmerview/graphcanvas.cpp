#include "graphcanvas.h"

#include <QFileInfo>
#include <QPainter>

#include "mgraphdoc.h"

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
    update();
    return read;
}

void GraphCanvas::Close()
{
    m_doc.reset();
    update();
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
