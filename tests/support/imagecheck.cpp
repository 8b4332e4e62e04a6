#include "imagecheck.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QStyle>
#include <QStyleFactory>
#include <QtDebug>

#include <cstdlib>

namespace TestSupport {

namespace {

const char kUpdateVariable[] = "TALMER_UPDATE_CONTROL_IMAGES";
const char kFontFile[] = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
const char kFontFamily[] = "WenQuanYi Micro Hei";

// One format for both sides, so that a PNG read back compares equal to the grab it came from.
QImage normalised(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool channelsDiffer(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) > tolerance || std::abs(qGreen(a) - qGreen(b)) > tolerance
        || std::abs(qBlue(a) - qBlue(b)) > tolerance || std::abs(qAlpha(a) - qAlpha(b)) > tolerance;
}

QString sizeText(const QSize& size)
{
    return QString("%1 x %2").arg(size.width()).arg(size.height());
}

} // namespace

ImageCheck::ImageCheck()
    : ImageCheck(QString::fromUtf8(TALMER_CONTROL_IMAGE_DIR), QString::fromUtf8(TALMER_IMAGE_OUTPUT_DIR))
{
}

ImageCheck::ImageCheck(const QString& controlDir, const QString& outputDir)
    : m_controlDir(controlDir), m_outputDir(outputDir)
{
}

bool ImageCheck::Compare(const QImage& actual, const QString& name, QString* reason, const Limits& limits)
{
    return ImageCheck().compare(actual, name, limits, reason);
}

bool ImageCheck::Compare(const QImage& actual, const QString& name, QString* reason)
{
    return Compare(actual, name, reason, Limits());
}

bool ImageCheck::UpdatingControls()
{
    return qEnvironmentVariable(kUpdateVariable) == QLatin1String("1");
}

bool ImageCheck::compare(const QImage& actual, const QString& name, const Limits& limits, QString* reason) const
{
    const QString controlFile = m_controlDir + "/" + name + ".png";
    if (actual.isNull()) {
        *reason = name + ": nothing was rendered";
        return false;
    }
    if (!qFuzzyCompare(actual.devicePixelRatio(), 1.0)) {
        *reason = QString("%1: rendered at device pixel ratio %2; control images are made at 1")
                      .arg(name).arg(actual.devicePixelRatio());
        return false;
    }
    if (UpdatingControls())
        return writeControl(actual, controlFile, reason);
    if (!QFileInfo::exists(controlFile)) {
        *reason = QString("%1: no control image %2; run the test once with %3=1 to write it, look at it and "
                          "commit it (actual image: %4)")
                      .arg(name, controlFile, kUpdateVariable, writeFailure(actual, QImage(), name));
        return false;
    }
    const QImage control = normalised(QImage(controlFile));
    const QImage rendered = normalised(actual);
    if (control.isNull()) {
        *reason = QString("%1: cannot read the control image %2").arg(name, controlFile);
        return false;
    }
    if (control.size() != rendered.size()) {
        *reason = QString("%1: size %2 differs from the control's %3 (actual image: %4)")
                      .arg(name, sizeText(rendered.size()), sizeText(control.size()),
                           writeFailure(rendered, QImage(), name));
        return false;
    }
    const int differing = CountDiffering(control, rendered, limits.channelTolerance);
    if (differing <= limits.differingPixels)
        return true;
    const QString written = writeFailure(rendered, DifferenceImage(control, rendered, limits.channelTolerance), name);
    *reason = QString("%1: %2 pixels differ by more than %3 per channel, more than the %4 allowed (%5)")
                  .arg(name).arg(differing).arg(limits.channelTolerance).arg(limits.differingPixels).arg(written);
    return false;
}

int ImageCheck::CountDiffering(const QImage& a, const QImage& b, int tolerance)
{
    const QImage left = normalised(a);
    const QImage right = normalised(b);
    int count = 0;
    for (int y = 0; y < left.height(); ++y) {
        const auto* l = reinterpret_cast<const QRgb*>(left.constScanLine(y));
        const auto* r = reinterpret_cast<const QRgb*>(right.constScanLine(y));
        for (int x = 0; x < left.width(); ++x)
            count += channelsDiffer(l[x], r[x], tolerance) ? 1 : 0;
    }
    return count;
}

QImage ImageCheck::DifferenceImage(const QImage& control, const QImage& actual, int tolerance)
{
    const QImage left = normalised(control);
    const QImage right = normalised(actual);
    QImage diff(left.size(), QImage::Format_RGB32);
    for (int y = 0; y < left.height(); ++y) {
        const auto* l = reinterpret_cast<const QRgb*>(left.constScanLine(y));
        const auto* r = reinterpret_cast<const QRgb*>(right.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(diff.scanLine(y));
        for (int x = 0; x < left.width(); ++x) {
            const int faint = 160 + qGray(l[x]) * 95 / 255; // the control, pale, for orientation
            out[x] = channelsDiffer(l[x], r[x], tolerance) ? qRgb(255, 0, 0) : qRgb(faint, faint, faint);
        }
    }
    return diff;
}

bool ImageCheck::writeControl(const QImage& actual, const QString& file, QString* reason) const
{
    if (!QDir().mkpath(m_controlDir) || !actual.save(file, "PNG")) {
        *reason = "cannot write the control image " + file;
        return false;
    }
    qInfo().noquote() << "control image written:" << file;
    return true;
}

// Writes the actual image (and the difference image, when there is one) and says where.
QString ImageCheck::writeFailure(const QImage& actual, const QImage& diff, const QString& name) const
{
    const QString actualFile = m_outputDir + "/" + name + ".png";
    const QString diffFile = m_outputDir + "/" + name + "-diff.png";
    QFile::remove(diffFile); // a stale one from an earlier run would mislead
    if (!QDir().mkpath(m_outputDir) || !actual.save(actualFile, "PNG"))
        return "could not write the actual image to " + m_outputDir;
    if (diff.isNull())
        return "written to " + actualFile;
    if (!diff.save(diffFile, "PNG"))
        return "written to " + actualFile + "; could not write " + diffFile;
    return QString("actual and difference images in %1: %2, %3")
        .arg(m_outputDir, QFileInfo(actualFile).fileName(), QFileInfo(diffFile).fileName());
}

bool ImageCheck::FixRendering(QString* reason)
{
    if (!qFuzzyCompare(qApp->devicePixelRatio(), 1.0)) {
        *reason = QString("device pixel ratio is %1, not 1 (is QT_SCALE_FACTOR set?)").arg(qApp->devicePixelRatio());
        return false;
    }
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFile));
    if (id < 0 || !QFontDatabase::applicationFontFamilies(id).contains(kFontFamily)) {
        *reason = QString("the font %1 is missing (%2; Debian package fonts-wqy-microhei)").arg(kFontFamily, kFontFile);
        return false;
    }
    QFont font(kFontFamily);
    font.setPixelSize(FontPixelSize());
    font.setHintingPreference(QFont::PreferNoHinting); // hinting varies with the FreeType build
    QApplication::setFont(font);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::setCursorFlashTime(0); // a caret that blinks would show or not by chance
    return true;
}

} // namespace TestSupport
