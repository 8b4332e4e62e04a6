#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include "editortesting.h"
#include "mabstractgraphbridge.h"
#include "mdeploypaths.h"
#include "picturesearch.h"
#include "testmain.h"

using EditorTesting::EditorSite;

namespace {

const QString kOld = "2026-01-01T10:00:00";

} // namespace

class tst_EditorView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void occurrenceOfTheChosenName_data();
    void occurrenceOfTheChosenName();
    void searchBoxOpensTheChosenOccurrence();
    void returnKeyOpensThePopup();
    void signalsRelayedUnchanged();
    void hostQueries();
    void deploymentRootRequired();
};

void tst_EditorView::occurrenceOfTheChosenName_data()
{
    QTest::addColumn<QStringList>("matches");
    QTest::addColumn<int>("before");    // the box's index before the refill
    QTest::addColumn<int>("activated"); // the entry activated (0: the typed text)
    QTest::addColumn<int>("occurrence");

    const QStringList twoT{"t", "t"};
    QTest::newRow("first of two") << twoT << -1 << 1 << 0;
    QTest::newRow("second of two: t:1") << twoT << -1 << 2 << 1;
    QTest::newRow("third, another name between") << QStringList{"t", "x", "t", "t"} << -1 << 4 << 2;
    QTest::newRow("another name after equal ones") << QStringList{"t", "t", "x"} << -1 << 3 << 0;
    QTest::newRow("typed text, saved index 2") << twoT << 2 << 0 << 1;
    QTest::newRow("typed text, saved index 1") << twoT << 1 << 0 << 0;
    QTest::newRow("typed text, saved index past the list") << QStringList{"t"} << 3 << 0 << 0;
    QTest::newRow("typed text, nothing saved") << twoT << -1 << 0 << 0;
}

// Guards against the search opening the wrong one of several pictures of one name.
void tst_EditorView::occurrenceOfTheChosenName()
{
    QFETCH(QStringList, matches);
    QFETCH(int, before);
    QFETCH(int, activated);
    QFETCH(int, occurrence);

    QComboBox box;
    box.setEditable(true);
    box.addItems({"t", "t", "t", "t", "t"});
    box.setCurrentIndex(before);
    PictureSearch search;
    search.Refill(&box, "t", matches);
    QCOMPARE(search.Matches(), QStringList{"t"} + matches);
    QCOMPARE(search.SavedIndex(), before);
    QCOMPARE(box.count(), matches.size() + 1);
    QCOMPARE(box.currentText(), QString("t"));
    if (activated > 0)
        box.setCurrentIndex(activated);
    QCOMPARE(search.Occurrence(&box, activated), occurrence);
}

// Guards against the search box listing the wrong names or opening the wrong application's picture.
void tst_EditorView::searchBoxOpensTheChosenOccurrence()
{
    EditorSite site;
    const QString b = site.builder().application("B");
    const QString bType = site.builder().pictureType(b, "station", 2);
    site.picture("TT", {0}, {kOld});
    site.picture("TT", {0}, {kOld}, bType);
    site.picture("北京变电站", {0}, {kOld});
    QVERIFY(site.makeView());
    QSignalSpy selected(site.view(), &MAbstractGraphView::GraphSelected);
    QComboBox* combo = site.view()->SearchBox();
    combo->setEditText("t");
    QCOMPARE(combo->count(), 3);
    combo->setCurrentIndex(2);
    site.view()->ComboActivated(2);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0), (QVariantList{"B", "TT", 0, 0}));
    combo->setEditText("bj"); // Pinyin initials
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(1), QString("北京变电站"));
    combo->setCurrentIndex(1);
    site.view()->ComboActivated(1);
    QCOMPARE(selected.count(), 2);
    QCOMPARE(selected.at(1), (QVariantList{"A", "北京变电站", 0, 0}));
    combo->setEditText("");
    QCOMPARE(combo->count(), 2); // an empty text searches nothing
}

// Guards against Return swallowed by the view instead of showing the matches.
void tst_EditorView::returnKeyOpensThePopup()
{
    EditorSite site;
    site.picture("AB", {0}, {kOld});
    QVERIFY(site.makeView());
    QComboBox* combo = site.view()->SearchBox();
    combo->setEditText("A");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Return);
    QTRY_VERIFY(combo->view()->isVisible());
    combo->hidePopup();
    QTest::keyClick(combo, Qt::Key_Escape);
    QVERIFY(!combo->view()->isVisible());
}

// Guards against a tree signal lost or changed on its way to the host.
void tst_EditorView::signalsRelayedUnchanged()
{
    EditorSite site;
    QVERIFY(site.makeView());
    MGraphViewEditor* view = site.view();
    MGraphTreeViewEditor* tree = site.tree();
    QSignalSpy selected(view, &MAbstractGraphView::GraphSelected);
    QSignalSpy deleted(view, &MAbstractGraphView::GraphDelected);
    QSignalSpy released(view, &MAbstractGraphView::GraphReleased);
    QSignalSpy property(view, &MAbstractGraphView::EditPicProperty);
    QSignalSpy retyped(view, &MAbstractGraphView::sigChangeGraphType);
    QSignalSpy errors(view, &MAbstractGraphView::ShowErrMsg);
    emit tree->GraphSelected("A", "P", 3, 1);
    emit tree->GraphDelected("A", "Q");
    emit tree->GraphReleased("A", "P", 4);
    emit tree->EditPicProperty();
    emit tree->sigChangeGraphType("A", "P", "feeder", 9);
    const QList<MErrMsg> messages{MErrMsg("P", "failed", -2)};
    emit tree->SigShowErrMsg(messages);
    QCOMPARE(selected.value(0), (QVariantList{"A", "P", 3, 1}));
    QCOMPARE(deleted.value(0), (QVariantList{"A", "Q"}));
    QCOMPARE(released.value(0), (QVariantList{"A", "P", 4}));
    QCOMPARE(property.count(), 1);
    QCOMPARE(retyped.value(0), (QVariantList{"A", "P", "feeder", 9}));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).value<QList<MErrMsg>>(), messages);
}

// Guards against the host reading another value than the tree holds.
void tst_EditorView::hostQueries()
{
    EditorSite site;
    QVERIFY(site.makeView());
    MGraphViewEditor* view = site.view();
    QString name = "untouched";
    view->GetSubstationName(name);
    QCOMPARE(name, QString());
    site.tree()->SetSubstationName("北京");
    view->GetSubstationName(name);
    QCOMPARE(name, QString("北京"));
    QVERIFY(!view->IsNewGraph());
    site.tree()->SetNewGraph(true);
    QVERIFY(view->IsNewGraph());
    MAbstractGraphBridge bridge;
    view->SetGraphBridge(&bridge);
    QCOMPARE(view->GraphBridge(), &bridge);
    QCOMPARE(site.tree()->GraphBridge(), &bridge);
    QVERIFY(!view->GetLatestFile("A", "P", 0)); // the base answer
}

// Guards against folders made and files fetched below the file-system root when no deployment root is set.
void tst_EditorView::deploymentRootRequired()
{
    EditorSite site;
    site.picture("P", {0}, {kOld});
    QVERIFY(site.makeView());
    QVERIFY(QFileInfo(site.deploy().path("pic/temporary")).isDir());
    if (qEnvironmentVariableIsEmpty("TALMER_HMI_DB"))
        qputenv("TALMER_HMI_DB", site.deploy().path("var/hmi.sqlite").toUtf8());
    const bool rootPicBefore = QFileInfo::exists("/pic");
    qunsetenv("TALMER_DEPLOY_DIR");
    MGraphViewEditor rootless;
    QCOMPARE(QFileInfo::exists("/pic"), rootPicBefore);
    QSignalSpy selected(site.view(), &MAbstractGraphView::GraphSelected);
    QSignalSpy errors(site.view(), &MAbstractGraphView::ShowErrMsg);
    site.click({"A", "station", "P"});
    QCOMPARE(selected.count(), 0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(QFileInfo::exists("/pic"), rootPicBefore);
    qunsetenv("TALMER_HMI_DB");
}

TALMER_TEST_MAIN(tst_EditorView)
#include "tst_editorview.moc"
