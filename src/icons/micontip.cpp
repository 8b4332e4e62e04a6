#include "micontip.h"

#include <QApplication>
#include <QDebug>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTimer>
#include <QToolTip>


QPointer<MIconTip> MIconTip::s_current;

namespace {
constexpr int kHideDelayMs = 300;
} // namespace

MIconTip::MIconTip(QScreen* screen)
    : QLabel(nullptr, Qt::ToolTip | Qt::BypassGraphicsProxyWidget),
      m_hideTimer(new QTimer(this)),
      m_expireTimer(new QTimer(this))
{
    m_hideTimer->setObjectName("hide");
    m_expireTimer->setObjectName("expiry");
    for (QTimer* timer : {m_hideTimer, m_expireTimer}) {
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &MIconTip::CloseNow);
    }
    setAttribute(Qt::WA_DeleteOnClose);
    if (screen)
        setScreen(screen);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setPalette(QToolTip::palette());
    ensurePolished();
    setMargin(style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setFrameStyle(QFrame::NoFrame);
    setAlignment(Qt::AlignLeft);
    setIndent(1);
    setWindowOpacity(style()->styleHint(QStyle::SH_ToolTipLabel_Opacity, nullptr, this) / 255.0);
    qApp->installEventFilter(this);
    if (s_current)
        s_current->CloseNow(); // one tip at a time
    s_current = this;
}

MIconTip::~MIconTip()
{
    if (s_current == this)
        s_current = nullptr;
}

MIconTip* MIconTip::Current()
{
    return s_current;
}

int MIconTip::ExpiryMs(const QString& text)
{
    return 10000 + 40 * qMax(0, int(text.size()) - 100);
}

void MIconTip::setTipRect(QWidget* widget, const QRect& rect)
{
    if (!rect.isNull() && !widget)
        qWarning("MIconTip::setTipRect: Cannot pass null widget if rect is set");
    m_widget = widget;
    m_rect = rect;
}

void MIconTip::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    m_expireTimer->start(ExpiryMs(text()));
}

void MIconTip::HideSoon()
{
    if (!m_hideTimer->isActive())
        m_hideTimer->start(kHideDelayMs);
}

void MIconTip::CloseNow()
{
    m_hideTimer->stop();
    m_expireTimer->stop();
    qApp->removeEventFilter(this);
    close();
    deleteLater();
}

bool MIconTip::IsClosing() const
{
    return m_hideTimer->isActive();
}

void MIconTip::MouseMoved(QObject* watched, const QPoint& globalPos)
{
    if (m_rect.isNull() || !m_widget)
        return;
    if (watched == m_widget && !m_rect.contains(m_widget->mapFromGlobal(globalPos)))
        HideSoon();
    else if (watched == this && !m_rect.contains(m_widget->mapFromGlobal(globalPos)))
        HideSoon();
}

bool MIconTip::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::Wheel:
        CloseNow();
        break;
    case QEvent::Leave:
        HideSoon();
        break;
    case QEvent::MouseMove:
        MouseMoved(watched, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        break;
    default:
        break;
    }
    return false;
}

void MIconTip::resizeEvent(QResizeEvent* event)
{
    QStyleHintReturnMask mask;
    QStyleOption option;
    option.initFrom(this);
    if (style()->styleHint(QStyle::SH_ToolTip_Mask, &option, this, &mask))
        setMask(mask.region);
    QLabel::resizeEvent(event);
}

void MIconTip::paintEvent(QPaintEvent* event)
{
    QStylePainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_PanelTipLabel, option);
    painter.end();
    QLabel::paintEvent(event);
}
