#include <QDataStream>
#include <QHelpEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <memory>

#include "icontesting.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "miconlistonline.h"
#include "micononlineitem.h"
#include "micononlinetree.h"
#include "micontip.h"
#include "miconviewonline.h"
#include "testmain.h"
#include "testsite.h"
#include "treetesting.h"

using TestSupport::TestSite;
using TestSupport::child;

namespace {

const QString kOld = "2026-01-01T10:00:00";

QStringList listTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// name -> (member1, member2) of the icons of a type, as stored.
QMap<QString, QPair<bool, bool>> flagsOf(const QString& type)
{
    QMap<QString, QPair<bool, bool>> flags;
    for (const MDBRecordIcon& icon : IconTesting::iconRecords(type))
        flags.insert(icon.name, {icon.member1, icon.member2});
    return flags;
}

// A QString as QDataStream writes it by default: byte length, then UTF-16 big-endian.
QString takeString(const QByteArray& bytes, int& at)
{
    const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
    at += 4;
    QString text;
    for (quint32 i = 0; i < length; i += 2)
        text += QChar(qFromBigEndian<quint16>(bytes.constData() + at + i));
    at += int(length);
    return text;
}

} // namespace

class tst_IconPalette : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSite> m_site;
    std::unique_ptr<MIconViewOnline> m_view;
    QString m_breaker, m_bus, m_empty;

    MIconListOnline* list() const { return m_view->List(); }
    MIconOnlineTree* tree() const { return m_view->Tree(); }
    bool makeView()
    {
        if (!m_site->builder().ok())
            return false;
        m_view = std::make_unique<MIconViewOnline>();
        m_view->resize(300, 600);
        m_view->show();
        return QTest::qWaitForWindowExposed(m_view.get());
    }
    void showType(const QString& name)
    {
        QTreeWidgetItem* item = nullptr;
        for (int c = 1; c < tree()->topLevelItemCount() && !item; ++c)
            item = child(tree()->topLevelItem(c), name);
        tree()->ItemClicked(item, 0);
    }
    QListWidgetItem* listItem(const QString& text) const
    {
        const QList<QListWidgetItem*> found = list()->findItems(text, Qt::MatchStartsWith);
        return found.isEmpty() ? nullptr : found.first();
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void treeShowsTypesAndTheCommonList();
    void secondDefaultRemovesTheFirstMarker();
    void commonIconsAddedRemovedAndUnmarked();
    void dragPayloadBytes();
    void foreignDragFormatsAreRefused();
    void getDefaultIcon_data();
    void getDefaultIcon();
    void selectionFetchesMissingFiles_data();
    void selectionFetchesMissingFiles();
    void rightClickNeverSelects();
    void patternsTipReplacesTheLastOne();
    void listOutlivesTheTree();
};

void tst_IconPalette::init()
{
    m_site = std::make_unique<TestSite>();
    SiteGen::SiteBuilder& b = m_site->builder();
    m_breaker = b.iconType("breaker", 2, 0, 0);
    m_bus = b.iconType("bus", 5, 1, 1);
    m_empty = b.iconType("empty", 6, 0, 2);
    b.iconType("hidden", 6, 0, 0, true);
    b.icon(m_breaker, "A", "{a}", kOld, true, true);
    b.icon(m_breaker, "B", "{b}", kOld);
    b.icon(m_bus, "Z", "{z}", kOld, false, true);
    for (const char* uuid : {"{a}", "{b}"})
        QVERIFY(IconTesting::writeIcon(MDeployPaths::IconFile("breaker", uuid), uuid, uuid, "breaker", 3));
    QVERIFY(IconTesting::writeIcon(MDeployPaths::IconFile("bus", "{z}"), "Z", "{z}", "bus"));
}

void tst_IconPalette::cleanup()
{
    m_view.reset();
    m_site.reset();
}

void tst_IconPalette::treeShowsTypesAndTheCommonList()
{
    // Guards against hidden types in the palette, or a category click showing nothing instead of the common icons.
    QVERIFY(makeView());
    QCOMPARE(tree()->topLevelItemCount(), 5);
    QCOMPARE(tree()->topLevelItem(0)->text(0), QString("common icons"));
    QCOMPARE(TestSupport::texts(tree()->topLevelItem(1)), QStringList{"breaker"});
    QCOMPARE(TestSupport::texts(tree()->topLevelItem(3)), QStringList{"empty"});
    QCOMPARE(tree()->headerItem()->text(0), QString("common icons"));
    QCOMPARE(listTexts(list()), (QStringList{"A", "Z"}));
    showType("breaker");
    QCOMPARE(tree()->headerItem()->text(0), QString("breaker"));
    QCOMPARE(listTexts(list()), (QStringList{"A(default)", "B"}));
    QCOMPARE(list()->iconSize(), QSize(50, 50));
    QCOMPARE(list()->item(1)->icon().availableSizes().value(0), QSize(41, 30));
    tree()->ItemClicked(tree()->topLevelItem(2), 0); // "sensor point"
    QCOMPARE(tree()->headerItem()->text(0), QString("sensor point"));
    QCOMPARE(listTexts(list()), (QStringList{"A", "Z"}));
}

void tst_IconPalette::secondDefaultRemovesTheFirstMarker()
{
    // Guards against two defaults in one type, in the list or in the database.
    QVERIFY(makeView());
    showType("breaker");
    QCOMPARE(list()->MenuActions(listItem("A")).size(), 1); // the default is not offered again
    list()->setCurrentItem(listItem("B"));
    const QList<QAction*> actions = list()->MenuActions(listItem("B"));
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions.first()->text(), QString("default icon"));
    actions.first()->trigger();
    QCOMPARE(listTexts(list()), (QStringList{"A", "B(default)"}));
    QCOMPARE(flagsOf("breaker").value("A").first, false);
    QCOMPARE(flagsOf("breaker").value("B").first, true);
    QString uuid;
    int shape = -1;
    QVERIFY(m_view->GetDefaultIcon("breaker", uuid, shape));
    QCOMPARE(uuid, QString("{b}"));
}

void tst_IconPalette::commonIconsAddedRemovedAndUnmarked()
{
    // Guards against default markers in the common list, or common-icon changes lost or shown wrongly.
    QVERIFY(makeView());
    showType("breaker");
    list()->setCurrentItem(listItem("B"));
    list()->AddToCommon();
    QCOMPARE(listTexts(list()), (QStringList{"A(default)", "B"})); // nothing visible changes
    QCOMPARE(flagsOf("breaker").value("B").second, true);
    list()->ShowType(nullptr);
    QCOMPARE(listTexts(list()), (QStringList{"A", "B", "Z"}));
    const QList<QAction*> actions = list()->MenuActions(listItem("A"));
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions.first()->text(), QString("remove from common"));
    list()->setCurrentItem(listItem("A"));
    actions.first()->trigger();
    QCOMPARE(listTexts(list()), (QStringList{"B", "Z"}));
    QCOMPARE(flagsOf("breaker").value("A"), qMakePair(true, false)); // still the default
}

void tst_IconPalette::dragPayloadBytes()
{
    // Guards against a drag payload the drawing windows cannot decode, or carrying the wrong type in the common list.
    QVERIFY(makeView());
    QVERIFY(!list()->DragData(nullptr)); // no current item: no drag
    const std::unique_ptr<QMimeData> common(list()->DragData(listItem("Z")));
    QCOMPARE(common->formats(), QStringList{"iconDrag"});
    const QByteArray bytes = common->data("iconDrag");
    int at = 0;
    QCOMPARE(takeString(bytes, at), QString("{z}"));
    QCOMPARE(takeString(bytes, at), QString("bus"));
    QCOMPARE(qFromBigEndian<qint32>(bytes.constData() + at), 1);
    QCOMPARE(bytes.size(), at + 4);
    showType("breaker");
    const std::unique_ptr<QMimeData> typed(list()->DragData(listItem("B")));
    QCOMPARE(typed->data("iconDrag").toHex(), QByteArray("00000006007b0062007d"
                                                         "0000000e0062007200650061006b00650072"
                                                         "00000000"));
}

void tst_IconPalette::foreignDragFormatsAreRefused()
{
    // Guards against the palette accepting drops of other kinds (files, text) it cannot handle.
    QVERIFY(makeView());
    const QPoint at = list()->viewport()->rect().center();
    QMimeData foreign;
    foreign.setText("text");
    std::unique_ptr<QMimeData> ours(list()->DragData(listItem("A")));
    for (const QMimeData* data : {static_cast<const QMimeData*>(&foreign), static_cast<const QMimeData*>(ours.get())}) {
        const bool accept = data == ours.get();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &enter);
        QCOMPARE(enter.isAccepted(), accept);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &move);
        QCOMPARE(move.isAccepted(), accept);
        if (accept)
            QCOMPARE(move.dropAction(), Qt::MoveAction);
    }
}

void tst_IconPalette::getDefaultIcon_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("uuid");
    QTest::addColumn<int>("shapeType");
    QTest::newRow("flagged one") << "breaker" << true << "{a}" << 0;
    QTest::newRow("two flagged: the last") << "flags" << true << "{f2}" << 3;
    QTest::newRow("none flagged: the first") << "bus" << true << "{z}" << 1;
    QTest::newRow("no icons") << "empty" << false << "unchanged" << 0;
    QTest::newRow("unknown type") << "nowhere" << false << "unchanged" << -1;
}

void tst_IconPalette::getDefaultIcon()
{
    // Guards against the palette and the graph queries disagreeing on a type's default icon.
    QFETCH(QString, type);
    QFETCH(bool, found);
    QFETCH(QString, uuid);
    QFETCH(int, shapeType);
    const QString flags = m_site->builder().iconType("flags", 7, 3, 1);
    m_site->builder().icon(flags, "F1", "{f1}", kOld, true);
    m_site->builder().icon(flags, "F2", "{f2}", kOld, true);
    m_site->builder().icon(flags, "F3", "{f3}", kOld);
    QVERIFY(makeView());
    m_site->builder().icon(m_bus, "Y", "{y}", kOld); // after Z: not the first
    QString gotUuid = "unchanged";
    int gotShape = -1;
    QCOMPARE(m_view->GetDefaultIcon(type, gotUuid, gotShape), found);
    QCOMPARE(gotUuid, uuid);
    QCOMPARE(gotShape, shapeType);
}

void tst_IconPalette::selectionFetchesMissingFiles_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<int>("emitted");
    QTest::newRow("fetched: selected") << true << 1;
    QTest::newRow("nowhere: nothing") << false << 0;
}

void tst_IconPalette::selectionFetchesMissingFiles()
{
    // Guards against a fetched icon never being selected, or an icon selected that has no file anywhere.
    QFETCH(bool, onServer);
    QFETCH(int, emitted);
    QVERIFY(QFile::remove(MDeployPaths::IconFile("bus", "{z}")));
    if (onServer)
        QVERIFY(IconTesting::writeIcon(m_site->server("icon/bus/{z}.xco"), "Z", "{z}", "bus"));
    QVERIFY(makeView());
    QSignalSpy selected(m_view.get(), &MAbstractIconViewOnline::IconSelected);
    list()->ItemClicked(listItem("Z"));
    QCOMPARE(selected.count(), emitted);
    if (emitted) {
        QCOMPARE(selected.first(), (QVariantList{"bus", "Z", "{z}", 1}));
        QVERIFY(QFileInfo::exists(MDeployPaths::IconFile("bus", "{z}")));
        QCOMPARE(listItem("Z")->icon().availableSizes().value(0), QSize(41, 30));
    }
}

void tst_IconPalette::rightClickNeverSelects()
{
    // Guards against a right click (for the menu) fetching and selecting an icon.
    QVERIFY(makeView());
    QSignalSpy selected(m_view.get(), &MAbstractIconViewOnline::IconSelected);
    const QPoint at = list()->visualItemRect(listItem("Z")).center();
    QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, at);
    QCOMPARE(selected.count(), 0);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(selected.count(), 1);
}

void tst_IconPalette::patternsTipReplacesTheLastOne()
{
    // Guards against tips stacking up, one per hover, or showing the patterns at another size.
    QVERIFY(makeView());
    showType("breaker");
    for (int round = 0; round < 2; ++round) {
        QPointer<MIconTip> before = MIconTip::Current();
        const QPoint at = list()->visualItemRect(list()->item(round)).center();
        QHelpEvent hover(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list()->viewport(), &hover);
        MIconTip* tip = MIconTip::Current();
        QVERIFY(tip && tip != before);
        QCOMPARE(tip->objectName(), QString("icon patterns"));
        QCOMPARE(tip->size(), QSize(125, 35));
        QVERIFY(tip->isVisible());
        QTRY_VERIFY(before.isNull());
    }
    QPointer<MIconTip> last = MIconTip::Current();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
    QTRY_VERIFY(last.isNull());
}

void tst_IconPalette::listOutlivesTheTree()
{
    // Guards against the list reading type records its tree has already destroyed.
    QVERIFY(makeView());
    showType("breaker");
    delete tree();
    list()->ShowType(nullptr);
    QCOMPARE(listTexts(list()), (QStringList{"A", "Z"}));
    std::unique_ptr<QMimeData> data(list()->DragData(listItem("Z")));
    QVERIFY(data->data("iconDrag").size() > 12);
}

TALMER_TEST_MAIN(tst_IconPalette)
#include "tst_iconpalette.moc"
