#include <QDir>
#include <QHelpEvent>
#include <QListWidget>
#include <QTest>

#include <memory>

#include "icontesting.h"
#include "imagecheck.h"
#include "mdeploypaths.h"
#include "mhasrelation.h"
#include "miconlistonline.h"
#include "micononlinetree.h"
#include "micontip.h"
#include "miconviewonline.h"
#include "mshapeobj.h"
#include "mtemplatelist.h"
#include "mtemplateview.h"
#include "mtemplateviewprivate.h"
#include "mtextobj.h"
#include "testmain.h"
#include "testsite.h"

using TestSupport::ImageCheck;
using TestSupport::TestSite;

namespace {

// Same machine, same build: the pictures should match exactly; the margin
// absorbs rounding in anti-aliased edges only.
const ImageCheck::Limits kLimits{16, 20};

MDrawObj* shape(MDrawObj::ObjType type, const QRectF& rect, const QColor& pen, const QColor& brush)
{
    auto* obj = new MShapeObj(type);
    obj->SetPoints(QPolygonF({rect.topLeft(), rect.bottomRight()}));
    obj->SetPenColor(pen);
    obj->SetBrushColor(brush);
    return obj;
}

MDrawObj* text(const QRectF& rect, const QString& words)
{
    auto* obj = new MTextObj;
    obj->SetPoints(QPolygonF({rect.topLeft(), rect.bottomRight()}));
    obj->SetPenColor(Qt::black);
    obj->SetText(words);
    return obj;
}

// A bay: a breaker frame, a busbar line and a caption.
bool writeBay(const QString& path)
{
    MHasRelation bay(MDrawObj::ObjTemplate);
    bay.AddMember(shape(MDrawObj::ObjLine, QRectF(0, 10, 120, 0), Qt::darkBlue, Qt::transparent));
    bay.AddMember(shape(MDrawObj::ObjRect, QRectF(45, 25, 30, 40), Qt::black, QColor(255, 200, 0)));
    bay.AddMember(shape(MDrawObj::ObjEllipse, QRectF(50, 75, 20, 20), Qt::darkGreen, Qt::green));
    bay.AddMember(text(QRectF(20, 100, 80, 20), QString::fromUtf8("出线 1")));
    return QDir().mkpath(QFileInfo(path).absolutePath()) && bay.SaveFile(path);
}

// A title bar: a wide frame with a caption in it.
bool writeTitle(const QString& path)
{
    MHasRelation title(MDrawObj::ObjTemplate);
    title.AddMember(shape(MDrawObj::ObjRect, QRectF(0, 0, 200, 40), Qt::darkRed, QColor(230, 230, 250)));
    title.AddMember(text(QRectF(10, 5, 180, 30), QString::fromUtf8("北京变电站")));
    return QDir().mkpath(QFileInfo(path).absolutePath()) && title.SaveFile(path);
}

} // namespace

class tst_ViewImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void templatePreview_data();
    void templatePreview();
    void iconTip_data();
    void iconTip();

private:
    std::unique_ptr<TestSite> m_site;
};

void tst_ViewImages::initTestCase()
{
    QString reason;
    QVERIFY2(ImageCheck::FixRendering(&reason), qPrintable(reason));
}

void tst_ViewImages::init()
{
    m_site = std::make_unique<TestSite>(TestSite::FileServer::None);
}

void tst_ViewImages::cleanup()
{
    delete MIconTip::Current();
    m_site.reset();
}

void tst_ViewImages::templatePreview_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("control");
    QTest::newRow("bay") << QString::fromUtf8("出线间隔") << QString("template_preview_bay");
    QTest::newRow("title bar") << QString::fromUtf8("标题栏") << QString("template_preview_title");
}

void tst_ViewImages::templatePreview()
{
    // Guards against a preview that draws members wrongly, off-centre, or not the template clicked.
    QFETCH(QString, clicked);
    QFETCH(QString, control);
    SiteGen::SiteBuilder& site = m_site->builder();
    const QString style = site.templateType("style_template", "style");
    site.templateItem(style, QString::fromUtf8("出线间隔"));
    site.templateItem(style, QString::fromUtf8("标题栏"));
    QVERIFY(site.ok());
    QVERIFY(writeBay(MDeployPaths::TemplateFile("style", QString::fromUtf8("出线间隔"))));
    QVERIFY(writeTitle(MDeployPaths::TemplateFile("style", QString::fromUtf8("标题栏"))));

    MTemplateView view;
    view.resize(260, 380);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    MTemplateList* page = view.Pages()->CurrentPage();
    QVERIFY(page);
    const QList<QListWidgetItem*> items = page->findItems(clicked, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    page->setCurrentItem(items.first());
    QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->visualItemRect(items.first()).center());
    QApplication::processEvents();
    QString reason;
    QVERIFY2(ImageCheck::Compare(view.grab().toImage(), control, &reason, kLimits), qPrintable(reason));
}

void tst_ViewImages::iconTip_data()
{
    QTest::addColumn<int>("patterns");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QString>("control");
    QTest::newRow("three patterns") << 3 << QSizeF(40, 30) << QString("icon_tip_three_patterns");
    QTest::newRow("five tall patterns") << 5 << QSizeF(30, 48) << QString("icon_tip_five_patterns");
}

void tst_ViewImages::iconTip()
{
    // Guards against a tip that leaves out patterns, mixes their order or loses their colours.
    QFETCH(int, patterns);
    QFETCH(QSizeF, size);
    QFETCH(QString, control);
    SiteGen::SiteBuilder& site = m_site->builder();
    const QString breaker = site.iconType("breaker", 2, 0, 0);
    const QString uuid("{00000001-0000-4000-8000-000000000000}");
    site.icon(breaker, "circuit breaker", uuid, "2026-01-01T10:00:00", true, true);
    QVERIFY(site.ok());
    QVERIFY(IconTesting::writeIcon(MDeployPaths::IconFile("breaker", uuid), "circuit breaker", uuid, "breaker",
                                   patterns, size));

    MIconViewOnline palette;
    palette.resize(260, 420);
    palette.show();
    QVERIFY(QTest::qWaitForWindowExposed(&palette));
    QTreeWidgetItem* breakerItem = nullptr;
    for (QTreeWidgetItem* item : palette.Tree()->findItems("breaker", Qt::MatchExactly | Qt::MatchRecursive))
        breakerItem = item;
    QVERIFY(breakerItem);
    palette.Tree()->ItemClicked(breakerItem, 0);
    MIconListOnline* list = palette.List();
    QCOMPARE(list->count(), 1);
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &hover);
    MIconTip* tip = MIconTip::Current();
    QVERIFY(tip);
    QApplication::processEvents();
    QString reason;
    QVERIFY2(ImageCheck::Compare(tip->grab().toImage(), control, &reason, kLimits), qPrintable(reason));
}

TALMER_TEST_MAIN(tst_ViewImages)
#include "tst_viewimages.moc"
