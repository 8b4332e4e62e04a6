#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "miconlistonline.h"
#include "micontip.h"
#include "testmain.h"

namespace {

MIconTip* showTip()
{
    auto* tip = new MIconTip(nullptr);
    QPixmap pixmap(125, 35);
    pixmap.fill(Qt::red);
    tip->setPixmap(pixmap);
    tip->resize(pixmap.size());
    tip->show();
    return tip;
}

} // namespace

class tst_IconTip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void placementAtTheScreenEdges_data();
    void placementAtTheScreenEdges();
    void closesOn_data();
    void closesOn();
    void leavingClosesAfterADelay();
    void expiryClosesIt();
    void onlyTheNewestTipStays();
};

void tst_IconTip::cleanup()
{
    if (MIconTip* tip = MIconTip::Current())
        delete tip;
}

void tst_IconTip::placementAtTheScreenEdges_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QPoint>("placed");
    const QSize size(125, 35); // on a screen of 1000 x 800 at (100, 0)
    QTest::newRow("room everywhere: below right") << QPoint(500, 400) << QPoint(502, 421);
    QTest::newRow("right edge: to the left") << QPoint(1050, 400) << QPoint(1050 + 2 - 129, 421);
    QTest::newRow("bottom edge: above") << QPoint(500, 780) << QPoint(502, 780 + 21 - 59);
    QTest::newRow("bottom right corner") << QPoint(1090, 790) << QPoint(1092 - 129, 811 - 59);
    QTest::newRow("left of the screen: kept inside") << QPoint(50, 400) << QPoint(100, 421);
}

void tst_IconTip::placementAtTheScreenEdges()
{
    // Guards against tips placed off the screen or under the cursor near an edge.
    QFETCH(QPoint, cursor);
    QFETCH(QPoint, placed);
    QCOMPARE(MIconListOnline::TipPosition(cursor, QSize(125, 35), QRect(100, 0, 1000, 800)), placed);
}

void tst_IconTip::closesOn_data()
{
    QTest::addColumn<int>("eventType");
    QTest::newRow("press") << int(QEvent::MouseButtonPress);
    QTest::newRow("release") << int(QEvent::MouseButtonRelease);
    QTest::newRow("wheel") << int(QEvent::Wheel);
    QTest::newRow("focus out") << int(QEvent::FocusOut);
    QTest::newRow("deactivation") << int(QEvent::WindowDeactivate);
}

void tst_IconTip::closesOn()
{
    // Guards against a tip that stays up over the drawing after the user went on working.
    QFETCH(int, eventType);
    QWidget elsewhere;
    elsewhere.show();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere)); // its own activation is not the user's
    QPointer<MIconTip> tip = showTip();
    QVERIFY(tip->isVisible());
    QTest::qWait(0);
    QVERIFY(!tip.isNull());
    const auto type = QEvent::Type(eventType);
    if (type == QEvent::Wheel) {
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(&elsewhere, &wheel);
    } else if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
        QMouseEvent mouse(type, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(&elsewhere, &mouse);
    } else {
        QEvent other(type);
        QApplication::sendEvent(&elsewhere, &other);
    }
    QTRY_VERIFY(tip.isNull());
    QVERIFY(!MIconTip::Current());
}

void tst_IconTip::leavingClosesAfterADelay()
{
    // Guards against a tip closing at once on leave (flicker) or never.
    QWidget elsewhere;
    QPointer<MIconTip> tip = showTip();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&elsewhere, &leave);
    QVERIFY(tip && tip->IsClosing());
    QCOMPARE(tip->findChild<QTimer*>("hide")->interval(), 300);
    QTRY_VERIFY(tip.isNull());
}

void tst_IconTip::expiryClosesIt()
{
    // Guards against a tip that stays up for ever when nothing else happens.
    QCOMPARE(MIconTip::ExpiryMs(QString(100, 'x')), 10000);
    QCOMPARE(MIconTip::ExpiryMs(QString(150, 'x')), 12000);
    QPointer<MIconTip> tip = showTip();
    auto* expiry = tip->findChild<QTimer*>("expiry");
    QVERIFY(expiry->isActive());
    QCOMPARE(expiry->interval(), 10000);
    QVERIFY(!tip->IsClosing());
    expiry->start(20); // the same timer, shortened
    QTRY_VERIFY(tip.isNull());
}

void tst_IconTip::onlyTheNewestTipStays()
{
    // Guards against tips stacking up while the old ones wait for their 10 s.
    QPointer<MIconTip> first = showTip();
    QPointer<MIconTip> second = showTip();
    QCOMPARE(MIconTip::Current(), second.data());
    QTRY_VERIFY(first.isNull());
    QVERIFY(!second.isNull());
    QTest::ignoreMessage(QtWarningMsg, "MIconTip::setTipRect: Cannot pass null widget if rect is set");
    second->setTipRect(nullptr, QRect(0, 0, 5, 5));
}

TALMER_TEST_MAIN(tst_IconTip)
#include "tst_icontip.moc"
