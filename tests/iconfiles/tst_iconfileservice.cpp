#include <QPainter>
#include <memory>

#include "deploytree.h"
#include "mdisplaypattern.h"
#include "miconfileservice.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "testmain.h"

using TestSupport::DeployTree;

namespace {

MDrawObj* filledRect(const QRectF& r, const QColor& color)
{
    auto* shape = new MShapeObj(MDrawObj::ObjRect);
    shape->SetPoints({r.topLeft(), r.bottomRight()});
    shape->SetPenColor(color);
    shape->SetBrushColor(color);
    return shape;
}

// An icon of the given size whose pattern i is one filled rectangle, inset by
// a quarter of the size, in colors[i].
void writeIcon(const QString& path, const QString& name, const QUuid& uuid, const QSizeF& size,
               const QList<QColor>& colors, int shapeType = 0)
{
    MIconTemplate t(uuid, nullptr);
    t.SetName(name);
    t.SetCatalogName("breaker");
    t.SetDefaultSize(size);
    t.SetIconShapeType(shapeType);
    for (const QColor& color : colors) {
        auto* pattern = new MDisplayPattern(color.name());
        pattern->AddShape(filledRect(QRectF(size.width() / 4, size.height() / 4, size.width() / 2, size.height() / 2),
                                     color));
        t.AddPattern(pattern);
    }
    QVERIFY(t.WriteXmlFile(path));
}

QColor colorAt(const QPixmap& pixmap, int x, int y)
{
    return pixmap.toImage().pixelColor(x, y);
}

} // namespace

class tst_IconFileService : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeployTree> m_tree;
    const QUuid m_uuid = QUuid("{0c6a1c2e-1111-4b22-8c33-445566778899}");
    QString iconPath() const { return m_tree->path("icon/breaker/" + m_uuid.toString() + ".xco"); }

private Q_SLOTS:
    void init();
    void cleanup() { m_tree.reset(); }

    void picturesHaveTheDocumentedSizes();
    void picturesShowThePatterns();
    void lineShapedIconsAreStretched();
    void hugeIconsGiveBoundedPictures_data();
    void hugeIconsGiveBoundedPictures();
    void filesAreFoundWhereTheLibraryKeepsThem();
    void unreadableFilesGiveEmptyPictures();
    void fileInfo();
    void elementIcons_data();
    void elementIcons();
};

void tst_IconFileService::init()
{
    m_tree = std::make_unique<DeployTree>();
    QDir().mkpath(m_tree->path("icon/breaker"));
}

void tst_IconFileService::picturesHaveTheDocumentedSizes()
{
    // Guards against lists and previews laid out for other picture sizes than the views expect.
    writeIcon(iconPath(), "b1", m_uuid, QSizeF(40, 30), {Qt::red, Qt::green, Qt::blue});
    MIconFileService* s = MIconFileService::Instance();
    QCOMPARE(s->IconPixmap("breaker", m_uuid.toString()).size(), QSize(41, 30));
    QCOMPARE(s->IconPatternsPixmap("breaker", m_uuid.toString()).size(), QSize(125, 35));
    writeIcon(iconPath(), "b1", m_uuid, QSizeF(20.7, 10.2), {Qt::red});
    QCOMPARE(s->IconPixmap("breaker", m_uuid.toString()).size(), QSize(21, 10));
    QCOMPARE(s->IconPatternsPixmap("breaker", m_uuid.toString()).size(), QSize(25, 15));
}

void tst_IconFileService::picturesShowThePatterns()
{
    // Guards against icons drawn off-centre, in the wrong look, or on an opaque ground.
    writeIcon(iconPath(), "b1", m_uuid, QSizeF(40, 30), {Qt::red, Qt::green, Qt::blue});
    MIconFileService* s = MIconFileService::Instance();
    const QPixmap one = s->IconPixmap("breaker", m_uuid.toString());
    QCOMPARE(colorAt(one, 20, 15), QColor(Qt::red));
    QCOMPARE(colorAt(one, 2, 2).alpha(), 0);
    QCOMPARE(colorAt(one, 38, 28).alpha(), 0);
    const QPixmap all = s->IconPatternsPixmap("breaker", m_uuid.toString());
    QCOMPARE(colorAt(all, 20, 15), QColor(Qt::red));
    QCOMPARE(colorAt(all, 60, 15), QColor(Qt::green));
    QCOMPARE(colorAt(all, 100, 15), QColor(Qt::blue));
    QCOMPARE(colorAt(all, 41, 15).alpha(), 0); // between two cells
    QCOMPARE(colorAt(all, 122, 32).alpha(), 0); // the margin
}

void tst_IconFileService::lineShapedIconsAreStretched()
{
    // Guards against line-shaped icons (busbars) being placed like boxes and drawn off the picture.
    writeIcon(iconPath(), "bus", m_uuid, QSizeF(60, 8), {Qt::red}, 1);
    const QPixmap bus = MIconFileService::Instance()->IconPixmap("breaker", m_uuid.toString());
    QCOMPARE(bus.size(), QSize(61, 8));
    QCOMPARE(colorAt(bus, 30, 4), QColor(Qt::red));
    QCOMPARE(colorAt(bus, 5, 4).alpha(), 0);
}

void tst_IconFileService::hugeIconsGiveBoundedPictures_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<int>("patterns");
    QTest::addColumn<QSize>("one");
    QTest::addColumn<QSize>("all");
    QTest::newRow("the largest icon a file may declare")
        << QSizeF(10000, 10000) << 64 << QSize(513, 512) << QSize(4101, 69);
    QTest::newRow("one huge pattern") << QSizeF(10000, 10000) << 1 << QSize(513, 512) << QSize(517, 517);
    QTest::newRow("a long thin busbar") << QSizeF(10000, 8) << 2 << QSize(513, 1) << QSize(1029, 5);
    QTest::newRow("many patterns of a normal size") << QSizeF(100, 100) << 64 << QSize(101, 100) << QSize(4101, 69);
    QTest::newRow("just the largest cell, kept") << QSizeF(512, 512) << 1 << QSize(513, 512) << QSize(517, 517);
}

void tst_IconFileService::hugeIconsGiveBoundedPictures()
{
    // Guards against a few hundred bytes of icon file making the pictures allocate gigabytes.
    QFETCH(QSizeF, size);
    QFETCH(int, patterns);
    QFETCH(QSize, one);
    QFETCH(QSize, all);
    writeIcon(iconPath(), "huge", m_uuid, size, QList<QColor>(patterns, Qt::red));
    MIconFileService* s = MIconFileService::Instance();
    const QPixmap single = s->IconPixmap("breaker", m_uuid.toString());
    QCOMPARE(single.size(), one);
    const QPixmap row = s->IconPatternsPixmap("breaker", m_uuid.toString());
    QCOMPARE(row.size(), all);
    if (one.height() < 64)
        return; // too thin to tell the icon's parts apart
    // Still the icon, only smaller: its middle is drawn, its corner is not.
    QCOMPARE(colorAt(single, one.width() / 2, one.height() / 2), QColor(Qt::red));
    QCOMPARE(colorAt(single, 1, 1).alpha(), 0);
    QCOMPARE(colorAt(row, (all.width() - 5) / patterns / 2, (all.height() - 5) / 2), QColor(Qt::red));
}

void tst_IconFileService::filesAreFoundWhereTheLibraryKeepsThem()
{
    // Guards against the import preview and the lists reading another file than meant.
    const QString root = m_tree->root();
    QCOMPARE(MIconFileService::IconFilePath("breaker", "{u}"), root + "/icon/breaker/{u}.xco");
    QCOMPARE(MIconFileService::IconFilePath("", "u"), root + "/icon//u.xco");
    QCOMPARE(MIconFileService::IconFilePath("/tmp/new.xco", ""), QString("/tmp/new.xco"));
    QCOMPARE(MIconFileService::IconFilePath("/tmp/new.XCO", ""), root + "/icon//tmp/new.XCO/.xco");
    // The preview of a file that is not in the library yet.
    const QString outside = m_tree->path("import/new icon.xco");
    QDir().mkpath(m_tree->path("import"));
    writeIcon(outside, "new", QUuid::createUuid(), QSizeF(10, 10), {Qt::red});
    QCOMPARE(MIconFileService::Instance()->IconPixmap(outside, "").size(), QSize(11, 10));
}

void tst_IconFileService::unreadableFilesGiveEmptyPictures()
{
    // Guards against a damaged icon file crashing a list that shows it.
    QVERIFY(m_tree->writeFile("icon/breaker/" + m_uuid.toString() + ".xco", "<icontemplate width='40'"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
    QVERIFY(MIconFileService::Instance()->IconPixmap("breaker", m_uuid.toString()).isNull());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
    const QPixmap none = MIconFileService::Instance()->IconPatternsPixmap("breaker", "{missing}");
    QCOMPARE(none.size(), QSize(5, 5));
}

void tst_IconFileService::fileInfo()
{
    // Guards against an import taking the name or identity of another icon.
    writeIcon(iconPath(), QString::fromUtf8("断路器"), m_uuid, QSizeF(20, 30), {Qt::red});
    QString name = "x", uuid = "y";
    MIconFileService::Instance()->ReadIconFileInfo(iconPath(), name, uuid);
    QCOMPARE(name, QString::fromUtf8("断路器"));
    QCOMPARE(uuid, m_uuid.toString());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
    MIconFileService::Instance()->ReadIconFileInfo(m_tree->path("nothing.xco"), name, uuid);
    QVERIFY(name.isEmpty() && uuid.isEmpty());
}

void tst_IconFileService::elementIcons_data()
{
    QTest::addColumn<int>("catId");
    QTest::addColumn<QString>("name");
    QTest::newRow("switch") << 1 << "ele_pe_switch";
    QTest::newRow("breaker") << 2 << "ele_pe_breaker";
    QTest::newRow("two-winding") << 3 << "ele_pe_two_trans";
    QTest::newRow("three-winding") << 4 << "ele_pe_three_trans";
    QTest::newRow("bus") << 5 << "ele_pe_bus";
    QTest::newRow("line") << 6 << "ele_pe_line";
    QTest::newRow("load") << 7 << "ele_pe_load";
    QTest::newRow("generator") << 8 << "ele_pe_gen";
    QTest::newRow("capacitor") << 10 << "ele_pe_capacitor";
    QTest::newRow("series capacitor") << 11 << "ele_pe_series_cap";
    QTest::newRow("station") << 12 << "ele_pe_station";
    QTest::newRow("ground") << 13 << "ele_pe_ground";
    QTest::newRow("link line") << 15 << "ele_pe_linkline";
    QTest::newRow("protection") << 29 << "ele_unit_protect";
    for (int id : {0, 9, 14, 16, 20, 28, 30, 31, 32, 50, 66})
        QTest::addRow("conducting %d", id) << id << "ele_pe_conducting";
    QTest::newRow("67") << 67 << "";
    QTest::newRow("72 plug-ins") << 72 << "";
    QTest::newRow("negative") << -1 << "";
}

void tst_IconFileService::elementIcons()
{
    // Guards against icon types shown with another element's picture, or a picture where none belongs.
    QFETCH(int, catId);
    QFETCH(QString, name);
    QCOMPARE(MIconFileService::ElementIconName(catId), name);
    const QIcon icon = MIconFileService::Instance()->ElementIcon(catId);
    QCOMPARE(icon.isNull(), name.isEmpty());
    if (!name.isEmpty())
        QVERIFY(!icon.pixmap(16, 16).isNull());
}

TALMER_TEST_MAIN(tst_IconFileService)
#include "tst_iconfileservice.moc"
