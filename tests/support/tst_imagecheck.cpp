#include <QFontInfo>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "imagecheck.h"
#include "testmain.h"

using TestSupport::ImageCheck;

namespace {

// A control-like picture with some structure: a gradient, a frame and text-free shapes.
QImage picture()
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, 128));
    }
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawRect(2, 2, 59, 43);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPoint(32, 24), 10, 8);
    return image;
}

QImage shifted(QImage image, const QList<QPoint>& pixels, int delta)
{
    for (const QPoint& p : pixels) {
        const QRgb c = image.pixel(p);
        image.setPixel(p, qRgb(qBound(0, qRed(c) + delta, 255), qBound(0, qGreen(c) - delta, 255), qBlue(c)));
    }
    return image;
}

QImage withRectangle(QImage image, const QRect& rect, const QColor& colour)
{
    QPainter painter(&image);
    painter.fillRect(rect, colour);
    return image;
}

// Sets or clears the update switch for one scope.
class UpdateSwitch
{
public:
    explicit UpdateSwitch(bool on)
    {
        if (on)
            qputenv("TALMER_UPDATE_CONTROL_IMAGES", "1");
        else
            qunsetenv("TALMER_UPDATE_CONTROL_IMAGES");
    }
    ~UpdateSwitch() { qunsetenv("TALMER_UPDATE_CONTROL_IMAGES"); }
};

} // namespace

class tst_ImageCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void compare_data();
    void compare();
    void differenceMarksExactlyTheChangedPixels();
    void missingControlTellsHowToMakeIt();
    void updateSwitchWritesControls();
    void readBackPngMatchesTheGrab();
    void fixedRenderingIsRepeatable();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString controls() const { return m_dir->path() + "/controls"; }
    QString output() const { return m_dir->path() + "/output"; }
    ImageCheck checker() const { return ImageCheck(controls(), output()); }
};

void tst_ImageCheck::init()
{
    qunsetenv("TALMER_UPDATE_CONTROL_IMAGES"); // a developer's shell must not turn checks into writes
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(controls()));
    QVERIFY(picture().save(controls() + "/control.png"));
}

void tst_ImageCheck::compare_data()
{
    QTest::addColumn<QImage>("actual");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<int>("allowed");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<QString>("reasonHas");
    const QImage control = picture();
    const QList<QPoint> three{{5, 5}, {30, 20}, {60, 40}};
    QTest::newRow("identical") << control << 0 << 0 << true << QString();
    QTest::newRow("three pixels off by 3, tolerance 4") << shifted(control, three, 3) << 4 << 0 << true << QString();
    QTest::newRow("three pixels off by 5, tolerance 4") << shifted(control, three, 5) << 4 << 0 << false
                                                        << QString("3 pixels differ by more than 4");
    QTest::newRow("three pixels off by 60, three allowed") << shifted(control, three, 60) << 0 << 3 << true
                                                            << QString();
    QTest::newRow("a drawn square, five allowed")
        << withRectangle(control, QRect(10, 10, 10, 10), Qt::red) << 8 << 5 << false
        << QString("100 pixels differ by more than 8 per channel, more than the 5 allowed");
    QImage transparent = control.convertToFormat(QImage::Format_ARGB32);
    transparent.setPixel(1, 1, qRgba(qRed(control.pixel(1, 1)), qGreen(control.pixel(1, 1)), 128, 0));
    QTest::newRow("only the alpha changed") << transparent << 10 << 0 << false << QString("1 pixels differ");
    QTest::newRow("one row shorter") << control.copy(0, 0, 64, 47) << 255 << 100000 << false
                                     << QString("size 64 x 47 differs from the control's 64 x 48");
    QTest::newRow("nothing rendered") << QImage() << 255 << 100000 << false << QString("nothing was rendered");
    QImage hiDpi = control;
    hiDpi.setDevicePixelRatio(2);
    QTest::newRow("device pixel ratio 2") << hiDpi << 255 << 100000 << false << QString("device pixel ratio 2");
}

void tst_ImageCheck::compare()
{
    // Guards against a checker that passes real changes, or fails on noise it was told to allow.
    QFETCH(QImage, actual);
    QFETCH(int, tolerance);
    QFETCH(int, allowed);
    QFETCH(bool, passes);
    QFETCH(QString, reasonHas);
    QString reason;
    QCOMPARE(checker().compare(actual, "control", {tolerance, allowed}, &reason), passes);
    QVERIFY2(reason.contains(reasonHas), qPrintable(reason));
    // A passing check leaves nothing behind; a failing one (with an image) leaves what it saw.
    QCOMPARE(QFileInfo::exists(output() + "/control.png"), !passes && !actual.isNull() && reasonHas != "device pixel ratio 2");
    if (!passes && QFileInfo::exists(output() + "/control.png"))
        QVERIFY2(reason.contains(output()), qPrintable(reason));
}

void tst_ImageCheck::differenceMarksExactlyTheChangedPixels()
{
    // Guards against a difference image that hides the change or marks unchanged pixels.
    const QRect square(10, 10, 10, 10);
    const QImage changed = withRectangle(picture(), square, Qt::green);
    QString reason;
    QVERIFY(!checker().compare(changed, "control", {2, 0}, &reason));
    QVERIFY2(reason.contains("control-diff.png"), qPrintable(reason));
    const QImage diff(output() + "/control-diff.png");
    QCOMPARE(diff.size(), picture().size());
    int red = 0;
    for (int y = 0; y < diff.height(); ++y) {
        for (int x = 0; x < diff.width(); ++x) {
            const QRgb pixel = diff.pixel(x, y);
            const bool marked = pixel == qRgb(255, 0, 0);
            red += marked ? 1 : 0;
            QVERIFY2(marked == square.contains(x, y), qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
            if (!marked) // the rest is a pale grey copy of the control
                QVERIFY(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) && qRed(pixel) >= 160);
        }
    }
    QCOMPARE(red, 100);
    QCOMPARE(QImage(output() + "/control.png").convertToFormat(QImage::Format_RGB32), changed);
}

void tst_ImageCheck::missingControlTellsHowToMakeIt()
{
    // Guards against a missing control image passing, or being made behind the developer's back.
    QString reason;
    QVERIFY(!checker().compare(picture(), "unknown", {}, &reason));
    QVERIFY2(reason.contains("TALMER_UPDATE_CONTROL_IMAGES=1"), qPrintable(reason));
    QVERIFY2(reason.contains(controls() + "/unknown.png"), qPrintable(reason));
    QVERIFY(!QFileInfo::exists(controls() + "/unknown.png"));
    QVERIFY(QFileInfo::exists(output() + "/unknown.png"));
}

void tst_ImageCheck::updateSwitchWritesControls()
{
    // Guards against the update switch comparing anyway, or any value but 1 turning it on.
    const QImage changed = withRectangle(picture(), QRect(0, 0, 20, 20), Qt::blue);
    QString reason;
    {
        UpdateSwitch on(true);
        QVERIFY(ImageCheck::UpdatingControls());
        QVERIFY2(checker().compare(changed, "control", {}, &reason), qPrintable(reason));
        QVERIFY2(checker().compare(picture(), "fresh", {}, &reason), qPrintable(reason));
    }
    QVERIFY(!ImageCheck::UpdatingControls());
    QVERIFY2(checker().compare(changed, "control", {}, &reason), qPrintable(reason));
    QVERIFY2(checker().compare(picture(), "fresh", {}, &reason), qPrintable(reason));
    QVERIFY(!checker().compare(picture(), "control", {}, &reason));
    qputenv("TALMER_UPDATE_CONTROL_IMAGES", "0");
    QVERIFY(!ImageCheck::UpdatingControls());
    QVERIFY(!checker().compare(picture(), "control", {}, &reason));
    qunsetenv("TALMER_UPDATE_CONTROL_IMAGES");
}

void tst_ImageCheck::readBackPngMatchesTheGrab()
{
    // Guards against format differences (RGB32 grab, ARGB32 file) counted as changed pixels.
    QLabel label("grab");
    label.resize(80, 30);
    const QImage grabbed = label.grab().toImage();
    QVERIFY(grabbed.save(controls() + "/label.png"));
    QString reason;
    QVERIFY2(checker().compare(grabbed, "label", {}, &reason), qPrintable(reason));
    QVERIFY2(checker().compare(grabbed.convertToFormat(QImage::Format_ARGB32_Premultiplied), "label", {}, &reason),
             qPrintable(reason));
}

void tst_ImageCheck::fixedRenderingIsRepeatable()
{
    // Guards against renderings that depend on the machine's fonts or a blinking caret.
    QString reason;
    QVERIFY2(ImageCheck::FixRendering(&reason), qPrintable(reason));
    QLabel label(QString::fromUtf8("北京变电站 Beijing"));
    label.resize(160, 30);
    const QFontInfo font(label.font());
    QCOMPARE(font.family(), QString("WenQuanYi Micro Hei"));
    QCOMPARE(font.pixelSize(), ImageCheck::FontPixelSize());
    QCOMPARE(QApplication::cursorFlashTime(), 0);
    const QImage first = label.grab().toImage();
    label.setText(QString::fromUtf8("北京变电站 Beijing")); // repainted from scratch
    QCOMPARE(ImageCheck::CountDiffering(first, label.grab().toImage(), 0), 0);
    // Real glyphs: missing ones would all be the same empty box.
    QLabel north(QString::fromUtf8("北京")), south(QString::fromUtf8("变电"));
    north.resize(60, 30);
    south.resize(60, 30);
    QVERIFY(ImageCheck::CountDiffering(north.grab().toImage(), south.grab().toImage(), 0) > 20);
}

TALMER_TEST_MAIN(tst_ImageCheck)
#include "tst_imagecheck.moc"
