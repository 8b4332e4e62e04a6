#include "templatemap.h"

#include <QFileInfo>
#include <QPainter>

#include <cmath>
#include <memory>

#include "mdrawobj.h"
#include "mdrawobjfactory.h"
#include "mhasrelation.h"
#include "templatefiles.h"

TemplateMap::TemplateMap(QWidget* parent)
    : QWidget(parent)
{
}

void TemplateMap::SetTemplate(const QString& typeAlias, const QString& templateName)
{
    m_typeAlias = typeAlias;
    m_templateName = templateName;
    update();
}

void TemplateMap::paintEvent(QPaintEvent*)
{
    RenderTemplate(this, m_typeAlias, m_templateName);
}

QRect TemplateMap::Viewport(const QSize& device, const QRect& window)
{
    if (device.width() <= 0 || device.height() <= 0 || window.width() <= 0 || window.height() <= 0)
        return {};
    // Real ratios: an integer quotient of the device's sides lets a wide
    // template outgrow a device just short of twice as wide as high.
    const double ratio = double(window.width()) / window.height();
    const double deviceRatio = double(device.width()) / device.height();
    if (deviceRatio >= ratio) {
        const int width = qMin(device.width(), int(std::lround(device.height() * ratio)));
        return QRect((device.width() - width) / 2, 0, width, device.height());
    }
    const int height = qMin(device.height(), int(std::lround(device.width() / ratio)));
    return QRect(0, (device.height() - height) / 2, device.width(), height);
}

QRect TemplateMap::RenderTemplate(QPaintDevice* device, const QString& typeAlias, const QString& templateName)
{
    const QString path = TemplateFiles::FilePath(typeAlias, templateName);
    if (!device || path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    std::unique_ptr<MDrawObj> object(MDrawObjFactory::Instance()->CreateObj(MDrawObj::ObjTemplate));
    auto* container = dynamic_cast<MHasRelation*>(object.get());
    if (!container || !container->LoadFile(path) || container->Size() == 0)
        return {};
    QRectF bounds;
    for (int i = 0; i < container->Size(); ++i)
        bounds |= container->At(i)->BoundingRect();
    const QRect window = bounds.adjusted(-1, -1, 1, 1).toAlignedRect();
    const QRect viewport = Viewport(QSize(device->width(), device->height()), window);
    if (viewport.isEmpty())
        return {};
    QPainter painter(device);
    if (!painter.isActive())
        return {};
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setWindow(window);
    painter.setViewport(viewport);
    for (int i = 0; i < container->Size(); ++i) {
        const MDrawObj* member = container->At(i);
        painter.save();
        painter.translate(member->Position());
        member->Draw(&painter);
        painter.restore();
    }
    return viewport;
}
