#include <QImage>
#include <QPainter>
#include <memory>

#include "mdisplaypattern.h"
#include "mdrawobjfactory.h"
#include "mhasrelation.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "mtextobj.h"
#include "testmain.h"

namespace {

// Draws obj onto a transparent 100 x 100 image, in drawing coordinates.
QImage paint(const MDrawObj& obj, bool centred = false)
{
    QImage image(100, 100, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (centred) {
        p.translate(50, 50);
        obj.Draw(&p);
    } else {
        obj.DrawShape(&p);
    }
    return image;
}

bool inked(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y)) > 128;
}

MShapeObj* shape(int type, const QPolygonF& points, const QColor& brush = Qt::transparent)
{
    auto* s = new MShapeObj(type);
    s->SetPoints(points);
    s->SetPenColor(Qt::red);
    s->SetPenWidth(2);
    s->SetBrushColor(brush);
    return s;
}

} // namespace

class tst_Drawing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shapesDrawWhereTheirPointsAre_data();
    void shapesDrawWhereTheirPointsAre();
    void drawCentresTheObject();
    void placementOperations();
    void iconsStretchTheirPattern();
    void groupsMoveTheirMembers();
    void factoryKnowsEveryType();
};

void tst_Drawing::shapesDrawWhereTheirPointsAre_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QPoint>("inside");   // a pixel the figure covers
    QTest::addColumn<QPoint>("outside");  // one it leaves alone
    // All from the points (20, 20) and (80, 60); the polygon adds (20, 60).
    QTest::newRow("line") << int(MDrawObj::ObjLine) << QPoint(50, 40) << QPoint(50, 55);
    QTest::newRow("rect") << int(MDrawObj::ObjRect) << QPoint(50, 59) << QPoint(50, 40);
    QTest::newRow("filled rect") << int(MDrawObj::ObjRect) << QPoint(50, 40) << QPoint(85, 40);
    QTest::newRow("ellipse") << int(MDrawObj::ObjEllipse) << QPoint(50, 20) << QPoint(22, 22);
    QTest::newRow("polygon") << int(MDrawObj::ObjPolygon) << QPoint(30, 50) << QPoint(70, 30);
}

void tst_Drawing::shapesDrawWhereTheirPointsAre()
{
    // Guards against figures drawn at another place or size than their points say.
    QFETCH(int, type);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    QPolygonF points{QPointF(20, 20), QPointF(80, 60)};
    if (type == MDrawObj::ObjPolygon)
        points << QPointF(20, 60);
    const bool filled = QTest::currentDataTag() == QByteArray("filled rect") || type == MDrawObj::ObjPolygon;
    std::unique_ptr<MDrawObj> obj(shape(type, points, filled ? QColor(Qt::blue) : QColor(Qt::transparent)));
    const QImage image = paint(*obj);
    QVERIFY(inked(image, inside.x(), inside.y()));
    QVERIFY(!inked(image, outside.x(), outside.y()));
    QCOMPARE(obj->IsLineType(), type == MDrawObj::ObjLine);
}

void tst_Drawing::drawCentresTheObject()
{
    // Guards against icon pictures and previews that put objects off-centre.
    std::unique_ptr<MDrawObj> rect(shape(MDrawObj::ObjRect, {QPointF(200, 300), QPointF(240, 320)}, Qt::blue));
    QCOMPARE(rect->Position(), QPointF(220, 310));
    const QImage image = paint(*rect, true);
    QVERIFY(inked(image, 50, 50));
    QVERIFY(inked(image, 31, 41));
    QVERIFY(!inked(image, 50, 25));
    QVERIFY(!inked(image, 75, 50));
}

void tst_Drawing::placementOperations()
{
    // Guards against line-shaped objects losing their size or place when placed by the two operations.
    std::unique_ptr<MDrawObj> bus(shape(MDrawObj::ObjLine, {QPointF(10, 5), QPointF(30, 5)}));
    bus->SetSize(60, 0, false);
    QCOMPARE(bus->BoundingRect(), QRectF(10, 5, 60, 0));
    bus->SetPosition(50, 50, false);
    QCOMPARE(bus->Position(), QPointF(50, 50));
    bus->SetPosition(5, -5, true);
    QCOMPARE(bus->Position(), QPointF(55, 45));
    std::unique_ptr<MDrawObj> box(shape(MDrawObj::ObjRect, {QPointF(0, 0), QPointF(20, 10)}));
    box->SetSize(40, 40, true);
    QCOMPARE(box->BoundingRect().size(), QSizeF(40, 20));
}

void tst_Drawing::iconsStretchTheirPattern()
{
    // Guards against icons drawn at their default size whatever space they were given, or in the wrong look.
    MIconTemplate t(QUuid::createUuid(), nullptr);
    t.SetDefaultSize(QSizeF(10, 10));
    for (const QColor& color : {QColor(Qt::red), QColor(Qt::green)}) {
        auto* pattern = new MDisplayPattern;
        pattern->AddShape(shape(MDrawObj::ObjRect, {QPointF(0, 0), QPointF(10, 10)}, color));
        t.AddPattern(pattern);
    }
    std::unique_ptr<MIconObj> icon(t.NewObj("label"));
    QCOMPARE(icon->GetText(), QString("label"));
    QCOMPARE(icon->BoundingRect(), QRectF(0, 0, 10, 10));
    icon->SetPoints({QPointF(10, 10), QPointF(90, 50)});
    icon->Symbol()->SetCurrentPatternPtr(icon->Symbol()->PatternAt(1));
    QImage image = paint(*icon);
    QCOMPARE(image.pixelColor(50, 30), QColor(Qt::green)); // the brush, inside the (stretched) pen
    QVERIFY(!inked(image, 50, 60));
    icon->Symbol()->SetCurrentPatternPtr(nullptr);
    QCOMPARE(icon->Symbol()->CurrentIndex(), 0);
    // Without a template the object still shows where it stands.
    icon->SetTemplate(nullptr);
    QCOMPARE(icon->Symbol()->PatternNum(), 0);
    image = paint(*icon);
    QVERIFY(inked(image, 10, 30));
}

void tst_Drawing::groupsMoveTheirMembers()
{
    // Guards against a group whose members stay behind when it is moved or stretched.
    MHasRelation group;
    group.AddMember(shape(MDrawObj::ObjRect, {QPointF(0, 0), QPointF(10, 10)}));
    group.AddMember(shape(MDrawObj::ObjRect, {QPointF(30, 10), QPointF(40, 20)}));
    QCOMPARE(group.BoundingRect(), QRectF(0, 0, 40, 20));
    group.SetPosition(50, 50, false);
    QCOMPARE(group.BoundingRect(), QRectF(30, 40, 40, 20));
    QCOMPARE(group.At(1)->BoundingRect(), QRectF(60, 50, 10, 10));
    group.SetSize(80, 40, false);
    QCOMPARE(group.At(1)->BoundingRect(), QRectF(90, 60, 20, 20));
    std::unique_ptr<MHasRelation> copy(group.Clone());
    QVERIFY(copy->At(0) != group.At(0));
    QCOMPARE(copy->BoundingRect(), group.BoundingRect());
}

void tst_Drawing::factoryKnowsEveryType()
{
    // Guards against files naming objects the factory cannot make, or making the wrong kind.
    for (int type : {1, 2, 3, 4, 5, 51, 63, 64}) {
        std::unique_ptr<MDrawObj> obj(MDrawObjFactory::Instance()->CreateObj(type));
        QVERIFY(obj);
        QCOMPARE(obj->GetType(), type);
        QCOMPARE(MDrawObjFactory::TypeOf(MDrawObjFactory::TypeName(type)), type);
    }
    QVERIFY(!MDrawObjFactory::Instance()->CreateObj(0));
    QVERIFY(!MDrawObjFactory::Instance()->CreateObj(52));
    QCOMPARE(MDrawObjFactory::TypeOf("script"), 0);
    std::unique_ptr<MDrawObj> container(MDrawObjFactory::Instance()->CreateObj(64));
    QVERIFY(dynamic_cast<MHasRelation*>(container.get()));
}

TALMER_TEST_MAIN(tst_Drawing)
#include "tst_drawing.moc"
