#include <QtTest>

#include "graphcanvas.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "testmain.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_GraphCanvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Guards against a saved draft missing one of its forms, or not reading back with the change.
    void saveWritesEveryFormAndReadsBack()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath("pic/A/P/0.xrg");
        GraphCanvas canvas;
        canvas.New("P", "station", 2, "S");
        const int before = int(canvas.Doc()->GetGraph()->GetObjList().size());
        QVERIFY(canvas.AddLabel("changed"));
        QVERIFY(canvas.IsDirty());
        QString error;
        QVERIFY2(canvas.Save(text, error), qPrintable(error));
        QVERIFY(!canvas.IsDirty());
        for (const char* extension : {"xrg", "brg", "fg"})
            QVERIFY2(!readAll(dir.filePath(QString("pic/A/P/0.%1").arg(extension))).isEmpty(), extension);
        GraphCanvas reread;
        QVERIFY(reread.Open(dir.filePath("pic/A/P/0.brg"), text));
        QCOMPARE(int(reread.Doc()->GetGraph()->GetObjList().size()), before + 1);
    }

    // Guards against a save that fails halfway leaving the draft's files mixed or half written.
    void failedSaveLeavesTheOldFiles()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("pic/A/P");
        QVERIFY(QDir().mkpath(folder + "/0.fg")); // a folder where the last file goes: its copy fails
        QFile old(folder + "/0.xrg");
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old drawing") > 0);
        old.close();
        GraphCanvas canvas;
        canvas.New("P", "station", 2, "S");
        QVERIFY(canvas.AddLabel("changed"));
        QString error;
        QVERIFY(!canvas.Save(folder + "/0.xrg", error));
        QVERIFY(!error.isEmpty());
        QVERIFY(canvas.IsDirty());
        QCOMPARE(readAll(folder + "/0.xrg"), QByteArray("old drawing"));
        QVERIFY(!QFileInfo::exists(folder + "/0.brg"));
    }
};

TALMER_TEST_MAIN(tst_GraphCanvas)
#include "tst_graphcanvas.moc"
