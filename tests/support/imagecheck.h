#pragma once

#include <QImage>
#include <QString>

namespace TestSupport {

// Compares a rendering with a stored control image, the way renderer tests do:
// two pixels are alike when no channel (red, green, blue, alpha) differs by more
// than the tolerance, and the images are alike when at most a limited number of
// pixels differ. On a mismatch the actual image (NAME.png) and a difference image
// (NAME-diff.png: the control dimmed, the differing pixels in red) are written to
// the output folder, which the reason names.
//
// With TALMER_UPDATE_CONTROL_IMAGES=1 in the environment, Compare() writes the
// actual image as the control image instead and passes (saying so on the log).
//
//   TestSupport::ImageCheck::FixRendering();  // once, before building widgets
//   QString why;
//   QVERIFY2(TestSupport::ImageCheck::Compare(widget.grab().toImage(), "preview", &why), qPrintable(why));
class ImageCheck
{
public:
    struct Limits
    {
        int channelTolerance = 0; // 0..255, per channel
        int differingPixels = 0;  // how many pixels may be beyond the tolerance
    };

    // The project's control images (tests/data/images) and the build tree's
    // output folder for failures.
    ImageCheck();
    ImageCheck(const QString& controlDir, const QString& outputDir);

    // True when actual matches controlDir/NAME.png within limits; otherwise false
    // with the reason in *reason (size, count of differing pixels, where the
    // actual and difference images went, or how to create a missing control).
    // reason must not be null.
    bool compare(const QImage& actual, const QString& name, const Limits& limits, QString* reason) const;
    static bool Compare(const QImage& actual, const QString& name, QString* reason, const Limits& limits);
    // Exact comparison: no tolerance, no differing pixel.
    static bool Compare(const QImage& actual, const QString& name, QString* reason);

    // The pixels of a and b (same size) that differ by more than tolerance in a channel.
    static int CountDiffering(const QImage& a, const QImage& b, int tolerance);
    // control dimmed to grey with the pixels that differ from actual beyond tolerance in red.
    static QImage DifferenceImage(const QImage& control, const QImage& actual, int tolerance);

    // Makes widget renderings the same on every machine: the CJK font the install
    // script adds as the application font at a fixed pixel size, the Fusion style
    // and its own palette. False, with the reason, when the font is missing or the
    // device pixel ratio is not 1.
    static bool FixRendering(QString* reason);
    // The application font FixRendering() sets, in pixels.
    static int FontPixelSize() { return 12; }

    // Whether Compare() writes control images instead of comparing.
    static bool UpdatingControls();

    QString controlDir() const { return m_controlDir; }
    QString outputDir() const { return m_outputDir; }

private:
    bool writeControl(const QImage& actual, const QString& file, QString* reason) const;
    QString writeFailure(const QImage& actual, const QImage& diff, const QString& name) const;

    QString m_controlDir;
    QString m_outputDir;
};

} // namespace TestSupport
