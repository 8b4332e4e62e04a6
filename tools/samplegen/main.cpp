// Writes the engine's sample set: a dozen icons with several looks each, three
// one-line diagrams (a substation, a feeder, an overview) and two templates,
// with a manifest that says what each file is. The files are committed in
// src/platform/graphengine/samples; run this after changing a sample:
//   samplegen src/platform/graphengine/samples
// and look at a drawing, a template or an icon's looks as a picture:
//   samplegen --render FILE.xrg|FILE.xtp|FILE.xco OUT.png
#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QUuid>

#include <cmath>
#include <map>
#include <memory>

#include "graphfile.h"
#include "graphimage.h"
#include "mdisplaypattern.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "mtextobj.h"

namespace {

const QColor kLive(0xff, 0x30, 0x30);      // energised, closed
const QColor kOpen(0x30, 0xd0, 0x60);      // open
const QColor kDead(0x80, 0x80, 0x80);      // de-energised
const QColor kWarn(0xff, 0xd0, 0x20);      // fault, alarm
const QColor kLabel(0xe8, 0xe8, 0xe8);

// ---- figures ------------------------------------------------------------------

MDrawObj* figure(int type, const QPolygonF& points, const QColor& pen, double width,
                 const QColor& brush = Qt::transparent)
{
    auto* shape = new MShapeObj(type);
    shape->SetPoints(points);
    shape->SetPenColor(pen);
    shape->SetPenWidth(width);
    shape->SetBrushColor(brush);
    return shape;
}

MDrawObj* line(double x1, double y1, double x2, double y2, const QColor& pen, double width = 2)
{
    return figure(MDrawObj::ObjLine, {QPointF(x1, y1), QPointF(x2, y2)}, pen, width);
}

MDrawObj* rect(double x, double y, double w, double h, const QColor& pen, const QColor& brush = Qt::transparent)
{
    return figure(MDrawObj::ObjRect, {QPointF(x, y), QPointF(x + w, y + h)}, pen, 2, brush);
}

MDrawObj* ellipse(double cx, double cy, double rx, double ry, const QColor& pen, double width = 2,
                  const QColor& brush = Qt::transparent)
{
    return figure(MDrawObj::ObjEllipse, {QPointF(cx - rx, cy - ry), QPointF(cx + rx, cy + ry)}, pen, width, brush);
}

MDrawObj* polygon(const QPolygonF& points, const QColor& color)
{
    return figure(MDrawObj::ObjPolygon, points, color, 1, color);
}

MTextObj* text(double x, double y, double w, double h, const QString& content, double size = 12,
               const QColor& color = kLabel)
{
    auto* t = new MTextObj;
    t->SetPoints({QPointF(x, y), QPointF(x + w, y + h)});
    t->SetText(content);
    t->SetFontSize(size);
    t->SetPenColor(color);
    return t;
}

// ---- icons --------------------------------------------------------------------

struct IconSpec
{
    QString catalog;  // the icon type: its folder in the library
    int catId;
    QString name;
    QSizeF size;
    int shapeType;    // 0 a box, 1 a line
    // pattern name -> figures
    std::vector<std::pair<QString, std::vector<MDrawObj*>>> patterns;
};

QUuid sampleUuid(const QString& name)
{
    static const QUuid space("{6f0c1f7e-52a4-4d4e-9a55-3b1d8c0f2a11}");
    return QUuid::createUuidV5(space, name);
}

MIconTemplate* makeTemplate(IconSpec spec)
{
    auto* t = new MIconTemplate(sampleUuid(spec.catalog + "/" + spec.name), nullptr);
    t->SetName(spec.name);
    t->SetCatalogName(spec.catalog);
    t->SetCatalogId(spec.catId);
    t->SetIconShapeType(spec.shapeType);
    t->SetDefaultSize(spec.size);
    for (auto& [patternName, shapes] : spec.patterns) {
        auto* pattern = new MDisplayPattern(patternName);
        for (MDrawObj* shape : shapes)
            pattern->AddShape(shape);
        t->AddPattern(pattern);
    }
    return t;
}

std::vector<IconSpec> iconSpecs()
{
    auto breaker = [](const QColor& c, bool filled, bool cross) {
        std::vector<MDrawObj*> s{line(10, 0, 10, 6, c), rect(3, 6, 14, 18, c, filled ? c : Qt::transparent),
                                 line(10, 24, 10, 30, c)};
        if (cross) {
            s.push_back(line(3, 6, 17, 24, kWarn));
            s.push_back(line(17, 6, 3, 24, kWarn));
        }
        return s;
    };
    auto disconnector = [](const QColor& c, bool closed) {
        return std::vector<MDrawObj*>{line(10, 0, 10, 8, c), line(4, 8, 16, 8, c, 2.5),
                                      closed ? line(10, 8, 10, 22, c, 2.5) : line(10, 22, 2, 10, c, 2.5),
                                      ellipse(10, 22, 2, 2, c, 1, c), line(10, 22, 10, 30, c)};
    };
    auto transformer2 = [](const QColor& hv, const QColor& lv) {
        return std::vector<MDrawObj*>{line(15, 0, 15, 6, hv), ellipse(15, 17, 11, 11, hv),
                                      ellipse(15, 31, 11, 11, lv), line(15, 42, 15, 48, lv)};
    };
    auto transformer3 = [](const QColor& c) {
        return std::vector<MDrawObj*>{ellipse(24, 15, 11, 11, c), ellipse(17, 29, 11, 11, c),
                                      ellipse(31, 29, 11, 11, c), line(24, 0, 24, 4, c),
                                      line(9, 36, 2, 48, c), line(39, 36, 46, 48, c)};
    };
    auto busbar = [](const QColor& c) {
        return std::vector<MDrawObj*>{figure(MDrawObj::ObjRect, {QPointF(0, 1), QPointF(100, 7)}, c, 1, c)};
    };
    auto feederLine = [](const QColor& c) {
        return std::vector<MDrawObj*>{line(5, 0, 5, 48, c, 3),
                                      polygon({QPointF(5, 60), QPointF(0, 46), QPointF(10, 46)}, c)};
    };
    auto load = [](const QColor& c) {
        return std::vector<MDrawObj*>{line(10, 0, 10, 14, c), polygon({QPointF(10, 30), QPointF(2, 14), QPointF(18, 14)}, c)};
    };
    auto generator = [](const QColor& c, const QColor& wave) {
        auto* sine = new MShapeObj(MDrawObj::ObjLine);
        QPolygonF points;
        for (int i = 0; i <= 16; ++i)
            points << QPointF(8 + i * 1.5, 20 - 7 * std::sin(i * M_PI / 8));
        sine->SetPoints(points);
        sine->SetPenColor(wave);
        sine->SetPenWidth(2);
        return std::vector<MDrawObj*>{line(20, 0, 20, 4, c), ellipse(20, 21, 16, 16, c), sine};
    };
    auto capacitor = [](const QColor& c) {
        return std::vector<MDrawObj*>{line(15, 0, 15, 11, c), line(4, 11, 26, 11, c, 3), line(4, 17, 26, 17, c, 3),
                                      line(15, 17, 15, 24, c), line(8, 27, 22, 27, c)};
    };
    auto ground = [](const QColor& c) {
        return std::vector<MDrawObj*>{line(12, 0, 12, 10, c), line(2, 10, 22, 10, c), line(6, 15, 18, 15, c),
                                      line(10, 20, 14, 20, c)};
    };
    auto station = [](const QColor& frame, const QColor& fill) {
        return std::vector<MDrawObj*>{rect(2, 2, 36, 36, frame, fill), ellipse(20, 15, 7, 7, frame),
                                      ellipse(20, 25, 7, 7, frame)};
    };
    auto protection = [](const QColor& c, const QColor& bolt) {
        return std::vector<MDrawObj*>{
            polygon({QPointF(12, 1), QPointF(23, 5), QPointF(21, 20), QPointF(12, 29), QPointF(3, 20), QPointF(1, 5)}, c),
            polygon({QPointF(14, 6), QPointF(8, 16), QPointF(12, 16), QPointF(10, 24), QPointF(16, 13), QPointF(12, 13)},
                    bolt)};
    };
    return {
        {"breaker", 2, QString::fromUtf8("断路器"), {20, 30}, 0,
         {{"open", breaker(kOpen, false, false)}, {"closed", breaker(kLive, true, false)},
          {"fault", breaker(kWarn, false, true)}}},
        {"disconnector", 1, QString::fromUtf8("隔离开关"), {20, 30}, 0,
         {{"open", disconnector(kOpen, false)}, {"closed", disconnector(kLive, true)}}},
        {"transformer2", 3, QString::fromUtf8("两卷变"), {30, 48}, 0,
         {{"energised", transformer2(kLive, kWarn)}, {"dead", transformer2(kDead, kDead)}}},
        {"transformer3", 4, QString::fromUtf8("三卷变"), {48, 48}, 0,
         {{"energised", transformer3(kLive)}, {"dead", transformer3(kDead)}}},
        {"busbar", 5, QString::fromUtf8("母线"), {100, 8}, 1,
         {{"energised", busbar(kLive)}, {"dead", busbar(kDead)}}},
        {"line", 6, QString::fromUtf8("出线"), {10, 60}, 1,
         {{"energised", feederLine(kLive)}, {"dead", feederLine(kDead)}}},
        {"load", 7, QString::fromUtf8("负荷"), {20, 30}, 0, {{"supplied", load(kLive)}, {"dead", load(kDead)}}},
        {"generator", 8, QString::fromUtf8("发电机"), {40, 40}, 0,
         {{"running", generator(kLive, kWarn)}, {"stopped", generator(kDead, kDead)}}},
        {"capacitor", 10, QString::fromUtf8("电容器"), {30, 30}, 0,
         {{"in", capacitor(kLive)}, {"out", capacitor(kOpen)}}},
        {"ground", 13, QString::fromUtf8("接地刀闸"), {24, 24}, 0,
         {{"applied", ground(kWarn)}, {"removed", ground(kDead)}}},
        {"station", 12, QString::fromUtf8("变电站"), {40, 40}, 0,
         {{"normal", station(kLive, QColor(0x18, 0x1c, 0x2c))}, {"alarm", station(kWarn, QColor(0x60, 0x40, 0x00))}}},
        {"protection", 29, QString::fromUtf8("保护装置"), {24, 30}, 0,
         {{"normal", protection(kOpen, Qt::white)}, {"tripped", protection(kLive, kWarn)}}},
    };
}

// ---- pictures -----------------------------------------------------------------

class Drawing
{
public:
    Drawing(const QString& name, const QString& typeName, int typeId,
            const std::map<QString, MIconTemplate*>& library)
        : m_library(library)
    {
        m_doc.SetName(name);
        QString type = typeName;
        m_doc.SetGraphType(type, typeId);
        m_doc.SetSize(QSizeF(1600, 900));
        m_doc.SetBackground(QColor(0x10, 0x14, 0x20));
    }

    MIconObj* icon(const QString& catalog, double x, double y, double w, double h, int pattern = 0,
                   const QString& path = {}, const QString& label = {})
    {
        MIconTemplate* own = m_doc.GetGraph()->AddIconTemplate(new MIconTemplate(*m_library.at(catalog)));
        MIconObj* obj = own->NewObj(label);
        obj->SetPoints({QPointF(x, y), QPointF(x + w, y + h)});
        obj->Symbol()->SetCurrentIndex(pattern);
        if (!path.isEmpty()) {
            obj->SetPath(path);
            obj->SetOid(QString::number(qHash(path) % 100000000));
        }
        m_doc.GetGraph()->AddObject(obj);
        return obj;
    }
    void add(MDrawObj* obj) { m_doc.GetGraph()->AddObject(obj); }
    MGraphDoc& doc() { return m_doc; }

private:
    const std::map<QString, MIconTemplate*>& m_library;
    MGraphDoc m_doc;
};

// One bay from a busbar downwards: disconnector, breaker, outgoing line.
void feederBay(Drawing& d, const QString& station, double x, double busY, const QString& number, const QString& name)
{
    const QString base = "/" + station + "/10kV/" + number;
    d.add(line(x, busY + 8, x, busY + 30, kLive));
    d.icon("disconnector", x - 10, busY + 30, 20, 30, 1, base + QString::fromUtf8("刀闸"));
    d.add(line(x, busY + 60, x, busY + 80, kLive));
    d.icon("breaker", x - 10, busY + 80, 20, 30, number.endsWith('3') ? 0 : 1, base + QString::fromUtf8("开关"));
    d.add(line(x, busY + 110, x, busY + 140, kLive));
    MIconObj* out = d.icon("line", x - 5, busY + 140, 10, 60, 0, base + QString::fromUtf8("线路"));
    out->SetPoints({QPointF(x - 5, busY + 140), QPointF(x + 5, busY + 200)});
    d.add(text(x - 50, busY + 205, 100, 20, name));
    d.add(text(x + 12, busY + 85, 40, 20, number, 10));
}

void substation(Drawing& d)
{
    const QString station = QString::fromUtf8("北京变电站");
    d.doc().SetGraphStation(station, 1);
    d.add(text(500, 20, 600, 40, station + QString::fromUtf8(" 一次接线图"), 20, Qt::white));
    MIconObj* symbol = d.icon("station", 40, 20, 40, 40, 0, {}, station);
    symbol->SetCustomType(1);
    symbol->SetStationName(station);
    MIconObj* jump = d.icon("station", 1480, 20, 40, 40, 0, {}, QString::fromUtf8("返回 '全网总览'"));
    jump->SetCustomType(2);
    d.add(text(1380, 62, 240, 20, QString::fromUtf8("返回总览"), 10));

    // Incoming 110 kV line down to the 110 kV busbar.
    const QString hv = "/" + station + "/110kV/";
    d.icon("line", 795, 80, 10, 60, 0, hv + QString::fromUtf8("京城一线"));
    d.add(text(820, 90, 120, 20, QString::fromUtf8("京城一线")));
    d.icon("disconnector", 790, 140, 20, 30, 1, hv + QString::fromUtf8("1011刀闸"));
    d.icon("breaker", 790, 170, 20, 30, 1, hv + QString::fromUtf8("101开关"));
    d.add(line(800, 200, 800, 220, kLive));
    MIconObj* hvBus = d.icon("busbar", 300, 220, 1000, 8, 0, hv + QString::fromUtf8("I母"));
    hvBus->SetPoints({QPointF(300, 220), QPointF(1300, 228)});
    d.add(text(200, 212, 90, 20, "110kV I", 11));

    // Transformer between the busbars.
    d.add(line(600, 228, 600, 250, kLive));
    d.icon("disconnector", 590, 250, 20, 30, 1, hv + QString::fromUtf8("1016刀闸"));
    d.icon("breaker", 590, 280, 20, 30, 1, hv + QString::fromUtf8("1号主变高压侧开关"));
    d.icon("transformer2", 585, 320, 30, 48, 0, "/" + station + QString::fromUtf8("/1号主变"));
    d.add(text(625, 330, 90, 20, QString::fromUtf8("1号主变")));
    d.icon("breaker", 590, 380, 20, 30, 1, "/" + station + QString::fromUtf8("/10kV/901开关"));
    d.add(line(600, 410, 600, 430, kLive));
    d.icon("protection", 640, 380, 24, 30, 0, "/" + station + QString::fromUtf8("/1号主变保护"));
    MIconObj* lvBus = d.icon("busbar", 300, 430, 1000, 8, 0, "/" + station + QString::fromUtf8("/10kV/I母"));
    lvBus->SetPoints({QPointF(300, 430), QPointF(1300, 438)});
    d.add(text(200, 422, 90, 20, "10kV I", 11));

    feederBay(d, station, 450, 430, "911", QString::fromUtf8("东城线"));
    feederBay(d, station, 700, 430, "912", QString::fromUtf8("西城线"));
    feederBay(d, station, 950, 430, "913", QString::fromUtf8("城东线"));
    d.add(line(1150, 438, 1150, 470, kLive));
    d.icon("capacitor", 1135, 470, 30, 30, 0, "/" + station + QString::fromUtf8("/10kV/1号电容器"));
    d.icon("ground", 1180, 470, 24, 24, 1, "/" + station + QString::fromUtf8("/10kV/9117接地刀闸"));
}

void feeder(Drawing& d)
{
    const QString name = QString::fromUtf8("城东线");
    d.add(text(550, 20, 500, 40, name + QString::fromUtf8(" 馈线图"), 20, Qt::white));
    d.icon("breaker", 90, 300, 20, 30, 1, QString::fromUtf8("/北京变电站/10kV/913开关"));
    d.add(text(60, 335, 80, 20, QString::fromUtf8("913开关")));
    d.add(line(110, 315, 1500, 315, kLive, 3));
    for (int i = 0; i < 5; ++i) {
        const double x = 300 + i * 250;
        const QString tap = QString::fromUtf8("/城东线/%1号支线").arg(i + 1);
        d.add(line(x, 315, x, 360, kLive));
        d.icon("disconnector", x - 10, 360, 20, 30, i == 3 ? 0 : 1, tap + QString::fromUtf8("刀闸"));
        d.add(line(x, 390, x, 420, i == 3 ? kDead : kLive));
        d.icon("load", x - 10, 420, 20, 30, i == 3 ? 1 : 0, tap + QString::fromUtf8("负荷"));
        d.add(text(x - 60, 455, 120, 20, QString::fromUtf8("%1号支线").arg(i + 1)));
    }
    d.add(line(1000, 315, 1000, 250, kLive));
    d.icon("capacitor", 985, 220, 30, 30, 0, QString::fromUtf8("/城东线/补偿电容"));
}

void overview(Drawing& d)
{
    d.add(text(600, 20, 400, 40, QString::fromUtf8("全网总览"), 22, Qt::white));
    const std::vector<std::pair<QString, QPointF>> stations{
        {QString::fromUtf8("北京变电站"), QPointF(400, 300)}, {QString::fromUtf8("朝阳站"), QPointF(900, 200)},
        {QString::fromUtf8("厦门站"), QPointF(1200, 550)},    {QString::fromUtf8("长沙站"), QPointF(600, 650)}};
    const std::vector<std::pair<int, int>> lines{{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 2}};
    for (const auto& [from, to] : lines)
        d.add(line(stations[from].second.x(), stations[from].second.y(), stations[to].second.x(),
                   stations[to].second.y(), kLive, 3));
    for (const auto& [name, at] : stations) {
        MIconObj* symbol = d.icon("station", at.x() - 30, at.y() - 30, 60, 60, name.startsWith(QString::fromUtf8("厦")) ? 1 : 0,
                                  "/" + name, name);
        symbol->SetCustomType(1);
        symbol->SetStationName(name);
        d.add(text(at.x() - 80, at.y() + 34, 160, 20, name, 12));
    }
    d.icon("generator", 1350, 150, 40, 40, 0, QString::fromUtf8("/厦门站/1号机"));
}

// ---- templates ----------------------------------------------------------------

void addTemplateIcon(MHasRelation& container, MIconTemplate* libraryIcon, const QRectF& at, int pattern)
{
    MIconTemplate* own = container.TemplateStore()->AddIconTemplate(new MIconTemplate(*libraryIcon));
    MIconObj* obj = own->NewObj("");
    obj->SetPoints({at.topLeft(), at.bottomRight()});
    obj->Symbol()->SetCurrentIndex(pattern);
    container.AddMember(obj);
}

bool writeTemplates(const QDir& out, const std::map<QString, MIconTemplate*>& library, QJsonArray& manifest)
{
    bool ok = out.mkpath("template/style");
    {
        MHasRelation bay(MDrawObj::ObjTemplate);
        bay.AddMember(line(20, 0, 20, 20, kLive));
        addTemplateIcon(bay, library.at("disconnector"), QRectF(10, 20, 20, 30), 1);
        bay.AddMember(line(20, 50, 20, 60, kLive));
        addTemplateIcon(bay, library.at("breaker"), QRectF(10, 60, 20, 30), 1);
        bay.AddMember(line(20, 90, 20, 100, kLive));
        addTemplateIcon(bay, library.at("line"), QRectF(15, 100, 10, 60), 0);
        bay.AddMember(text(-20, 165, 80, 20, QString::fromUtf8("出线名称")));
        ok = ok && bay.SaveFile(out.filePath(QString::fromUtf8("template/style/出线间隔.xtp")));
    }
    {
        MHasRelation title(MDrawObj::ObjTemplate);
        title.AddMember(rect(0, 0, 400, 80, kLabel));
        title.AddMember(line(0, 40, 400, 40, kLabel, 1));
        title.AddMember(line(120, 0, 120, 80, kLabel, 1));
        title.AddMember(text(0, 0, 120, 40, QString::fromUtf8("图名"), 12));
        title.AddMember(text(0, 40, 120, 40, QString::fromUtf8("日期"), 12));
        title.AddMember(text(120, 0, 280, 40, QString::fromUtf8("一次接线图"), 14));
        title.AddMember(text(120, 40, 280, 40, "2026-12-08", 12));
        ok = ok && title.SaveFile(out.filePath(QString::fromUtf8("template/style/标题栏.xtp")));
    }
    for (const QString& name : {QString::fromUtf8("出线间隔"), QString::fromUtf8("标题栏")})
        manifest.append(QJsonObject{{"typeName", "style_template"}, {"alias", "style"}, {"name", name},
                                    {"file", "template/style/" + name + ".xtp"}});
    return ok;
}

// The resource list that embeds the sample set in the engine library, under
// ":/graphengine/samples/".
bool writeResourceList(const QDir& out, const std::vector<QJsonArray>& lists)
{
    QStringList files{"manifest.json"};
    for (const QJsonArray& list : lists) {
        for (const QJsonValue& entry : list)
            files << entry.toObject().value("file").toString();
    }
    files.sort();
    QString qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/graphengine/samples\">\n";
    for (const QString& file : files)
        qrc += "    <file>" + file.toHtmlEscaped() + "</file>\n";
    qrc += "</qresource>\n</RCC>\n";
    return GraphFile::Write(out.filePath("samples.qrc"), qrc.toUtf8());
}

// The scale that draws content of size at nominal times its size within the
// bounded render size.
double renderScale(const QSizeF& size, double nominal)
{
    const double bound = GraphImage::kMaxRenderSide;
    return nominal * GraphImage::FitScale(size * nominal, QSizeF(bound, bound));
}

// Paints a drawing, a template or all looks of an icon into a PNG file, scaled
// down where the file declares a size larger than a render may be.
bool render(const QString& file, const QString& png)
{
    QImage image;
    if (file.endsWith(".xrg")) {
        MGraphDoc doc;
        if (!doc.ReadXmlFile(file))
            return false;
        const double scale = renderScale(doc.GetSize(), 1);
        image = QImage((doc.GetSize() * scale).toSize(), QImage::Format_ARGB32);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        doc.Render(&p, true);
    } else if (file.endsWith(".xtp")) {
        MHasRelation container(MDrawObj::ObjTemplate);
        if (!container.LoadFile(file))
            return false;
        const QRectF r = container.BoundingRect().adjusted(-10, -10, 10, 10);
        const double scale = renderScale(r.size(), 2);
        image = QImage((r.size() * scale).toSize(), QImage::Format_ARGB32);
        image.fill(QColor(0x10, 0x14, 0x20));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        p.translate(-r.topLeft());
        container.DrawShape(&p);
    } else {
        MIconTemplate t;
        if (!t.ReadXmlFile(file))
            return false;
        const QSizeF size = t.GetDefaultSize();
        const double scale = renderScale(QSizeF(size.width() * t.PatternNum(), size.height()), 4);
        image = QImage(int(size.width() * scale * t.PatternNum() + 10), int(size.height() * scale + 10),
                       QImage::Format_ARGB32);
        image.fill(QColor(0x10, 0x14, 0x20));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        std::unique_ptr<MIconObj> obj(t.NewObj(""));
        obj->SetPoints({QPointF(0, 0), QPointF(size.width() * scale, size.height() * scale)});
        for (int i = 0; i < t.PatternNum(); ++i) {
            obj->Symbol()->SetCurrentIndex(i);
            p.save();
            p.translate(5 + (i + 0.5) * size.width() * scale, 5 + size.height() * scale / 2);
            obj->Draw(&p);
            p.restore();
        }
    }
    // Encoded in memory, so that the file is replaced only when whole.
    QByteArray data;
    QBuffer buffer(&data);
    return !image.isNull() && buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG")
           && GraphFile::Write(png, data);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2 && app.arguments().size() != 4) {
        err << "usage: samplegen OUTPUT_DIR | --render FILE OUT.png\n";
        return 2;
    }
    if (app.arguments().size() == 4 && app.arguments().at(1) == "--render")
        return render(app.arguments().at(2), app.arguments().at(3)) ? 0 : 1;
    const QDir out(app.arguments().at(1));
    bool ok = true;
    QJsonArray icons, pictures, templates;

    std::map<QString, MIconTemplate*> library;
    for (IconSpec& spec : iconSpecs()) {
        MIconTemplate* t = makeTemplate(spec);
        library[spec.catalog] = t;
        const QString file = "icon/" + spec.catalog + "/" + t->GetUuid().toString() + ".xco";
        ok = ok && out.mkpath("icon/" + spec.catalog) && t->WriteXmlFile(out.filePath(file));
        icons.append(QJsonObject{{"catalog", spec.catalog}, {"catId", spec.catId}, {"shapeType", spec.shapeType},
                                 {"name", spec.name}, {"uuid", t->GetUuid().toString()}, {"file", file}});
    }

    struct PictureSpec
    {
        QString file, name, typeName;
        int typeId;
        void (*draw)(Drawing&);
    };
    const PictureSpec specs[] = {
        {"pic/beijing_station.xrg", QString::fromUtf8("北京变电站"), "station", 2, substation},
        {"pic/chengdong_feeder.xrg", QString::fromUtf8("城东线"), "feeder", 9, feeder},
        {"pic/overview.xrg", QString::fromUtf8("全网总览"), "overview", 8, overview},
    };
    ok = ok && out.mkpath("pic");
    for (const PictureSpec& spec : specs) {
        Drawing d(spec.name, spec.typeName, spec.typeId, library);
        spec.draw(d);
        ok = ok && d.doc().WriteXmlFile(out.filePath(spec.file));
        pictures.append(QJsonObject{{"file", spec.file}, {"name", spec.name}, {"typeName", spec.typeName},
                                    {"typeId", spec.typeId}});
    }
    ok = ok && writeTemplates(out, library, templates);
    for (auto& [catalog, t] : library)
        delete t;

    const QJsonObject manifest{{"icons", icons}, {"pictures", pictures}, {"templates", templates}};
    ok = ok && GraphFile::Write(out.filePath("manifest.json"), QJsonDocument(manifest).toJson());
    ok = ok && writeResourceList(out, {icons, pictures, templates});
    if (!ok)
        err << "samplegen: could not write the sample set to " << out.path() << "\n";
    return ok ? 0 : 1;
}
