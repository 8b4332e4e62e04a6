#include "iconlookspanel.h"

#include <QPainter>

#include "mdisplaypattern.h"
#include "micontemplate.h"

namespace {

constexpr int kCell = 72;      // a look's square
constexpr int kGap = 10;       // between looks and around them
constexpr int kTitle = 22;     // the line naming the icon
constexpr int kLabel = 18;     // a look's name below it
const QColor kGround(16, 16, 24);

} // namespace

IconLooksPanel::IconLooksPanel(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(kTitle + kCell + kLabel + 2 * kGap);
}

IconLooksPanel::~IconLooksPanel() = default;

bool IconLooksPanel::ShowIcon(const QString& type, const QString& name, const QString& uuid, const QString& path,
                              QString& error)
{
    auto icon = std::make_unique<MIconTemplate>();
    const bool read = !path.isEmpty() && icon->ReadXmlFile(path);
    m_icon = read ? std::move(icon) : nullptr;
    m_type = read ? type : QString();
    m_uuid = read ? uuid : QString();
    m_name = read ? name : QString();
    if (!read)
        error = tr("the icon file %1 cannot be read").arg(path.isEmpty() ? uuid : path);
    updateGeometry();
    update();
    return read;
}

void IconLooksPanel::CloseIcon(const QString& type, const QString& uuid)
{
    if (!IsShowing(type, uuid))
        return;
    m_icon.reset();
    m_type.clear();
    m_uuid.clear();
    m_name.clear();
    update();
}

void IconLooksPanel::RenameIcon(const QString& type, const QString& uuid, const QString& name)
{
    if (!IsShowing(type, uuid))
        return;
    m_name = name;
    update();
}

bool IconLooksPanel::IsShowing(const QString& type, const QString& uuid) const
{
    return m_icon && type == m_type && uuid == m_uuid;
}

QString IconLooksPanel::Title() const
{
    return m_icon ? tr("%1 / %2").arg(m_type, m_name) : tr("Pick an icon in the icon library.");
}

QStringList IconLooksPanel::LookNames() const
{
    QStringList names;
    for (int i = 0; m_icon && i < m_icon->PatternNum(); ++i)
        names << m_icon->PatternAt(i)->GetName();
    return names;
}

int IconLooksPanel::columns() const
{
    return qMax(1, (width() - kGap) / (kCell + kGap));
}

QRect IconLooksPanel::LookRect(int i) const
{
    const int row = i / columns(), column = i % columns();
    return QRect(kGap + column * (kCell + kGap), kTitle + kGap + row * (kCell + kLabel + kGap), kCell, kCell);
}

QSize IconLooksPanel::sizeHint() const
{
    const int looks = m_icon ? qMax(1, m_icon->PatternNum()) : 1;
    return QSize(kGap + qMin(looks, 3) * (kCell + kGap), LookRect(looks - 1).bottom() + kLabel + kGap);
}

void IconLooksPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(kGap, 0, width() - 2 * kGap, kTitle), Qt::AlignVCenter | Qt::AlignLeft, Title());
    if (!m_icon)
        return;
    const QSizeF size = m_icon->GetDefaultSize();
    for (int i = 0; i < m_icon->PatternNum(); ++i) {
        const QRect cell = LookRect(i);
        painter.fillRect(cell, kGround);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(cell.left() - kGap / 2, cell.bottom() + 1, cell.width() + kGap, kLabel),
                         Qt::AlignCenter, m_icon->PatternAt(i)->GetName());
        if (size.isEmpty())
            continue;
        // The icon keeps its proportions, centred, with a margin of a tenth.
        const qreal scale = 0.8 * qMin(cell.width() / size.width(), cell.height() / size.height());
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(cell);
        painter.translate(cell.center() - QPointF(size.width() * scale, size.height() * scale) / 2);
        painter.scale(scale, scale);
        m_icon->PatternAt(i)->DrawShapes(&painter);
        painter.restore();
    }
}
