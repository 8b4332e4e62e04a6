#pragma once

#include <QLabel>
#include <QPointer>

class QScreen;
class QTimer;

// The palette's tool-tip window, made like the toolkit's own tips: frameless,
// in the tool-tip colours, closed by any press, wheel, focus or activation
// change, 300 ms after the mouse leaves, and after about 10 s in any case.
// Only the newest tip stays up: showing one closes the one before.
class MIconTip : public QLabel
{
    Q_OBJECT

public:
    explicit MIconTip(QScreen* screen);
    ~MIconTip() override;

    // The tip shown last, or null once it is gone.
    static MIconTip* Current();
    // How long a tip with that label text stays up at most.
    static int ExpiryMs(const QString& text);

    // A non-empty rect (in widget's coordinates) is where the mouse may rest
    // without closing the tip.
    void setTipRect(QWidget* widget, const QRect& rect);
    bool IsClosing() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void HideSoon();
    void CloseNow();
    void MouseMoved(QObject* watched, const QPoint& globalPos);

    static QPointer<MIconTip> s_current;
    QPointer<QWidget> m_widget; // not owned: the owner of the tip rect
    QRect m_rect;
    QTimer* m_hideTimer;   // owned by the tip: the 300 ms after leaving
    QTimer* m_expireTimer; // owned by the tip: the longest stay
};
