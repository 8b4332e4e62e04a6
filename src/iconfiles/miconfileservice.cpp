#include "miconfileservice.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <memory>

#include "graphimage.h"
#include "mdeploypaths.h"
#include "mdrawobj.h"
#include "miconobj.h"
#include "micontemplate.h"

MIconFileService* MIconFileService::m_pInstance = nullptr;

namespace {

// The pixel the pictures start from: fully transparent.
constexpr uint kTransparentFill = 19;
// The largest cell of one pattern, and the widest row of all patterns: icons
// declared larger are drawn scaled down.
constexpr double kMaxCellSide = 512;
constexpr double kMaxPatternsWidth = 4096;

// Shapes an icon object on the rectangle (0, 0) - (w, h): line-shaped icons by
// size and position, the others by their points.
void shape(MDrawObj* obj, double w, double h)
{
    const QPolygonF area{QPointF(0, 0), QPointF(int(w), int(h))};
    if (obj->IsLineType()) {
        const QRectF r = area.boundingRect();
        obj->SetSize(r.width(), r.height(), false);
        obj->SetPosition(r.width() * 0.5, r.height() * 0.5, false);
    } else {
        obj->SetPoints(area);
    }
}

} // namespace

MIconFileService* MIconFileService::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MIconFileService;
    return m_pInstance;
}

QString MIconFileService::IconFilePath(const QString& typeName, const QString& iconName)
{
    if (iconName.isEmpty() && typeName.contains(".xco"))
        return typeName;
    return MDeployPaths::IconFile(typeName, iconName);
}

void MIconFileService::ReadIconFileInfo(const QString& path, QString& name, QString& uuid) const
{
    auto iconTemplate = std::make_unique<MIconTemplate>();
    iconTemplate->ReadXmlFile(path);
    name = iconTemplate->GetName();
    uuid = iconTemplate->GetUuid().isNull() ? QString() : iconTemplate->GetUuid().toString();
}

QPixmap MIconFileService::IconPixmap(const QString& typeName, const QString& iconName) const
{
    MIconTemplate iconTemplate;
    iconTemplate.ReadXmlFile(IconFilePath(typeName, iconName));
    const double w = iconTemplate.GetDefaultSize().width();
    const double h = iconTemplate.GetDefaultSize().height();
    const double scale = GraphImage::FitScale(QSizeF(w, h), QSizeF(kMaxCellSide, kMaxCellSide));
    // A long thin icon scaled down keeps a line of pixels.
    const int height = scale < 1 ? std::max(1, int(h * scale)) : int(h);
    QImage image(int(w * scale + 1.0), height, QImage::Format_ARGB32);
    if (image.isNull())
        return QPixmap();
    image.fill(kTransparentFill);
    QPainter painter(&image);
    std::unique_ptr<MIconObj> obj(iconTemplate.NewObj(""));
    shape(obj.get(), w, h);
    painter.scale(scale, scale);
    painter.translate(w * 0.5, h * 0.5);
    obj->Draw(&painter);
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap MIconFileService::IconPatternsPixmap(const QString& typeName, const QString& iconName) const
{
    MIconTemplate iconTemplate;
    iconTemplate.ReadXmlFile(IconFilePath(typeName, iconName));
    const double w = iconTemplate.GetDefaultSize().width();
    const double h = iconTemplate.GetDefaultSize().height();
    std::unique_ptr<MIconObj> obj(iconTemplate.NewObj(""));
    MIconSymbol* symbol = obj->Symbol();
    const int n = symbol->PatternNum();
    const double cell = GraphImage::FitScale(QSizeF(w, h), QSizeF(kMaxCellSide, kMaxCellSide));
    const double row = GraphImage::FitScale(QSizeF(std::max(n, 1) * w, h), QSizeF(kMaxPatternsWidth, kMaxCellSide));
    const double scale = std::min(cell, row);
    QImage image(int(n * w * scale + 5.0), int(h * scale + 5.0), QImage::Format_ARGB32);
    if (image.isNull())
        return QPixmap();
    image.fill(kTransparentFill);
    QPainter painter(&image);
    painter.scale(scale, scale);
    for (int i = 0; i < n; ++i) {
        symbol->SetCurrentPatternPtr(symbol->PatternAt(i));
        shape(obj.get(), w, h);
        painter.save();
        painter.translate(i * w + w * 0.5, h * 0.5);
        obj->Draw(&painter);
        painter.restore();
    }
    painter.end();
    return QPixmap::fromImage(image);
}

QString MIconFileService::ElementIconName(int catId)
{
    switch (catId) {
    case 1: return "ele_pe_switch";
    case 2: return "ele_pe_breaker";
    case 3: return "ele_pe_two_trans";
    case 4: return "ele_pe_three_trans";
    case 5: return "ele_pe_bus";
    case 6: return "ele_pe_line";
    case 7: return "ele_pe_load";
    case 8: return "ele_pe_gen";
    case 10: return "ele_pe_capacitor";
    case 11: return "ele_pe_series_cap";
    case 12: return "ele_pe_station";
    case 13: return "ele_pe_ground";
    case 15: return "ele_pe_linkline";
    case 29: return "ele_unit_protect";
    default:
        return catId >= 0 && catId <= 66 ? QString("ele_pe_conducting") : QString();
    }
}

QIcon MIconFileService::ElementIcon(int catId) const
{
    const QString name = ElementIconName(catId);
    return name.isEmpty() ? QIcon() : QIcon(":/icon/" + name + ".png");
}
