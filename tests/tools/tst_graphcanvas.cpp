#include <QtTest>

#include "graphcanvas.h"
#include "mdisplaypattern.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "mtextobj.h"
#include "testmain.h"
#include "viewdrag.h"

namespace {

const QString kIconUuid = QStringLiteral("{5a4e1f0c-3b1d-4c55-9d0e-0123456789ab}");
const QString kBayIconUuid = QStringLiteral("{77f0a2c4-1e2d-4b3c-8a9f-fedcba987654}");

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

MShapeObj* rectangle(const QRectF& r)
{
    auto* shape = new MShapeObj(MDrawObj::ObjRect);
    shape->SetPoints({r.topLeft(), r.bottomRight()});
    return shape;
}

MIconTemplate* iconTemplate(const QString& uuid, const QString& catalog)
{
    auto* icon = new MIconTemplate(QUuid::fromString(uuid), nullptr);
    icon->SetName(QStringLiteral("断路器"));
    icon->SetCatalogName(catalog);
    icon->SetDefaultSize(QSizeF(30, 30));
    auto* pattern = new MDisplayPattern("open");
    pattern->AddShape(rectangle(QRectF(0, 0, 30, 30)));
    icon->AddPattern(pattern);
    return icon;
}

// A bay template: a rectangle, an icon and a text spanning (0, 0)-(40, 100).
bool writeBayTemplate(const QString& path)
{
    MHasRelation bay(MDrawObj::ObjTemplate);
    bay.AddMember(rectangle(QRectF(0, 0, 40, 20)));
    MIconObj* icon = bay.TemplateStore()->AddIconTemplate(iconTemplate(kBayIconUuid, "disconnector"))->NewObj("");
    icon->SetPoints({QPointF(5, 30), QPointF(35, 60)});
    icon->SetId(7); // ids of the template file must not reach the drawing
    bay.AddMember(icon);
    auto* label = new MTextObj;
    label->SetPoints({QPointF(0, 80), QPointF(40, 100)});
    label->SetText(QStringLiteral("出线名称"));
    bay.AddMember(label);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && bay.SaveFile(path);
}

QMimeData* mime(const char* format, const QByteArray& payload)
{
    auto* data = new QMimeData;
    data->setData(format, payload);
    return data;
}

QString aliasOf(const QString& type)
{
    static const QHash<QString, QString> aliases{{"style_template", "style"}, {"linked_type", "linked"},
                                                 {"dots_type", ".."}};
    return aliases.value(type);
}

int objectCount(const GraphCanvas& canvas)
{
    return int(canvas.Doc()->GetGraph()->GetObjList().size());
}

} // namespace

class tst_GraphCanvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_deploy.isValid());
        qputenv("TALMER_DEPLOY_DIR", m_deploy.path().toUtf8());
        QDir root(m_deploy.path());
        QVERIFY(root.mkpath("icon/breaker"));
        std::unique_ptr<MIconTemplate> icon(iconTemplate(kIconUuid, "breaker"));
        QVERIFY(icon->WriteXmlFile(root.filePath("icon/breaker/" + kIconUuid + ".xco")));
        QVERIFY(writeBayTemplate(root.filePath(QStringLiteral("template/style/出线间隔.xtp"))));
        QVERIFY(MHasRelation(MDrawObj::ObjTemplate).SaveFile(root.filePath("template/style/empty.xtp")));
        // A template folder that is a link to a folder outside the tree.
        QVERIFY(writeBayTemplate(m_outside.filePath("bay.xtp")));
        QVERIFY(QFile::link(m_outside.path(), root.filePath("template/linked")));
        QVERIFY(writeBayTemplate(root.filePath("elsewhere.xtp")));
    }

    // Guards against a dropped icon landing elsewhere than the drop point, or missing from the saved draft.
    void iconDropLandsAtPointAndIsSaved()
    {
        GraphCanvas canvas;
        canvas.resize(800, 450);
        canvas.New("P", "station", 2, "S");
        const QPoint pos(200, 150);
        std::unique_ptr<QMimeData> data(mime("iconDrag", CanvasDrop::IconPayload(kIconUuid, "breaker", 0)));
        QVERIFY(ViewDrag::Drop(&canvas, data.get(), pos));
        QCOMPARE(objectCount(canvas), 1);
        auto* icon = static_cast<MIconObj*>(canvas.Doc()->GetGraph()->GetObjList().constFirst());
        QCOMPARE(icon->GetType(), int(MDrawObj::ObjIcon));
        QCOMPARE(QPointF(canvas.ViewTransform().map(icon->Position())), QPointF(pos));
        QCOMPARE(icon->Position(), QPointF(400, 300)); // a 1600 x 900 drawing shown at half size
        QCOMPARE(canvas.Doc()->GetGraph()->IconTemplateNum(), 1);
        QCOMPARE(icon->GetTemplate(), canvas.Doc()->GetGraph()->IconTemplateAt(0));
        // A second drop of the same icon shares the drawing's template.
        QVERIFY(ViewDrag::Drop(&canvas, data.get(), QPoint(600, 300)));
        QCOMPARE(canvas.Doc()->GetGraph()->IconTemplateNum(), 1);

        QTemporaryDir dir;
        QString error;
        QVERIFY2(canvas.Save(dir.filePath("0.xrg"), error), qPrintable(error));
        QVERIFY(readAll(dir.filePath("0.xrg")).contains(QUuid::fromString(kIconUuid).toString().toUtf8()));
        GraphCanvas reread;
        QVERIFY(reread.Open(QString(), dir.filePath("0.xrg")));
        QCOMPARE(objectCount(reread), 2);
        auto* saved = static_cast<MIconObj*>(reread.Doc()->GetGraph()->GetObjList().constFirst());
        QVERIFY(saved->GetTemplate());
        QCOMPARE(saved->GetTemplate()->GetUuid(), QUuid::fromString(kIconUuid));
        QCOMPARE(saved->Position(), QPointF(400, 300));
    }

    // Guards against a template's members arriving out of place, with the file's ids, or not saved.
    void templateDropAddsMembersAroundPoint()
    {
        GraphCanvas canvas;
        canvas.resize(800, 450);
        canvas.New("P", "station", 2, "S");
        QVERIFY(canvas.AddLabel("first")); // takes id 1
        canvas.SetTemplateAliasLookup(aliasOf);
        const QPoint pos(400, 225); // the drawing's centre, (800, 450)
        std::unique_ptr<QMimeData> data(
            mime("templateDrag", CanvasDrop::TemplatePayload("style_template", QStringLiteral("出线间隔"))));
        QSignalSpy dropped(&canvas, &GraphCanvas::Dropped);
        QVERIFY(ViewDrag::Drop(&canvas, data.get(), pos));
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped.at(0).at(0).toBool(), true);
        const QList<MDrawObj*> objects = canvas.Doc()->GetGraph()->GetObjList();
        QCOMPARE(objects.size(), 4);
        QRectF span;
        QSet<int> ids;
        for (const MDrawObj* member : objects.mid(1)) {
            span = span.isNull() ? member->BoundingRect() : span.united(member->BoundingRect());
            ids.insert(member->GetId());
        }
        QCOMPARE(span, QRectF(780, 400, 40, 100));
        QCOMPARE(ids, QSet<int>({2, 3, 4}));
        auto* icon = static_cast<MIconObj*>(objects.at(2));
        QVERIFY(icon->GetTemplate());
        QCOMPARE(icon->GetTemplate(), canvas.Doc()->GetGraph()->FindTemplate(QUuid::fromString(kBayIconUuid)));

        QTemporaryDir dir;
        QString error;
        QVERIFY2(canvas.Save(dir.filePath("0.xrg"), error), qPrintable(error));
        const QByteArray text = readAll(dir.filePath("0.xrg"));
        QVERIFY(text.contains(QStringLiteral("出线名称").toUtf8()));
        QVERIFY(text.contains(QUuid::fromString(kBayIconUuid).toString().toUtf8()));
    }

    void refusedDropLeavesDrawing_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QPoint>("pos");
        const QPoint inside(200, 150);
        const QByteArray icon = CanvasDrop::IconPayload(kIconUuid, "breaker", 0);
        QTest::newRow("accepted: the icon (control row)") << "iconDrag" << icon << inside;
        QTest::newRow("another format") << "picDrag" << icon << inside;
        QTest::newRow("empty icon payload") << "iconDrag" << QByteArray() << inside;
        QTest::newRow("icon payload cut short") << "iconDrag" << icon.left(icon.size() - 2) << inside;
        QTest::newRow("icon payload with trailing bytes") << "iconDrag" << icon + "x" << inside;
        QTest::newRow("icon not in the library")
            << "iconDrag" << CanvasDrop::IconPayload(QUuid::createUuid().toString(), "breaker", 0) << inside;
        QTest::newRow("icon type leaving the icon folder")
            << "iconDrag" << CanvasDrop::IconPayload(kIconUuid, "../icon/breaker", 0) << inside;
        QTest::newRow("icon uuid that is a path")
            << "iconDrag" << CanvasDrop::IconPayload("../../etc/passwd", "breaker", 0) << inside;
        QTest::newRow("outside the drawing") << "iconDrag" << icon << QPoint(20, 150); // in the margin
        QTest::newRow("empty template payload") << "templateDrag" << QByteArray() << inside;
        QTest::newRow("template payload of one string")
            << "templateDrag" << CanvasDrop::TemplatePayload("style_template", "x").left(32) << inside;
        QTest::newRow("unknown template type")
            << "templateDrag" << CanvasDrop::TemplatePayload("other", QStringLiteral("出线间隔")) << inside;
        QTest::newRow("template not on disk")
            << "templateDrag" << CanvasDrop::TemplatePayload("style_template", "missing") << inside;
        QTest::newRow("template without members")
            << "templateDrag" << CanvasDrop::TemplatePayload("style_template", "empty") << inside;
        QTest::newRow("template name leaving the folder")
            << "templateDrag" << CanvasDrop::TemplatePayload("style_template", "../../elsewhere") << inside;
        QTest::newRow("template alias of dots")
            << "templateDrag" << CanvasDrop::TemplatePayload("dots_type", "elsewhere") << inside;
        QTest::newRow("template folder linked outside the tree")
            << "templateDrag" << CanvasDrop::TemplatePayload("linked_type", "bay") << inside;
    }

    // Guards against a refused drop changing the drawing, marking it changed, or being reported as taken.
    void refusedDropLeavesDrawing()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, payload);
        QFETCH(QPoint, pos);
        QTemporaryDir dir;
        {
            GraphCanvas first;
            first.New("P", "station", 2, "S");
            QVERIFY(first.AddLabel("kept"));
            QString error;
            QVERIFY2(first.Save(dir.filePath("0.xrg"), error), qPrintable(error));
        }
        GraphCanvas canvas;
        canvas.resize(900, 450); // the drawing from x = 50 to 850
        canvas.SetTemplateAliasLookup(aliasOf);
        QVERIFY(canvas.Open(dir.filePath("0.brg"), dir.filePath("0.xrg")));
        QSignalSpy dropped(&canvas, &GraphCanvas::Dropped);
        std::unique_ptr<QMimeData> data(mime(qPrintable(format), payload));
        const bool control = QByteArray(QTest::currentDataTag()).startsWith("accepted");
        QCOMPARE(ViewDrag::Drop(&canvas, data.get(), pos), control);
        QCOMPARE(objectCount(canvas), control ? 2 : 1);
        QCOMPARE(canvas.Doc()->GetGraph()->IconTemplateNum(), control ? 1 : 0);
        QCOMPARE(canvas.IsDirty(), control);
        if (format != "picDrag") { // other formats never reach the drawing
            QCOMPARE(dropped.size(), 1);
            QCOMPARE(dropped.at(0).at(0).toBool(), control);
            QVERIFY(!dropped.at(0).at(1).toString().isEmpty());
        }
    }

    // Guards against a drop being taken with no drawing open.
    void dropWithoutDrawingIsRefused()
    {
        GraphCanvas canvas;
        canvas.resize(800, 450);
        std::unique_ptr<QMimeData> data(mime("iconDrag", CanvasDrop::IconPayload(kIconUuid, "breaker", 0)));
        QVERIFY(!ViewDrag::Drop(&canvas, data.get(), QPoint(200, 150)));
        QVERIFY(!canvas.DropAt(data.get(), QPointF(200, 150)).added);
        QVERIFY(!canvas.HasDrawing());
        QVERIFY(!canvas.IsDirty());
    }

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

private:
    QTemporaryDir m_deploy;
    QTemporaryDir m_outside;
};

TALMER_TEST_MAIN(tst_GraphCanvas)
#include "tst_graphcanvas.moc"
