#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cfloat>
#include <climits>
#include <cstring>
#include <memory>

#include "deploytree.h"
#include "graphbinaryformat.h"
#include "graphxmlformat.h"
#include "mdisplaypattern.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "mtextobj.h"
#include "testmain.h"

namespace {

const QUuid kBoxUuid("{6a0c7c52-3f1e-4d57-9c38-2f4e3b7d0a11}");
const QUuid kLineUuid("{0d9b2e44-81a7-4c2b-a1f5-7e6c5d4b3a22}");

enum Reader { GraphXml, GraphBinary, IconXml, TemplateXml, DynamicXml, ReaderCount };
const char* const kExtension[ReaderCount] = {".xrg", ".brg", ".xco", ".xtp", ".fg"};

// Where buildDrawing puts its top-level objects.
enum DrawingIndex { IdxLine, IdxRect, IdxEllipse, IdxPolygon, IdxText, IdxBreaker, IdxJump, IdxGroup, DrawingSize };

MShapeObj* shape(int type, const QPolygonF& points, const QColor& pen = Qt::black, double width = 1,
                 const QColor& brush = Qt::transparent)
{
    auto* s = new MShapeObj(type);
    s->SetPoints(points);
    s->SetPenColor(pen);
    s->SetPenWidth(width);
    s->SetBrushColor(brush);
    return s;
}

MTextObj* label(const QString& text, const QPolygonF& points, double fontSize = 12)
{
    auto* t = new MTextObj;
    t->SetPoints(points);
    t->SetText(text);
    t->SetFontSize(fontSize);
    return t;
}

// A library icon: box-shaped with three looks, or line-shaped with two.
MIconTemplate* makeTemplate(bool lineShaped)
{
    auto* t = new MIconTemplate(lineShaped ? kLineUuid : kBoxUuid, nullptr);
    t->SetName(lineShaped ? QStringLiteral("隔离刀闸") : QStringLiteral("断路器"));
    t->SetCatalogName(QStringLiteral("开关 & <刀闸>"));
    t->SetCatalogId(lineShaped ? 8 : 7);
    t->SetIconShapeType(lineShaped ? 1 : 0);
    t->SetDefaultSize(lineShaped ? QSizeF(40, 10.5) : QSizeF(30, 30));
    const QStringList looks = lineShaped ? QStringList{"open", "closed"} : QStringList{"open", "closed", "tripped"};
    for (int i = 0; i < looks.size(); ++i) {
        auto* pattern = new MDisplayPattern(looks[i]);
        pattern->AddShape(shape(MDrawObj::ObjRect, {{0, 0}, {30, 30}}, Qt::red, 1 + i, QColor(0, 0, 255, 40 * i)));
        pattern->AddShape(shape(MDrawObj::ObjLine, {{0, 15}, {30, 15 - 7.5 * i}}, Qt::white, 2));
        pattern->AddShape(label(looks[i], {{0, 0}, {30, 10}}));
        t->AddPattern(pattern);
    }
    return t;
}

// A drawing with every kind of object and property the file forms carry.
void buildDrawing(MGraphDoc& doc)
{
    doc.SetName(QStringLiteral("220kV 东郊变 主接线"));
    QString typeName = QStringLiteral("主接线图");
    int typeId = 3;
    doc.SetGraphType(typeName, typeId);
    doc.SetGraphStation(QStringLiteral("东郊变"), 1);
    doc.SetGraphStation(QStringLiteral("西山变"), 2);
    doc.SetShare(true);
    doc.SetHasFillModel(true);
    doc.SetSize(QSizeF(1920.5, 1080));
    doc.SetBackground(QColor(16, 32, 48));
    MGraph* graph = doc.GetGraph();
    MIconTemplate* box = graph->AddIconTemplate(makeTemplate(false));
    MIconTemplate* line = graph->AddIconTemplate(makeTemplate(true));
    graph->AddObject(shape(MDrawObj::ObjLine, {{0.1, 0.2}, {100, 200.5}, {-3, 4}}, QColor(255, 0, 0), 2.5));
    graph->AddObject(shape(MDrawObj::ObjRect, {{10, 10}, {50, 30}}, QColor(0, 255, 0, 200), 1, QColor(0, 0, 255, 128)));
    graph->AddObject(shape(MDrawObj::ObjEllipse, {{60, 60}, {90, 80}}, Qt::yellow, 0.5, Qt::darkRed));
    graph->AddObject(shape(MDrawObj::ObjPolygon, {{0, 0}, {10, -5}, {20, 0}, {10, 5}}, Qt::cyan, 3));
    MTextObj* text = label(QStringLiteral("1号主变 \"高压侧\" <A> & 低压侧\n第二行"), {{100, 100}, {300, 130}}, 14.5);
    text->SetOid("3001"); // bound without a path
    graph->AddObject(text);

    MIconObj* breaker = box->NewObj(QStringLiteral("101断路器"));
    breaker->SetCustomType(1);
    breaker->SetStationName(QStringLiteral("西山变"));
    breaker->Symbol()->SetCurrentIndex(2);
    breaker->SetPosition(400, 300, false);
    breaker->SetOid("1001");
    breaker->SetPath(QStringLiteral("东郊变/220kV/101断路器"));
    graph->AddObject(breaker);
    MIconObj* jump = line->NewObj(QStringLiteral("至 '西山变' 主接线"));
    jump->SetCustomType(2);
    jump->SetSize(80, 21, true);
    graph->AddObject(jump);

    auto* group = new MHasRelation(MDrawObj::ObjGroup);
    group->SetOid("2001");
    group->SetPath(QStringLiteral("东郊变/10kV/I段"));
    MShapeObj* bus = shape(MDrawObj::ObjLine, {{500, 500}, {900, 500}}, Qt::magenta, 4);
    bus->SetOid("2002");
    bus->SetPath(QStringLiteral("东郊变/10kV/I段母线"));
    group->AddMember(bus);
    auto* inner = new MHasRelation(MDrawObj::ObjGroup);
    MIconObj* feeder = line->NewObj(QStringLiteral("911"));
    feeder->SetPosition(600, 540, false);
    feeder->SetOid("2003");
    feeder->SetPath(QStringLiteral("东郊变/10kV/911刀闸"));
    inner->AddMember(feeder);
    inner->AddMember(shape(MDrawObj::ObjRect, {{580, 560}, {620, 600}}));
    group->AddMember(inner);
    graph->AddObject(group);
}

// Few bytes, but every kind of value and node: for cutting at every length.
void buildSmallDrawing(MGraphDoc& doc)
{
    doc.SetName("small");
    doc.SetGraphStation("A", 1);
    MIconTemplate* line = doc.GetGraph()->AddIconTemplate(makeTemplate(true));
    doc.GetGraph()->AddObject(line->NewObj("QS1"));
    auto* group = new MHasRelation(MDrawObj::ObjGroup);
    group->AddMember(shape(MDrawObj::ObjRect, {{1, 2}, {3, 4}}, Qt::red, 2, QColor(1, 2, 3, 4)));
    doc.GetGraph()->AddObject(group);
}

QByteArray treeText(const MGraphDoc& doc)
{
    return GraphXmlFormat::Write(doc.ToNode());
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What a drawing read back from buildDrawing's must show through the API.
void checkDrawing(const MGraphDoc& doc)
{
    QCOMPARE(doc.GetName(), QStringLiteral("220kV 东郊变 主接线"));
    QCOMPARE(doc.GetGraphTypeID(), 3);
    QCOMPARE(doc.GetGraphTypeName(), QStringLiteral("主接线图"));
    QCOMPARE(doc.GetGraphStation(1) + doc.GetGraphStation(2), QStringLiteral("东郊变西山变"));
    QVERIFY(doc.IsShare() && doc.HasFillModel());
    QCOMPARE(doc.GetSize(), QSizeF(1920.5, 1080));
    QCOMPARE(doc.GetBackground(), QColor(16, 32, 48));
    const MGraph* graph = doc.GetGraph();
    const QList<MDrawObj*>& objects = graph->GetObjList();
    QCOMPARE(int(objects.size()), int(DrawingSize));
    QCOMPARE(objects[IdxRect]->GetBrushColor(), QColor(0, 0, 255, 128));
    QCOMPARE(objects[IdxText]->GetType(), int(MDrawObj::ObjText));
    const auto* text = static_cast<const MTextObj*>(objects[IdxText]);
    QCOMPARE(text->GetText(), QStringLiteral("1号主变 \"高压侧\" <A> & 低压侧\n第二行"));
    QCOMPARE(text->GetFontSize(), 14.5);
    // Icons must use the templates this document embeds, not none and not the writer's.
    QCOMPARE(objects[IdxBreaker]->GetType(), int(MDrawObj::ObjIcon));
    const auto* breaker = static_cast<const MIconObj*>(objects[IdxBreaker]);
    QVERIFY(breaker->GetTemplate() && breaker->GetTemplate() == graph->FindTemplate(kBoxUuid));
    QCOMPARE(breaker->Symbol()->CurrentIndex(), 2);
    QCOMPARE(breaker->GetCustomType(), 1);
    QCOMPARE(breaker->GetStationName(), QStringLiteral("西山变"));
    QCOMPARE(breaker->GetPath(), QStringLiteral("东郊变/220kV/101断路器"));
    const auto* jump = static_cast<const MIconObj*>(objects[IdxJump]);
    QVERIFY(jump->GetTemplate() && jump->GetTemplate() == graph->FindTemplate(kLineUuid));
    QVERIFY(jump->IsLineType());
    QCOMPARE(jump->GetText(), QStringLiteral("至 '西山变' 主接线"));
    QCOMPARE(objects[IdxGroup]->MemberCount(), 2);
    const MDrawObj* inner = objects[IdxGroup]->MemberAt(1);
    QVERIFY(inner && inner->GetType() == MDrawObj::ObjGroup && inner->MemberCount() == 2);
    const auto* feeder = static_cast<const MIconObj*>(inner->MemberAt(0));
    QCOMPARE(feeder->GetType(), int(MDrawObj::ObjIcon));
    QVERIFY(feeder->GetTemplate() && feeder->GetTemplate() == graph->FindTemplate(kLineUuid));
}

// Empty when `back`, read from either encoding, holds exactly `original`.
QString mismatch(const QVariant& original, const QVariant& back)
{
    bool same = false;
    switch (original.typeId()) {
    case QMetaType::QString:
        same = GraphValue::text(back) == original.toString();
        break;
    case QMetaType::Double:
        same = sameBits(GraphValue::number(back, qQNaN()), original.toDouble());
        break;
    case QMetaType::Int:
        same = GraphValue::integer(back, ~original.toInt()) == original.toInt();
        break;
    case QMetaType::Bool:
        same = GraphValue::flag(back) == original.toBool();
        break;
    case QMetaType::QColor:
        same = GraphValue::color(back, QColor()) == original.value<QColor>();
        break;
    case QMetaType::QPolygonF: {
        const QPolygonF a = original.value<QPolygonF>(), b = GraphValue::polygon(back);
        same = a.size() == b.size();
        for (int i = 0; same && i < a.size(); ++i)
            same = sameBits(a[i].x(), b[i].x()) && sameBits(a[i].y(), b[i].y());
        break;
    }
    }
    return same ? QString()
                : QString("\"%1\" came back as \"%2\"").arg(GraphValue::encode(original), GraphValue::encode(back));
}

// Hand-made binary files, for headers no writer produces. Big-endian.
struct Binary
{
    QByteArray data = "TBRG";
    Binary& u8(quint8 v) { data.append(char(v)); return *this; }
    Binary& u16(quint16 v) { return u8(quint8(v >> 8)).u8(quint8(v)); }
    Binary& u32(quint32 v) { return u16(quint16(v >> 16)).u16(quint16(v)); }
    Binary& f64(double v) { quint64 b; std::memcpy(&b, &v, 8); return u32(quint32(b >> 32)).u32(quint32(b)); }
    Binary& str(const QByteArray& s) { u32(quint32(s.size())); data.append(s); return *this; }
};

QByteArray entityBomb(const QString& root)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE %1 [\n<!ENTITY l0 \"lol\">\n").arg(root);
    for (int i = 1; i <= 9; ++i)
        xml += QStringLiteral("<!ENTITY l%1 \"%2\">\n").arg(i).arg(QString("&l%1;").arg(i - 1).repeated(10));
    return (xml + QStringLiteral("]>\n<%1 format=\"1\" name=\"&l9;\">&l9;</%1>\n").arg(root)).toUtf8();
}

QByteArray withRootFormat(QByteArray xml, const QByteArray& format)
{
    const int at = int(xml.indexOf("format=\"1\""));
    return at < 0 ? QByteArray() : xml.replace(at, 10, "format=\"" + format + "\"");
}

// Notes the category of every warning and hands all messages on to QtTest, so
// that QTest::ignoreMessage still applies.
class WarningLog
{
public:
    WarningLog() { s_categories.clear(); s_next = qInstallMessageHandler(&WarningLog::handle); }
    ~WarningLog() { qInstallMessageHandler(s_next); }
    static bool saw(const char* category) { return s_categories.contains(QLatin1String(category)); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type == QtWarningMsg && context.category)
            s_categories << QString::fromLatin1(context.category);
        if (s_next)
            s_next(type, context, message);
    }
    static inline QtMessageHandler s_next = nullptr;
    static inline QStringList s_categories;
};

} // namespace

class tst_GraphFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    // Round trips through the model.
    void drawingSurvivesXrgAndBrg();
    void dataBindingsSurviveFg();
    void iconTemplateSurvivesXco_data();
    void iconTemplateSurvivesXco();
    void styleTemplateSurvivesXtp();
    void rewrittenXrgIsReplacedWhole();
    void svgShowsTheDrawing();
    // Hostile and unusual files.
    void hostileFilesAreRefused_data();
    void hostileFilesAreRefused();
    void everyCutOfABrgIsRefused();
    void damagedPointListsAreDroppedAlone_data();
    void damagedPointListsAreDroppedAlone();
    void largeLegalDrawingsRead_data();
    void largeLegalDrawingsRead();
    // The two encodings on bare trees.
    void valuesSurviveBothEncodings_data();
    void valuesSurviveBothEncodings();
    void textXmlCannotCarryIsNotAlteredSilently();
    void treeShapeSurvivesBothEncodings();

private:
    QString validPath(int reader) const { return m_tree->path(QStringLiteral("valid") + kExtension[reader]); }

    std::unique_ptr<TestSupport::DeployTree> m_tree;
    QByteArray m_valid[ReaderCount];
};

// The valid files are both the round-trip subjects and what the hostile cases start from.
void tst_GraphFiles::initTestCase()
{
    m_tree = std::make_unique<TestSupport::DeployTree>();
    QVERIFY(m_tree->isValid());
    MGraphDoc doc;
    buildDrawing(doc);
    doc.UpdateDataDefine();
    QVERIFY(doc.WriteXmlFile(validPath(GraphXml)));
    QVERIFY(doc.WriteDataFile(validPath(GraphBinary)));
    QVERIFY(doc.WriteDynamicDataFile(validPath(DynamicXml)));
    std::unique_ptr<MIconTemplate> icon(makeTemplate(false));
    QVERIFY(icon->WriteXmlFile(validPath(IconXml)));
    MHasRelation style(MDrawObj::ObjTemplate);
    style.AddMember(shape(MDrawObj::ObjRect, {{0, 0}, {10, 10}}));
    style.AddMember(label("style", {{0, 10}, {10, 20}}));
    QVERIFY(style.SaveFile(validPath(TemplateXml)));
    for (int r = 0; r < ReaderCount; ++r) {
        m_valid[r] = m_tree->readFile(QStringLiteral("valid") + kExtension[r]);
        QVERIFY(!m_valid[r].isEmpty());
    }
}

void tst_GraphFiles::cleanupTestCase()
{
    m_tree.reset();
}

void tst_GraphFiles::drawingSurvivesXrgAndBrg()
{
    // Guards against either drawing form dropping, altering or mislinking anything on the way back.
    MGraphDoc original;
    buildDrawing(original);
    const QByteArray tree = treeText(original);
    MGraphDoc fromXml, fromBinary;
    QVERIFY(fromXml.ReadXmlFile(validPath(GraphXml)));
    QVERIFY(fromBinary.ReadDataFile(validPath(GraphBinary)));
    // Both equal to the original, hence to each other.
    QCOMPARE(treeText(fromXml), tree);
    QCOMPARE(treeText(fromBinary), tree);
    checkDrawing(fromXml);
    if (!QTest::currentTestFailed())
        checkDrawing(fromBinary);
}

void tst_GraphFiles::dataBindingsSurviveFg()
{
    // Guards against bindings inside groups being missed, or the .fg form losing or reordering them.
    const auto listed = [](const QList<EquipPathFromOID>& bindings) {
        QStringList out;
        for (const EquipPathFromOID& b : bindings)
            out << b.oid + '|' + b.path;
        return out;
    };
    MGraphDoc doc;
    buildDrawing(doc);
    doc.UpdateDataDefine();
    QStringList collected = listed(doc.DataDefines());
    collected.sort();
    QCOMPARE(collected, QStringList({QStringLiteral("1001|东郊变/220kV/101断路器"), QStringLiteral("2001|东郊变/10kV/I段"),
                                     QStringLiteral("2002|东郊变/10kV/I段母线"), QStringLiteral("2003|东郊变/10kV/911刀闸"),
                                     QStringLiteral("3001|")}));
    MGraphDoc reader;
    QVERIFY(reader.ReadDynamicDataFile(validPath(DynamicXml)));
    QCOMPARE(listed(reader.DataDefines()), listed(doc.DataDefines()));
}

void tst_GraphFiles::iconTemplateSurvivesXco_data()
{
    QTest::addColumn<bool>("lineShaped");
    QTest::newRow("box-shaped icon") << false;
    QTest::newRow("line-shaped icon") << true;
}

void tst_GraphFiles::iconTemplateSurvivesXco()
{
    // Guards against the icon file losing an icon's identity, size, shape type or looks.
    QFETCH(bool, lineShaped);
    std::unique_ptr<MIconTemplate> original(makeTemplate(lineShaped));
    const QString path = m_tree->path(QStringLiteral("icon-%1.xco").arg(lineShaped));
    QVERIFY(original->WriteXmlFile(path));
    MIconTemplate back;
    QVERIFY(back.ReadXmlFile(path));
    QCOMPARE(back.GetName(), original->GetName());
    QCOMPARE(back.GetUuid(), original->GetUuid());
    QCOMPARE(back.GetCatalogName(), original->GetCatalogName());
    QCOMPARE(back.GetCatalogId(), original->GetCatalogId());
    QCOMPARE(back.GetIconShapeType(), original->GetIconShapeType());
    QCOMPARE(back.IsLineShape(), lineShaped);
    QCOMPARE(back.GetDefaultSize(), original->GetDefaultSize());
    QCOMPARE(back.PatternNum(), lineShaped ? 2 : 3);
    QCOMPARE(back.PatternAt(1)->GetName(), QString("closed"));
    // The looks' figures in full.
    QCOMPARE(GraphXmlFormat::Write(back.ToNode()), GraphXmlFormat::Write(original->ToNode()));
}

void tst_GraphFiles::styleTemplateSurvivesXtp()
{
    // Guards against a style template losing members or their placement, or its icons using
    // templates other than the ones the file carried.
    MHasRelation style(MDrawObj::ObjTemplate);
    QVERIFY(style.LoadFile(validPath(TemplateXml)));
    // Only a loaded container carries icon templates, hence the icons come after a first load.
    QVERIFY(style.Templates());
    MIconTemplate* box = style.Templates()->AddIconTemplate(makeTemplate(false));
    MIconTemplate* line = style.Templates()->AddIconTemplate(makeTemplate(true));
    MIconObj* icon = box->NewObj("QF1");
    icon->Symbol()->SetCurrentIndex(1);
    icon->SetPosition(60, 40, false);
    style.AddMember(icon);
    auto* group = new MHasRelation(MDrawObj::ObjGroup);
    MIconObj* nested = line->NewObj("QS1");
    nested->SetPosition(20, 100, false);
    group->AddMember(nested);
    group->AddMember(shape(MDrawObj::ObjLine, {{0, 120}, {120, 125.5}}, Qt::green, 2));
    style.AddMember(group);
    const QString path = m_tree->path("style.xtp");
    QVERIFY(style.SaveFile(path));

    MHasRelation back(MDrawObj::ObjTemplate);
    QVERIFY(back.LoadFile(path));
    QCOMPARE(back.Size(), 4);
    for (int i = 0; i < back.Size(); ++i) {
        QCOMPARE(back.At(i)->GetType(), style.At(i)->GetType());
        QCOMPARE(back.At(i)->BoundingRect(), style.At(i)->BoundingRect());
    }
    QCOMPARE(GraphXmlFormat::Write(back.ToNode()), GraphXmlFormat::Write(style.ToNode()));
    QVERIFY(back.Templates());
    QCOMPARE(GraphXmlFormat::Write(back.Templates()->TemplatesToNode()),
             GraphXmlFormat::Write(style.Templates()->TemplatesToNode()));
    const auto* backIcon = static_cast<const MIconObj*>(back.At(2));
    QVERIFY(backIcon->GetTemplate());
    QCOMPARE(backIcon->GetTemplate(), back.Templates()->FindTemplate(kBoxUuid));
    QCOMPARE(backIcon->Symbol()->CurrentIndex(), 1);
    const auto* backNested = static_cast<const MIconObj*>(static_cast<const MHasRelation*>(back.At(3))->At(0));
    QVERIFY(backNested->GetTemplate());
    QCOMPARE(backNested->GetTemplate(), back.Templates()->FindTemplate(kLineUuid));
}

void tst_GraphFiles::rewrittenXrgIsReplacedWhole()
{
    // Guards against a shorter drawing written over a longer one keeping its tail, or temporary files staying behind.
    const QString dir = m_tree->path("rewrite");
    QVERIFY(QDir().mkpath(dir));
    const QString path = dir + "/drawing.xrg";
    MGraphDoc big;
    buildDrawing(big);
    for (int i = 0; i < 500; ++i)
        big.GetGraph()->AddObject(shape(MDrawObj::ObjLine, {{0, 0}, {i + 0.5, 1}}));
    QVERIFY(big.WriteXmlFile(path));
    MGraphDoc small;
    small.SetName("small");
    QVERIFY(small.WriteXmlFile(path));
    QCOMPARE(m_tree->readFile("rewrite/drawing.xrg"), treeText(small));
    QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList{"drawing.xrg"});
    MGraphDoc back;
    QVERIFY(back.ReadXmlFile(path));
    QCOMPARE(back.GetName(), QString("small"));
    QVERIFY(back.GetGraph()->GetObjList().isEmpty());
    // A write that cannot happen says so.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot write .*/no-such-dir/drawing.xrg"));
    QVERIFY(!small.WriteXmlFile(dir + "/no-such-dir/drawing.xrg"));
}

void tst_GraphFiles::svgShowsTheDrawing()
{
    // Guards against the image losing the drawing's title or extent, or ignoring the background choice.
    MGraphDoc doc;
    buildDrawing(doc);
    for (const bool withBackground : {true, false}) {
        const QString path = m_tree->path(QStringLiteral("image-%1.svg").arg(withBackground));
        QVERIFY(doc.WriteSvgFile(path, withBackground));
        const QByteArray svg = m_tree->readFile(QFileInfo(path).fileName());
        QXmlStreamReader xml(svg);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name().toString(), QString("svg"));
        QCOMPARE(xml.attributes().value("viewBox").toString(), QString("0 0 1920.5 1080"));
        QString title;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("title"))
                title = xml.readElementText();
            else
                xml.skipCurrentElement();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(title, doc.GetName());
        QCOMPARE(svg.contains("#102030"), withBackground);
    }
}

void tst_GraphFiles::hostileFilesAreRefused_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("missing");
    const auto row = [](const char* name, int reader, const QByteArray& content) {
        QTest::newRow(name) << reader << content << false;
    };
    QByteArray garbage(4096, Qt::Uninitialized);
    QRandomGenerator random(20240601);
    for (char& c : garbage)
        c = char(random.bounded(256));
    const QByteArray &xrg = m_valid[GraphXml], &brg = m_valid[GraphBinary], &xco = m_valid[IconXml];
    const QByteArray &xtp = m_valid[TemplateXml], &fg = m_valid[DynamicXml];

    for (int r = 0; r < ReaderCount; ++r)
        QTest::addRow("%s: missing file", kExtension[r] + 1) << r << QByteArray() << true;
    row("xrg: empty file", GraphXml, QByteArray());
    row("xrg: cut in half", GraphXml, xrg.left(xrg.size() / 2));
    row("xrg: random bytes", GraphXml, garbage);
    row("xrg: a .brg file", GraphXml, brg);
    row("xrg: an .xco file", GraphXml, xco);
    row("xrg: entity expansion", GraphXml, entityBomb("graph"));
    row("xrg: nested 10,000 deep", GraphXml,
        "<graph format=\"1\">" + QByteArray("<group>").repeated(10000) + QByteArray("</group>").repeated(10000)
            + "</graph>");
    row("xrg: an attribute over the text limit", GraphXml,
        "<graph format=\"1\" name=\"" + QByteArray(GraphLimits::kMaxTextBytes + 1, 'x') + "\"/>");
    row("xrg: format 99", GraphXml, withRootFormat(xrg, "99"));

    row("brg: empty file", GraphBinary, QByteArray());
    row("brg: random bytes", GraphBinary, garbage);
    row("brg: random bytes after a valid header", GraphBinary, Binary().u16(1).data + garbage);
    row("brg: an .xrg file", GraphBinary, xrg);
    row("brg: 4 billion children announced", GraphBinary, Binary().u16(1).str("graph").u16(0).u32(0xFFFFFFF0u).data);
    row("brg: a 4 GB text announced", GraphBinary, Binary().u16(1).u32(0xFFFFFFFFu).data + "graph");
    row("brg: 4 billion points announced", GraphBinary,
        Binary().u16(1).str("graph").u16(1).str("points").u8(4).u32(0xFFFFFFFFu).f64(1).f64(2).data);
    row("brg: version 99", GraphBinary, QByteArray(brg).replace(4, 2, QByteArray("\0\x63", 2)));
    Binary deep;
    deep.u16(1);
    for (int i = 0; i < 10000; ++i)
        deep.str("group").u16(0).u32(i < 9999 ? 1 : 0);
    row("brg: nested 10,000 deep", GraphBinary, deep.data);
    std::unique_ptr<MIconTemplate> icon(makeTemplate(false));
    row("brg: an icon template's tree", GraphBinary, GraphBinaryFormat::Write(icon->ToNode()));

    row("xco: cut in half", IconXml, xco.left(xco.size() / 2));
    row("xco: an .xrg file", IconXml, xrg);
    row("xco: entity expansion", IconXml, entityBomb("icontemplate"));
    row("xco: format 99", IconXml, withRootFormat(xco, "99"));
    row("xtp: cut in half", TemplateXml, xtp.left(xtp.size() / 2));
    row("xtp: an .xco file", TemplateXml, xco);
    row("xtp: format 99", TemplateXml, withRootFormat(xtp, "99"));
    row("fg: cut in half", DynamicXml, fg.left(fg.size() / 2));
    row("fg: an .xrg file", DynamicXml, xrg);
    row("fg: format 99", DynamicXml, withRootFormat(fg, "99"));
}

void tst_GraphFiles::hostileFilesAreRefused()
{
    // Guards against a damaged or malicious file crashing or exhausting a reader, being taken in part
    // over what was loaded before, or being refused without a word.
    QFETCH(int, reader);
    QFETCH(QByteArray, content);
    QFETCH(bool, missing);
    const QString name = QStringLiteral("hostile") + kExtension[reader];
    const QString path = m_tree->path(name);
    QFile::remove(path);
    if (!missing)
        QVERIFY(m_tree->writeFile(name, content));
    const QString valid = validPath(reader);
    WarningLog log;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(path)));
    switch (reader) {
    case GraphXml:
    case GraphBinary: {
        MGraphDoc doc;
        const auto read = [&](const QString& p) {
            return reader == GraphXml ? doc.ReadXmlFile(p) : doc.ReadDataFile(p);
        };
        QVERIFY(read(valid));
        QVERIFY(!read(path));
        QVERIFY(doc.GetName().isEmpty());
        QVERIFY(doc.GetGraphStation(1).isEmpty());
        QVERIFY(doc.GetGraph()->GetObjList().isEmpty());
        QCOMPARE(doc.GetGraph()->IconTemplateNum(), 0);
        break;
    }
    case IconXml: {
        MIconTemplate icon;
        QVERIFY(icon.ReadXmlFile(valid));
        QVERIFY(!icon.ReadXmlFile(path));
        QVERIFY(icon.GetName().isEmpty());
        QVERIFY(icon.GetUuid().isNull());
        QCOMPARE(icon.PatternNum(), 0);
        break;
    }
    case TemplateXml: {
        MHasRelation style(MDrawObj::ObjTemplate);
        QVERIFY(style.LoadFile(valid) && style.Size() > 0);
        QVERIFY(!style.LoadFile(path));
        QCOMPARE(style.Size(), 0);
        QVERIFY(!style.Templates());
        break;
    }
    case DynamicXml: {
        MGraphDoc doc;
        QVERIFY(doc.ReadDynamicDataFile(valid) && !doc.DataDefines().isEmpty());
        QVERIFY(!doc.ReadDynamicDataFile(path));
        QVERIFY(doc.DataDefines().isEmpty());
        break;
    }
    }
    QVERIFY2(log.saw("talmer.graphengine"), "the refusal was not logged on talmer.graphengine");
}

void tst_GraphFiles::everyCutOfABrgIsRefused()
{
    // Guards against a cut-off binary drawing being read past its end or accepted half-read.
    MGraphDoc small;
    buildSmallDrawing(small);
    const QString whole = m_tree->path("small.brg"), cut = m_tree->path("cut.brg");
    QVERIFY(small.WriteDataFile(whole));
    const QByteArray bytes = m_tree->readFile("small.brg");
    MGraphDoc doc;
    for (int length = 0; length < bytes.size(); ++length) {
        QVERIFY(doc.ReadDataFile(whole));
        QVERIFY(m_tree->writeFile("cut.brg", bytes.left(length)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(cut)));
        const QByteArray where = QByteArray::number(length) + " of " + QByteArray::number(bytes.size()) + " bytes";
        QVERIFY2(!doc.ReadDataFile(cut), ("accepted a cut after " + where).constData());
        QVERIFY2(doc.GetName().isEmpty() && doc.GetGraph()->GetObjList().isEmpty()
                     && doc.GetGraph()->IconTemplateNum() == 0,
                 ("content left after a cut after " + where).constData());
    }
}

void tst_GraphFiles::damagedPointListsAreDroppedAlone_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArray>("file");
    const QByteArray xml = "<graph format=\"1\" name=\"damaged\"><objects><line points=\"%1\" penWidth=\"3\"/>"
                           "<rect points=\"0,0 10,20\"/></objects></graph>";
    for (const char* points : {"1,2 x,y", "nan,1", "1,inf", "1;2", "7"})
        QTest::addRow("xrg: \"%s\"", points) << false << QByteArray(xml).replace("%1", points);
    for (const double bad : {qQNaN(), qInf()}) {
        GraphNode root("graph");
        root.set("name", QString("damaged"));
        GraphNode objects("objects"), line("line"), rect("rect");
        line.set("points", QVariant::fromValue(QPolygonF({{1, 2}, {bad, 1}})));
        line.set("penWidth", 3.0);
        rect.set("points", QVariant::fromValue(QPolygonF({{0, 0}, {10, 20}})));
        objects.children = {line, rect};
        root.children.append(objects);
        QTest::addRow("brg: %s point", qIsNaN(bad) ? "a NaN" : "an infinite") << true << GraphBinaryFormat::Write(root);
    }
}

void tst_GraphFiles::damagedPointListsAreDroppedAlone()
{
    // Guards against one bad point list sinking the whole drawing, or non-finite coordinates reaching the model.
    QFETCH(bool, binary);
    QFETCH(QByteArray, file);
    const QString name = binary ? "damaged.brg" : "damaged.xrg";
    QVERIFY(m_tree->writeFile(name, file));
    MGraphDoc doc;
    QVERIFY(binary ? doc.ReadDataFile(m_tree->path(name)) : doc.ReadXmlFile(m_tree->path(name)));
    QCOMPARE(doc.GetName(), QString("damaged"));
    const QList<MDrawObj*>& objects = doc.GetGraph()->GetObjList();
    QCOMPARE(int(objects.size()), 2);
    QCOMPARE(objects[0]->GetPoints(), QPolygonF());
    QCOMPARE(objects[0]->GetPenWidth(), 3.0);
    QCOMPARE(objects[1]->GetPoints(), QPolygonF({{0, 0}, {10, 20}}));
}

void tst_GraphFiles::largeLegalDrawingsRead_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<int>("objects");
    QTest::addColumn<int>("points");
    QTest::newRow("xrg: 20,000 lines") << false << 20000 << 2;
    QTest::newRow("brg: 20,000 lines") << true << 20000 << 2;
    QTest::newRow("xrg: a polygon at the point limit") << false << 1 << GraphLimits::kMaxPoints;
    QTest::newRow("brg: a polygon at the point limit") << true << 1 << GraphLimits::kMaxPoints;
}

void tst_GraphFiles::largeLegalDrawingsRead()
{
    // Guards against reader limits set so low that large real drawings no longer open.
    QFETCH(bool, binary);
    QFETCH(int, objects);
    QFETCH(int, points);
    MGraphDoc doc;
    doc.SetName("large");
    for (int i = 0; i < objects; ++i) {
        QPolygonF polygon;
        for (int p = 0; p < points; ++p)
            polygon << QPointF((i + p) % 1600 + 0.25, (i + p) / 1600 % 900 + 0.5);
        doc.GetGraph()->AddObject(shape(points > 2 ? MDrawObj::ObjPolygon : MDrawObj::ObjLine, polygon));
    }
    const QString path = m_tree->path(binary ? "large.brg" : "large.xrg");
    QVERIFY(binary ? doc.WriteDataFile(path) : doc.WriteXmlFile(path));
    MGraphDoc back;
    QVERIFY(binary ? back.ReadDataFile(path) : back.ReadXmlFile(path));
    QCOMPARE(int(back.GetGraph()->GetObjList().size()), objects);
    QCOMPARE(treeText(back), treeText(doc));
}

void tst_GraphFiles::valuesSurviveBothEncodings_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("text with quotes and markup") << QVariant(QStringLiteral("say \"a<b\" & 'c' > d;"));
    QTest::newRow("Chinese text") << QVariant(QStringLiteral("东郊变 #1主变"));
    QTest::newRow("text with line breaks and a tab") << QVariant(QStringLiteral("第一行\n第二行\r\n\tend"));
    QTest::newRow("text with outer spaces") << QVariant(QStringLiteral("  padded  "));
    QTest::newRow("empty text") << QVariant(QString(""));
    QTest::newRow("double 0.1") << QVariant(0.1);
    QTest::newRow("double 0.1 + 0.2") << QVariant(0.1 + 0.2);
    QTest::newRow("double 1e300") << QVariant(1e300);
    QTest::newRow("negative double") << QVariant(-2.5);
    QTest::newRow("tiny negative double") << QVariant(-1e-300);
    QTest::newRow("largest double") << QVariant(DBL_MAX);
    QTest::newRow("double zero") << QVariant(0.0);
    QTest::newRow("int zero") << QVariant(0);
    QTest::newRow("negative int") << QVariant(-1);
    QTest::newRow("largest int") << QVariant(INT_MAX);
    QTest::newRow("smallest int") << QVariant(INT_MIN);
    QTest::newRow("true") << QVariant(true);
    QTest::newRow("false") << QVariant(false);
    QTest::newRow("polygon") << QVariant::fromValue(QPolygonF({{0.1, -2.5}, {1e300, -1e-300}, {1600, 900}}));
    QTest::newRow("empty polygon") << QVariant::fromValue(QPolygonF());
    QTest::newRow("colour with alpha") << QVariant(QColor(255, 0, 0, 128));
    QTest::newRow("opaque colour") << QVariant(QColor(16, 32, 48));
    QTest::newRow("transparent colour") << QVariant(QColor(1, 2, 3, 0));
}

void tst_GraphFiles::valuesSurviveBothEncodings()
{
    // Guards against a value changing, losing precision or making the file unreadable in either encoding.
    QFETCH(QVariant, value);
    GraphNode root("root");
    root.set("before", 1);
    root.set("value", value);
    root.set("after", QString("end"));
    GraphNode child("child");
    child.set("value", value);
    root.children.append(child);
    GraphNode fromXml, fromBinary;
    QString error;
    QVERIFY2(GraphXmlFormat::Read(GraphXmlFormat::Write(root), "root", fromXml, &error), qPrintable(error));
    QVERIFY2(GraphBinaryFormat::Read(GraphBinaryFormat::Write(root), fromBinary, &error), qPrintable(error));
    const GraphNode* readBack[] = {&fromXml, &fromBinary, fromXml.child("child"), fromBinary.child("child")};
    for (const GraphNode* back : readBack) {
        QVERIFY(back);
        const QString why = mismatch(value, back->value("value"));
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QCOMPARE(int(back->values.size()), back->name == "root" ? 3 : 1);
    }
    QCOMPARE(fromBinary.value("value").typeId(), value.typeId());
    QCOMPARE(GraphValue::text(fromXml.value("after")), QString("end"));
}

void tst_GraphFiles::textXmlCannotCarryIsNotAlteredSilently()
{
    // Guards against a label with characters XML 1.0 cannot hold (pasted control codes) being saved
    // as a different label without a word: the .xrg must keep it or be refused.
    const QString odd = QStringLiteral("bell\u0007 escape\u001b end");
    MGraphDoc doc;
    doc.GetGraph()->AddObject(label(odd, {{0, 0}, {10, 10}}));
    const QString brg = m_tree->path("odd.brg"), xrg = m_tree->path("odd.xrg");
    MGraphDoc back;
    QVERIFY(doc.WriteDataFile(brg) && back.ReadDataFile(brg));
    QCOMPARE(static_cast<const MTextObj*>(back.GetGraph()->GetObjList().constFirst())->GetText(), odd);
    if (!doc.WriteXmlFile(xrg)) {
        QVERIFY(!QFile::exists(xrg));
        return;
    }
    QVERIFY(back.ReadXmlFile(xrg));
    QCOMPARE(int(back.GetGraph()->GetObjList().size()), 1);
    QCOMPARE(static_cast<const MTextObj*>(back.GetGraph()->GetObjList().constFirst())->GetText(), odd);
}

void tst_GraphFiles::treeShapeSurvivesBothEncodings()
{
    // Guards against an encoding reordering or dropping values or children, or misjudging the depth limit.
    GraphNode root("graph");
    root.set("z", 1);
    root.set("a", QString("two"));
    for (int i = 0; i < 3; ++i) {
        GraphNode child(i == 1 ? "empty" : "item");
        if (i != 1) {
            child.set("index", i);
            child.children.append(GraphNode(QStringLiteral("leaf%1").arg(i)));
        }
        root.children.append(child);
    }
    const auto bothRead = [](const GraphNode& tree, GraphNode& fromXml, GraphNode& fromBinary) {
        return GraphXmlFormat::Read(GraphXmlFormat::Write(tree), tree.name, fromXml)
            && GraphBinaryFormat::Read(GraphBinaryFormat::Write(tree), fromBinary);
    };
    GraphNode fromXml, fromBinary;
    QVERIFY(bothRead(root, fromXml, fromBinary));
    QCOMPARE(GraphXmlFormat::Write(fromXml), GraphXmlFormat::Write(root));
    QCOMPARE(GraphBinaryFormat::Write(fromBinary), GraphBinaryFormat::Write(root));

    // A chain exactly as deep as allowed reads in both encodings; one level more in neither.
    GraphNode chain("n");
    for (int depth = 1; depth < GraphLimits::kMaxDepth; ++depth) {
        GraphNode parent("n");
        parent.children.append(chain);
        chain = parent;
    }
    QVERIFY(bothRead(chain, fromXml, fromBinary));
    GraphNode deeper("n");
    deeper.children.append(chain);
    QVERIFY(!GraphXmlFormat::Read(GraphXmlFormat::Write(deeper), "n", fromXml));
    QVERIFY(!GraphBinaryFormat::Read(GraphBinaryFormat::Write(deeper), fromBinary));
}

TALMER_TEST_MAIN(tst_GraphFiles)
#include "tst_graphfiles.moc"
