// Images rendered from files (samplegen --render): a file may declare any size,
// the image stays bounded and is written whole.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "graphimage.h"
#include "mdisplaypattern.h"
#include "mgraphdoc.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "testmain.h"

namespace {

bool writeIcon(const QString& path, const QSizeF& size, int patterns)
{
    MIconTemplate t(QUuid::createUuid(), nullptr);
    t.SetName("huge");
    t.SetDefaultSize(size);
    for (int i = 0; i < patterns; ++i) {
        auto* pattern = new MDisplayPattern(QString::number(i));
        auto* shape = new MShapeObj(MDrawObj::ObjRect);
        shape->SetPoints({QPointF(0, 0), QPointF(size.width(), size.height())});
        pattern->AddShape(shape);
        t.AddPattern(pattern);
    }
    return t.WriteXmlFile(path);
}

} // namespace

class tst_Render : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void fitScale_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QSizeF>("bound");
        QTest::addColumn<double>("scale");
        QTest::newRow("fits") << QSizeF(100, 50) << QSizeF(200, 200) << 1.0;
        QTest::newRow("exactly the bound") << QSizeF(200, 200) << QSizeF(200, 200) << 1.0;
        QTest::newRow("too wide") << QSizeF(400, 50) << QSizeF(200, 200) << 0.5;
        QTest::newRow("too tall") << QSizeF(50, 800) << QSizeF(200, 200) << 0.25;
        QTest::newRow("both, the tighter wins") << QSizeF(400, 800) << QSizeF(200, 200) << 0.25;
        QTest::newRow("empty") << QSizeF(0, 0) << QSizeF(200, 200) << 1.0;
        QTest::newRow("infinite") << QSizeF(qInf(), 10) << QSizeF(200, 200) << 0.0;
        QTest::newRow("not a number") << QSizeF(qQNaN(), 10) << QSizeF(200, 200) << 0.0;
    }
    void fitScale()
    {
        // Guards against a scale that lets a declared size through unbounded, or shrinks what fits.
        QFETCH(QSizeF, size);
        QFETCH(QSizeF, bound);
        QFETCH(double, scale);
        QCOMPARE(GraphImage::FitScale(size, bound), scale);
    }

    void renderIsBounded_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("patterns");
        QTest::addColumn<QSize>("image");
        QTest::newRow("icon of 64 huge patterns") << "huge.xco" << QSizeF(10000, 10000) << 64 << QSize(2058, 42);
        QTest::newRow("one huge icon") << "one.xco" << QSizeF(10000, 5000) << 1 << QSize(2058, 1034);
        QTest::newRow("a normal icon keeps its size") << "small.xco" << QSizeF(20, 30) << 2 << QSize(170, 130);
        QTest::newRow("the largest drawing") << "huge.xrg" << QSizeF(100000, 50000) << 0 << QSize(2048, 1024);
        QTest::newRow("a normal drawing keeps its size") << "small.xrg" << QSizeF(1600, 900) << 0 << QSize(1600, 900);
    }
    void renderIsBounded()
    {
        // Guards against a small file making the renderer allocate gigabytes for its image.
        QFETCH(QString, file);
        QFETCH(QSizeF, size);
        QFETCH(int, patterns);
        QFETCH(QSize, image);
        const QString source = m_dir.filePath(file);
        if (file.endsWith(".xco")) {
            QVERIFY(writeIcon(source, size, patterns));
        } else {
            MGraphDoc doc;
            doc.SetSize(size);
            QVERIFY(doc.WriteXmlFile(source));
        }
        const QString png = m_dir.filePath(file + ".png");
        QProcess samplegen;
        samplegen.start(qEnvironmentVariable("SAMPLEGEN"), {"--render", source, png});
        QVERIFY(samplegen.waitForFinished(60000));
        QVERIFY2(samplegen.exitCode() == 0, samplegen.readAllStandardError().constData());
        QCOMPARE(QImage(png).size(), image);
    }
};

TALMER_TEST_MAIN(tst_Render)
#include "tst_render.moc"
