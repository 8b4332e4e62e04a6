#include <QtTest>

#include "graphcanvas.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "testmain.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A template of a box and one icon, the icon's template carried in the file.
bool writeTemplate(const QString& path, const QUuid& iconUuid)
{
    MHasRelation t(MDrawObj::ObjTemplate);
    auto* box = new MShapeObj(MDrawObj::ObjRect);
    box->SetPoints({QPointF(0, 0), QPointF(200, 100)});
    t.AddMember(box);
    auto* iconTemplate = new MIconTemplate(iconUuid, nullptr);
    iconTemplate->SetName("breaker");
    iconTemplate->SetDefaultSize(QSizeF(20, 30));
    MIconTemplate* kept = t.TemplateStore()->AddIconTemplate(iconTemplate);
    MIconObj* icon = kept->NewObj("Q1");
    icon->SetPosition(50, 50, false);
    t.AddMember(icon);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && t.SaveFile(path);
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

    // Guards against a template losing members, or its icons their templates, on a round trip through the canvas.
    void templateRoundTripKeepsMembersAndIcons()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("template/style/bay.xtp");
        const QUuid uuid = QUuid::createUuid();
        QVERIFY(writeTemplate(path, uuid));
        GraphCanvas canvas;
        QString error;
        QVERIFY2(canvas.OpenTemplate(path, error), qPrintable(error));
        QVERIFY(!canvas.IsDirty());
        QCOMPARE(int(canvas.Doc()->GetGraph()->GetObjList().size()), 2);
        QVERIFY(canvas.AddLabel("added"));
        QVERIFY2(canvas.SaveTemplate(error), qPrintable(error));
        QVERIFY(!canvas.IsDirty());
        MHasRelation reread(MDrawObj::ObjTemplate);
        QVERIFY(reread.LoadFile(path));
        QCOMPARE(reread.Size(), 3);
        QCOMPARE(reread.Templates()->IconTemplateNum(), 1);
        const MDrawObj* icon = reread.At(1);
        QCOMPARE(icon->GetType(), int(MDrawObj::ObjIcon));
        QVERIFY(static_cast<const MIconObj*>(icon)->GetTemplate());
        QCOMPARE(static_cast<const MIconObj*>(icon)->GetTemplate()->GetUuid(), uuid);
    }

    // Guards against members left of or above a template's origin drawn off the canvas, or saved moved.
    void membersBeforeTheOriginAreShownAndKeptInPlace()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xtp");
        const QPolygonF points({QPointF(-20.5, -10), QPointF(30, 40)});
        MHasRelation written(MDrawObj::ObjTemplate);
        auto* box = new MShapeObj(MDrawObj::ObjRect);
        box->SetPoints(points);
        written.AddMember(box);
        QVERIFY(written.SaveFile(path));
        GraphCanvas canvas;
        QString error;
        QVERIFY(canvas.OpenTemplate(path, error));
        const QRectF shown = canvas.Doc()->GetGraph()->GetObjList().first()->BoundingRect();
        QVERIFY(QRectF(QPointF(0, 0), canvas.Doc()->GetSize()).contains(shown));
        QVERIFY(canvas.AddLabel("added"));
        QVERIFY(canvas.SaveTemplate(error));
        MHasRelation reread(MDrawObj::ObjTemplate);
        QVERIFY(reread.LoadFile(path));
        QCOMPARE(reread.At(0)->GetPoints(), points);
    }

    // Guards against a template written over a picture's draft, or the canvas staying in template mode for a picture.
    void templateModeKeepsPicturesApart()
    {
        QTemporaryDir dir;
        const QString templatePath = dir.filePath("template/style/new.xtp");
        GraphCanvas canvas;
        QString error;
        QVERIFY(canvas.OpenTemplate(templatePath, error));
        QVERIFY(canvas.IsDirty()); // a new template is not on disk yet
        QVERIFY(!canvas.Save(dir.filePath("pic/A/P/0.xrg"), error));
        QVERIFY(!QFileInfo::exists(dir.filePath("pic/A/P/0.xrg")));
        canvas.New("P", "station", 2, "S");
        QVERIFY(canvas.TemplatePath().isEmpty());
        QVERIFY(!canvas.SaveTemplate(error));
        QVERIFY(!QFileInfo::exists(templatePath));
        QVERIFY2(canvas.Save(dir.filePath("pic/A/P/0.xrg"), error), qPrintable(error));
    }

    // Guards against an unreadable template replaced by an empty one that a save would write over it.
    void unreadableTemplateRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("broken.xtp");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<template><objects>") > 0);
        file.close();
        GraphCanvas canvas;
        canvas.New("P", "station", 2, "S");
        QString error;
        QVERIFY(!canvas.OpenTemplate(path, error));
        QVERIFY(!error.isEmpty());
        QVERIFY(canvas.TemplatePath().isEmpty());
        QCOMPARE(canvas.Doc()->GetName(), QString("P")); // the drawing stays
    }
};

TALMER_TEST_MAIN(tst_GraphCanvas)
#include "tst_graphcanvas.moc"
