#include <QApplication>
#include <QDataStream>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "editortesting.h"
#include "ftptestserver.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "testmain.h"

using Command = MGraphTreeViewEditor::Command;
using EditorTesting::EditorSite;
using TestSupport::texts;
using TestSupport::writeFile;

namespace {

const QString kOld = "2026-01-01T10:00:00", kMid = "2026-01-02T10:00:00", kNew = "2026-01-03T10:00:00";

// Menu entries as text: "|" for a separator, a submenu by its title.
QStringList entryTexts(const QList<QAction*>& entries)
{
    QStringList t;
    for (QAction* entry : entries)
        t << (entry->isSeparator() ? QString("|") : entry->text());
    return t;
}

// The item at the end of a path of raw names below item; "#history" is the history folder.
QTreeWidgetItem* below(QTreeWidgetItem* item, const QString& name)
{
    return name == "#history" ? TestSupport::child(item, "history verstion")
                              : MGraphTreeViewEditor::ChildNamed(item, name);
}

// Sends a drag over pos and a drop there, as a drag inside the window would; whether the drop was accepted.
bool dragAndDrop(QWidget* viewport, QMimeData* data, const QPoint& pos, bool* enterAccepted)
{
    QDragEnterEvent enter(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    *enterAccepted = enter.isAccepted();
    QDragMoveEvent move(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(pos), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    return drop.isAccepted();
}

} // namespace

class tst_EditorMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutPerKind_data();
    void layoutPerKind();
    void layoutPerSelection();
    void editPropertyOnlyForTheOpenedPicture();
    void releasesThatDoNotClick_data();
    void releasesThatDoNotClick();
    void payloadBytes_data();
    void payloadBytes();
    void drops_data();
    void drops();
};

void tst_EditorMenu::layoutPerKind_data()
{
    QTest::addColumn<QStringList>("clicks"); // the levels clicked first
    QTest::addColumn<QString>("target");     // the item below the last one clicked ("" that one)
    QTest::addColumn<QString>("mask");       // "TreeActions" ("" none)
    QTest::addColumn<QStringList>("entries");

    const QStringList app{"add picture type",  "|",           "delete Application", "|",
                          "batch setting", "reset version", "merge database..."};
    auto type = [](bool refresh, bool translate) {
        QStringList e{"show all edition", "add picture", "paste current picture", "|", "delete picture type", "|"};
        if (refresh)
            e << "refresh OID";
        if (translate)
            e << "translate picture";
        return e << "Set Shared Graph" << "Cancel Shared Graph" << "batch setting" << "|" << "import picture";
    };
    const QStringList tail{"delete picture", "|", "change picture type", "refresh OID", "translate picture",
                           "|",              "reset version"};
    const QStringList station{"A", "station"};
    QTest::newRow("application") << QStringList{"A"} << "" << "" << app;
    QTest::newRow("type, no mask") << station << "" << "" << type(true, true);
    QTest::newRow("type, mask 1") << station << "" << "1" << type(false, true);
    QTest::newRow("type, mask 2") << station << "" << "2" << type(true, false);
    QTest::newRow("type, mask 3 hides both") << station << "" << "3" << type(false, false);
    QTest::newRow("type, mask 0x7f counts as 0") << station << "" << "0x7f" << type(true, true);
    QTest::newRow("picture with a draft") << QStringList{"A", "station", "P"} << "" << ""
                                          << QStringList{"edit property", "release picture", "|"} + tail;
    QTest::newRow("picture not loaded") << station << "R" << ""
                                        << QStringList{"edit property", "release picture", "|"} + tail;
    QTest::newRow("picture, releases only") << QStringList{"A", "station", "R"} << "" << ""
                                            << QStringList{"edit property"} + tail;
    QTest::newRow("picture, mask 3") << QStringList{"A", "station", "R"} << "" << "3"
                                     << QStringList{"edit property", "delete picture", "|", "change picture type",
                                                    "|", "reset version"};
    QTest::newRow("latest version") << QStringList{"A", "station", "P"} << "latest version" << ""
                                    << QStringList{"save as draft"};
    QTest::newRow("draft") << QStringList{"A", "station", "P"} << "draft" << "" << QStringList();
    QTest::newRow("history folder") << QStringList{"A", "station", "P"} << "#history" << "" << QStringList();
}

// Guards against commands offered on the wrong kind of item, or a mask read wrongly.
void tst_EditorMenu::layoutPerKind()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, target);
    QFETCH(QString, mask);
    QFETCH(QStringList, entries);

    EditorSite site;
    site.picture("P", {0, 1, 2, 3}, {kNew, kOld, kMid, kNew});
    site.picture("R", {1, 2}, {kOld, kMid});
    QVERIFY(writeFile(MDeployPaths::VersionFile("A", "R", 2, "xrg"), "text"));
    if (!mask.isEmpty())
        QVERIFY(site.builder().globalDefine("TreeActions", mask));
    QVERIFY(site.makeView());
    MGraphTreeViewEditor* tree = site.tree();
    tree->ShowAllEdition(true);
    QTreeWidgetItem* item = site.click(clicks);
    QVERIFY(item);
    if (!target.isEmpty())
        item = below(item, target);
    QVERIFY(item);
    tree->setCurrentItem(item);
    QCOMPARE(tree->selectedItems().size(), 1);
    QCOMPARE(entryTexts(tree->MenuActions(item)), entries);
}

// Guards against the wrong entries when several or no items are selected.
void tst_EditorMenu::layoutPerSelection()
{
    EditorSite site;
    site.picture("P", {0}, {kOld});
    site.picture("Q", {0}, {kOld});
    QVERIFY(site.makeView());
    MGraphTreeViewEditor* tree = site.tree();
    MGraphTreeItem* type = site.click({"A", "station"});
    QVERIFY(type);
    tree->clearSelection();
    QCOMPARE(entryTexts(tree->MenuActions(nullptr)), QStringList{"add Application"});
    QCOMPARE(entryTexts(tree->MenuActions(type)), QStringList());
    type->child(0)->setSelected(true);
    type->child(1)->setSelected(true);
    QCOMPARE(entryTexts(tree->MenuActions(type->child(0))), QStringList{"change picture type"});
    QCOMPARE(entryTexts(tree->MenuActions(nullptr)), (QStringList{"change picture type", "add Application"}));
}

// Guards against "edit property" offered for a picture the host does not have open.
void tst_EditorMenu::editPropertyOnlyForTheOpenedPicture()
{
    EditorSite site;
    site.picture("P", {0}, {kOld});
    site.picture("Q", {0}, {kOld});
    QVERIFY(site.makeView());
    MGraphTreeViewEditor* tree = site.tree();
    MGraphTreeItem* p = site.click({"A", "station", "P"});
    QVERIFY(p);
    QCOMPARE(tree->OpenedPicture(), QString("P"));
    QAction* property = tree->Action(Command::ChangePicProperty);
    tree->setCurrentItem(p);
    QVERIFY(tree->MenuActions(p).contains(property));
    QVERIFY(property->isEnabled());
    QTreeWidgetItem* q = MGraphTreeViewEditor::ChildNamed(p->parent(), "Q");
    tree->setCurrentItem(q);
    QVERIFY(tree->MenuActions(q).contains(property));
    QVERIFY(!property->isEnabled());
    QSignalSpy edit(site.view(), &MAbstractGraphView::EditPicProperty);
    tree->ChangePicProperty();
    QCOMPARE(edit.count(), 1);
}

void tst_EditorMenu::releasesThatDoNotClick_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("clicked");
    QTest::newRow("left") << int(Qt::LeftButton) << int(Qt::NoModifier) << true;
    QTest::newRow("left with Shift") << int(Qt::LeftButton) << int(Qt::ShiftModifier) << true;
    QTest::newRow("left with Ctrl and Shift") << int(Qt::LeftButton) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                              << true;
    QTest::newRow("left with Ctrl") << int(Qt::LeftButton) << int(Qt::ControlModifier) << false;
    QTest::newRow("right") << int(Qt::RightButton) << int(Qt::NoModifier) << false;
    QTest::newRow("middle") << int(Qt::MiddleButton) << int(Qt::NoModifier) << false;
}

// Guards against a right or Ctrl release opening an item (Ctrl-click is for selecting several).
void tst_EditorMenu::releasesThatDoNotClick()
{
    QFETCH(int, button);
    QFETCH(int, modifiers);
    QFETCH(bool, clicked);
    EditorSite site;
    QVERIFY(site.makeView());
    MGraphTreeViewEditor* tree = site.tree();
    tree->setContextMenuPolicy(Qt::NoContextMenu); // no menu to wait for
    QTreeWidgetItem* app = tree->topLevelItem(0);
    QVERIFY(app);
    QSignalSpy clicks(tree, &QTreeWidget::itemClicked);
    QTest::mouseClick(tree->viewport(), Qt::MouseButton(button), Qt::KeyboardModifiers::fromInt(modifiers),
                      tree->visualItemRect(app).center());
    QCOMPARE(clicks.count(), clicked ? 1 : 0);
    QCOMPARE(tree->CurrentApplicationItem() != nullptr, clicked);
}

void tst_EditorMenu::payloadBytes_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("oid");
    QTest::newRow("two letters") << "picDrag" << QByteArray("\0\0\0\4\0a\0b", 8) << true << "ab";
    QTest::newRow("Chinese") << "picDrag" << QByteArray("\0\0\0\2\x53\x17", 6) << true << "北";
    QTest::newRow("cut short") << "picDrag" << QByteArray("\0\0\0\x08\0a", 6) << false << "";
    QTest::newRow("another format") << "text/plain" << QByteArray("\0\0\0\4\0a\0b", 8) << false << "";
}

// Guards against a payload other programs cannot read, or a garbled one read as an identifier.
void tst_EditorMenu::payloadBytes()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, read);
    QFETCH(QString, oid);
    if (read) {
        std::unique_ptr<QMimeData> built(MGraphTreeViewEditor::PicDragData(oid));
        QCOMPARE(built->formats(), QStringList{"picDrag"});
        QCOMPARE(built->data("picDrag"), bytes);
    }
    QMimeData data;
    data.setData(format, bytes);
    QString got = "untouched";
    QCOMPARE(MGraphTreeViewEditor::ReadPicDrag(&data, got), read);
    QCOMPARE(got, read ? oid : QString("untouched"));
}

void tst_EditorMenu::drops_data()
{
    QTest::addColumn<QString>("payload"); // own, foreign format, other widget, unknown id
    QTest::addColumn<QStringList>("target");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<bool>("moved");
    QTest::newRow("onto another type of its application") << "own" << QStringList{"A", "feeder"} << true << true;
    QTest::newRow("foreign format") << "foreign" << QStringList{"A", "feeder"} << false << false;
    QTest::newRow("from another widget") << "other" << QStringList{"A", "feeder"} << false << false;
    QTest::newRow("unknown identifier") << "unknown" << QStringList{"A", "feeder"} << true << false;
    QTest::newRow("onto another application") << "own" << QStringList{"B", "station"} << true << false;
    QTest::newRow("onto its own type") << "own" << QStringList{"A", "station"} << true << false;
    QTest::newRow("onto a picture") << "own" << QStringList{"A", "station", "Q"} << true << false;
    QTest::newRow("onto the application") << "own" << QStringList{"A"} << true << false;
}

// Guards against pictures moved out of their application (their files stay behind) or moved by foreign drags.
void tst_EditorMenu::drops()
{
    QFETCH(QString, payload);
    QFETCH(QStringList, target);
    QFETCH(bool, enter);
    QFETCH(bool, moved);

    EditorSite site;
    const QString b = site.builder().application("B");
    site.builder().pictureType(b, "station", 2);
    site.picture("P", {0}, {kOld});
    site.picture("Q", {0}, {kOld});
    site.picture("F", {0}, {kOld}, site.feeder);
    QVERIFY(site.makeView());
    MGraphTreeViewEditor* tree = site.tree();
    MGraphTreeItem* p = site.click({"A", "station", "P"});
    QVERIFY(p);
    MGraphTreeItem* station = tree->CurrentPictypeItem();
    MGraphTreeItem* feeder = MGraphTreeViewEditor::ChildNamed(tree->CurrentApplicationItem(), "feeder");
    tree->ReloadChildren(feeder);
    tree->ReloadChildren(tree->ApplicationItem("B"));
    QTreeWidgetItem* onto = tree->ApplicationItem(target.at(0));
    for (int i = 1; i < target.size(); ++i)
        onto = MGraphTreeViewEditor::ChildNamed(onto, target.at(i));
    QVERIFY(onto);

    tree->setCurrentItem(p);
    std::unique_ptr<QMimeData> data(tree->BeginPictureDrag());
    QVERIFY(data);
    if (payload == "foreign") {
        data = std::make_unique<QMimeData>();
        data->setText(p->Record()->oid);
    } else if (payload == "other") {
        data.reset(MGraphTreeViewEditor::PicDragData(p->Record()->oid));
    } else if (payload == "unknown") {
        const std::unique_ptr<QMimeData> unknown(MGraphTreeViewEditor::PicDragData("987654"));
        data->setData("picDrag", unknown->data("picDrag")); // this tree's payload, an identifier it does not show
    }
    const QString stationOid = station->Record()->oid;
    bool entered = false;
    QCOMPARE(dragAndDrop(tree->viewport(), data.get(), tree->visualItemRect(onto).center(), &entered), moved);
    QCOMPARE(entered, enter);

    // The library and the tree agree on where P is.
    MDBRecordPicType stationRecord;
    stationRecord.oid = stationOid;
    QStringList inStation;
    for (MDBRecordBase* record : tree->PicturesOfType(&stationRecord)) {
        inStation << record->name;
        delete record;
    }
    QCOMPARE(inStation, moved ? QStringList{"Q"} : (QStringList{"P", "Q"}));
    QCOMPARE(texts(tree->CurrentPictypeItem()), inStation);
    if (moved)
        QCOMPARE(texts(MGraphTreeViewEditor::ChildNamed(tree->CurrentApplicationItem(), "feeder")),
                 (QStringList{"F", "P"}));
}

TALMER_TEST_MAIN(tst_EditorMenu)
#include "tst_editormenu.moc"
