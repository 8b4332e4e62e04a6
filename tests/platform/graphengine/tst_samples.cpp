#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <memory>

#include "deploytree.h"
#include "mdatamessagebus.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "mhmiadmin.h"
#include "miconmgr.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mtextobj.h"
#include "mtranslatehandler.h"
#include "testmain.h"

using TestSupport::DeployTree;

namespace {

const QString kSamples = QStringLiteral(TALMER_SAMPLES_DIR);

QJsonObject manifest()
{
    QFile f(kSamples + "/manifest.json");
    f.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(f.readAll()).object();
}

QString station()
{
    return QString::fromUtf8("北京变电站");
}

std::unique_ptr<MGraphDoc> loadStation()
{
    auto doc = std::make_unique<MGraphDoc>();
    doc->ReadXmlFile(kSamples + "/pic/beijing_station.xrg");
    return doc;
}

QList<MDrawObj*> allObjects(const QList<MDrawObj*>& objects)
{
    return MGraph::WithMembers(objects);
}

QStringList textsOf(const MGraphDoc& doc)
{
    QStringList texts;
    for (MDrawObj* obj : allObjects(doc.GetGraph()->GetObjList())) {
        if (auto* t = dynamic_cast<MTextObj*>(obj))
            texts << t->GetText();
    }
    return texts;
}

class Brackets : public MTranslateHandler
{
public:
    QString TranslateText(const QString& text) override { return "[" + text + "]"; }
};

} // namespace

class tst_Samples : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everySampleLoadsWhole();
    void embeddedSetMatchesTheFiles();
    void iconLibraryFindsSampleIcons();
    void svgIsDrawnAlikeByAnIndependentRenderer();
    void replaceStringModes();
    void translateText();
    void refreshOidsFromTheEquipmentTable();
};

void tst_Samples::everySampleLoadsWhole()
{
    // Guards against a sample (and so the demo and the site generator) that the engine cannot read back.
    const QJsonObject m = manifest();
    QCOMPARE(m.value("icons").toArray().size(), 12);
    for (const QJsonValue& v : m.value("icons").toArray()) {
        const QJsonObject icon = v.toObject();
        MIconTemplate t;
        QVERIFY2(t.ReadXmlFile(kSamples + "/" + icon.value("file").toString()), qPrintable(icon.value("file").toString()));
        QCOMPARE(t.GetCatalogName(), icon.value("catalog").toString());
        QCOMPARE(t.GetCatalogId(), icon.value("catId").toInt());
        QCOMPARE(t.GetUuid().toString(), icon.value("uuid").toString());
        QVERIFY(t.PatternNum() >= 2);
    }
    QCOMPARE(m.value("pictures").toArray().size(), 3);
    for (const QJsonValue& v : m.value("pictures").toArray()) {
        const QJsonObject pic = v.toObject();
        MGraphDoc doc;
        QVERIFY(doc.ReadXmlFile(kSamples + "/" + pic.value("file").toString()));
        QCOMPARE(doc.GetName(), pic.value("name").toString());
        QCOMPARE(doc.GetGraphTypeID(), pic.value("typeId").toInt());
        QVERIFY(doc.GetGraph()->GetObjList().size() > 10);
        for (MDrawObj* obj : allObjects(doc.GetGraph()->GetObjList())) {
            if (auto* icon = dynamic_cast<MIconObj*>(obj))
                QVERIFY2(icon->GetTemplate() && icon->GetTemplate()->GetGraph() == doc.GetGraph(),
                         qPrintable(doc.GetName()));
        }
    }
    QCOMPARE(m.value("templates").toArray().size(), 2);
    for (const QJsonValue& v : m.value("templates").toArray()) {
        MHasRelation container(MDrawObj::ObjTemplate);
        QVERIFY(container.LoadFile(kSamples + "/" + v.toObject().value("file").toString()));
        QVERIFY(container.Size() >= 4);
    }
}

void tst_Samples::embeddedSetMatchesTheFiles()
{
    // Guards against the library carrying an older sample set than the repository holds.
    int compared = 0;
    for (QDirIterator it(kSamples, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString file = it.next();
        const QString relative = QDir(kSamples).relativeFilePath(file);
        if (relative == "samples.qrc")
            continue;
        QFile onDisk(file), embedded(":/graphengine/samples/" + relative);
        QVERIFY2(embedded.open(QIODevice::ReadOnly), qPrintable(relative));
        QVERIFY(onDisk.open(QIODevice::ReadOnly));
        QVERIFY2(onDisk.readAll() == embedded.readAll(), qPrintable(relative));
        ++compared;
    }
    QCOMPARE(compared, 12 + 3 + 2 + 1);
}

void tst_Samples::iconLibraryFindsSampleIcons()
{
    // Guards against a release refreshing its icons from the wrong file, or from outside the library.
    DeployTree tree;
    const QJsonObject icon = manifest().value("icons").toArray().first().toObject();
    const QString catalog = icon.value("catalog").toString();
    const QString uuid = icon.value("uuid").toString();
    QFile source(kSamples + "/" + icon.value("file").toString());
    QVERIFY(source.open(QIODevice::ReadOnly));
    QVERIFY(tree.writeFile(icon.value("file").toString(), source.readAll()));
    MIconTemplate* found = nullptr;
    QVERIFY(MIconMgr::Instance()->CreateTemplate(catalog, uuid, found, false, false));
    std::unique_ptr<MIconTemplate> owner(found);
    QCOMPARE(found->GetUuid().toString(), uuid);
    MIconTemplate* first = nullptr;
    MIconTemplate* cached = nullptr;
    QVERIFY(MIconMgr::Instance()->CreateTemplate(catalog, uuid, first, true, false));
    std::unique_ptr<MIconTemplate> firstOwner(first);
    QVERIFY(MIconMgr::Instance()->CreateTemplate(catalog, uuid, cached, true, false));
    std::unique_ptr<MIconTemplate> cachedOwner(cached);
    QVERIFY(cached != first && cached != found); // every caller gets a template of its own
    QCOMPARE(cached->PatternNum(), found->PatternNum());
    MIconTemplate* none = nullptr;
    QVERIFY(!MIconMgr::Instance()->CreateTemplate("other", uuid, none, false, false));
    QVERIFY(!MIconMgr::Instance()->CreateTemplate("../icon/" + catalog, uuid, none, false, false));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("the icon library has no icon"));
    QVERIFY(!MIconMgr::Instance()->CreateTemplate(catalog, "not a uuid", none, false, true));
    QVERIFY(!none);
}

void tst_Samples::svgIsDrawnAlikeByAnIndependentRenderer()
{
    // Guards against SVG exports that only our own painter code could show.
    const QString rsvg = QStandardPaths::findExecutable("rsvg-convert");
    if (rsvg.isEmpty())
        QSKIP("rsvg-convert is not installed (scripts/install-deps.sh installs librsvg2-bin)");
    QTemporaryDir dir;
    auto doc = loadStation();
    QVERIFY(doc->WriteSvgFile(dir.filePath("station.svg"), true));
    QProcess convert;
    convert.start(rsvg, {"-w", "800", "-h", "450", "-o", dir.filePath("rsvg.png"), dir.filePath("station.svg")});
    QVERIFY(convert.waitForFinished(60000));
    QCOMPARE(convert.exitCode(), 0);
    const QImage theirs = QImage(dir.filePath("rsvg.png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(theirs.size(), QSize(800, 450));

    QImage ours(800, 450, QImage::Format_ARGB32);
    ours.fill(Qt::transparent);
    {
        QPainter p(&ours);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(0.5, 0.5);
        doc->Render(&p, true);
    }
    // Text is shaped differently by every renderer: compare what is not text.
    int differing = 0, red = 0;
    for (int y = 0; y < 450; ++y) {
        for (int x = 0; x < 800; ++x) {
            const QColor a = ours.pixelColor(x, y), b = theirs.pixelColor(x, y);
            const int d = qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
            differing += d > 150;
            red += b.red() > 200 && b.green() < 100;
        }
    }
    if (differing > 800 * 450 / 50) {
        theirs.save(QDir::temp().filePath("tst_samples_rsvg.png"));
        ours.save(QDir::temp().filePath("tst_samples_ours.png"));
    }
    QVERIFY2(differing <= 800 * 450 / 50, qPrintable(QString("%1 pixels differ").arg(differing)));
    QVERIFY2(red > 2000, "the energised busbars and breakers are missing");
}

void tst_Samples::replaceStringModes()
{
    // Guards against renaming a station missing texts, icon labels or equipment paths, or touching the wrong ones.
    const QString renamed = QString::fromUtf8("新北京站");
    for (int mode : {1, 2, 3}) {
        auto doc = loadStation();
        doc->ReplaceString(doc->GetGraph()->GetObjList(), station(), renamed, mode);
        bool textChanged = false, iconChanged = false, pathChanged = false, pathKept = false;
        for (MDrawObj* obj : allObjects(doc->GetGraph()->GetObjList())) {
            if (auto* t = dynamic_cast<MTextObj*>(obj))
                textChanged |= t->GetText().contains(renamed);
            if (auto* icon = dynamic_cast<MIconObj*>(obj))
                iconChanged |= icon->GetStationName() == renamed;
            pathChanged |= obj->GetPath().startsWith("/" + renamed + "/");
            pathKept |= obj->GetPath().startsWith("/" + station() + "/");
        }
        QCOMPARE(textChanged, mode != 2);
        QCOMPARE(iconChanged, mode != 1);
        QCOMPARE(pathChanged, mode == 3);
        QCOMPARE(pathKept, mode != 3);
    }
}

void tst_Samples::translateText()
{
    // Guards against drawings changing when nobody can translate them, or being translated twice.
    auto doc = loadStation();
    const QStringList before = textsOf(*doc);
    doc->TranslateText();
    QCOMPARE(textsOf(*doc), before);
    Brackets brackets;
    MDataMessageBus::Instance()->RegisterTranslateHandler(&brackets);
    doc->TranslateText();
    MDataMessageBus::Instance()->UnregisterTranslateHandler(&brackets);
    const QStringList after = textsOf(*doc);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i)
        QCOMPARE(after.at(i), "[" + before.at(i) + "]");
}

void tst_Samples::refreshOidsFromTheEquipmentTable()
{
    // Guards against drawings keeping stale equipment identifiers, or failures going unreported.
    DeployTree tree;
    const QString bus = "/" + station() + QString::fromUtf8("/10kV/I母");
    const QString breaker = "/" + station() + QString::fromUtf8("/10kV/911开关");
    QVERIFY(MHmiAdmin::SetEquipment(bus, "7001"));
    QVERIFY(MHmiAdmin::SetEquipment(breaker, "7002"));
    auto doc = loadStation();
    int bound = 0;
    for (MDrawObj* obj : allObjects(doc->GetGraph()->GetObjList()))
        bound += !obj->GetPath().isEmpty();
    QList<MErrMsg> errors;
    QList<EquipPathFromOID> paths{{"7003", "/" + station() + QString::fromUtf8("/1号主变")}};
    doc->RefreshOids(errors, paths, 3);
    QCOMPARE(errors.size(), bound - 3);
    QCOMPARE(paths.size(), 3);
    for (MDrawObj* obj : allObjects(doc->GetGraph()->GetObjList())) {
        if (obj->GetPath() == bus)
            QCOMPARE(obj->GetOid(), QString("7001"));
        if (obj->GetPath() == breaker)
            QCOMPARE(obj->GetOid(), QString("7002"));
        if (obj->GetPath().endsWith(QString::fromUtf8("1号主变")))
            QCOMPARE(obj->GetOid(), QString("7003"));
    }
    QVERIFY(errors.first().message.contains(errors.first().object));
    doc->UpdateDataDefine();
    QCOMPARE(doc->DataDefines().size(), bound);
}

TALMER_TEST_MAIN(tst_Samples)
#include "tst_samples.moc"
