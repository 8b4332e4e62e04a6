// The exported comparison view: the list and the pictures, a selected change
// marked, failures that leave nothing stale on screen.
#include <QLabel>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include "comparepicturewidget.h"
#include "comparetesting.h"
#include "deploytree.h"
#include "mgraphcompareview.h"
#include "testmain.h"

using namespace CompareTesting;
using TestSupport::DeployTree;

namespace {

const QString kApp = QStringLiteral("SCADA");
const QString kPic = QString::fromUtf8("北京变电站");

// Versions 1 (the sample) and 2 (changed) of the sample picture, and a draft
// that does not read.
bool writeEditions(DeployTree& tree)
{
    const QString folder = tree.path(QString("pic/%1/%2").arg(kApp, kPic));
    auto doc = beijing();
    if (!doc || !QDir().mkpath(folder) || !doc->WriteDataFile(folder + "/1.brg"))
        return false;
    changeBeijing(*doc);
    return doc->WriteXmlFile(folder + "/2.xrg") && tree.writeFile(QString("pic/%1/%2/0.xrg").arg(kApp, kPic), "<graph");
}

} // namespace

class tst_GraphCompareView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheChangesOfTwoEditions();
    void selectingAChangeMarksItsObject();
    void failureEmptiesTheView_data();
    void failureEmptiesTheView();
    void comparesADrawingInMemory();
};

void tst_GraphCompareView::showsTheChangesOfTwoEditions()
{
    // Guards against a view whose list or pictures do not show the comparison asked for.
    DeployTree tree;
    QVERIFY(writeEditions(tree));
    MGraphCompareView view;
    QCOMPARE(MGraphCompareView::Editions(kApp, kPic), (QList<int>{0, 1, 2}));
    QVERIFY2(view.Compare(kApp, kPic, 1, 2), qPrintable(view.LastError()));
    QCOMPARE(view.LastError(), QString());
    QCOMPARE(view.ChangeCount(), 7);
    auto* list = view.findChild<QTreeWidget*>("changeList");
    QVERIFY(list);
    QCOMPARE(list->topLevelItemCount(), 7);
    QCOMPARE(list->topLevelItem(5)->text(0), QString("added"));
    QCOMPARE(list->topLevelItem(5)->text(1), QString("rect 49"));
    QCOMPARE(view.ChangeLines().at(3), QString("text changed: text 28 '东城线' → '东城一线'"));
    auto* overlay = view.findChild<ComparePictureWidget*>("overlay");
    auto* sideBySide = view.findChild<ComparePictureWidget*>("sideBySide");
    QVERIFY(overlay && sideBySide);
    QVERIFY(!overlay->Image().isNull());
    QVERIFY(overlay->Image() != sideBySide->Image());
    QVERIFY(view.findChild<QLabel*>("compareSummary")->text().contains("version 1 → version 2"));
    // The same version against itself: nothing listed.
    QVERIFY(view.Compare(kApp, kPic, 2, 2));
    QCOMPARE(view.ChangeCount(), 0);
    QCOMPARE(list->topLevelItemCount(), 0);
}

void tst_GraphCompareView::selectingAChangeMarksItsObject()
{
    // Guards against the mark of a selected change left on the previous one, or drawn on the wrong side.
    DeployTree tree;
    QVERIFY(writeEditions(tree));
    MGraphCompareView view;
    QVERIFY(view.Compare(kApp, kPic, 1, 2));
    auto* overlay = view.findChild<ComparePictureWidget*>("overlay");
    auto* sideBySide = view.findChild<ComparePictureWidget*>("sideBySide");
    QSignalSpy selected(&view, &MGraphCompareView::ChangeSelected);
    const int half = sideBySide->Image().width() / 2;

    view.SelectChange(5); // added: only where it is now
    QCOMPARE(view.SelectedChange(), 5);
    QCOMPARE(selected.takeLast().at(0).toInt(), 5);
    QVERIFY(overlay->MarkBefore().isNull());
    QVERIFY(overlay->MarkAfter().contains(overlay->MarkAfter().center()));
    QVERIFY(sideBySide->MarkBefore().isNull());
    QVERIFY(sideBySide->MarkAfter().left() > half);

    view.SelectChange(6); // removed: only where it was
    QVERIFY(overlay->MarkAfter().isNull());
    QVERIFY(!sideBySide->MarkBefore().isNull());
    QVERIFY(sideBySide->MarkBefore().right() < half);

    view.SelectChange(1); // moved: both places
    QVERIFY(!overlay->MarkBefore().isNull() && !overlay->MarkAfter().isNull());
    QCOMPARE(overlay->MarkAfter().left() - overlay->MarkBefore().left(), 30.0);

    // A click on a row selects it the same way.
    auto* list = view.findChild<QTreeWidget*>("changeList");
    view.resize(900, 700);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(2)).center());
    QCOMPARE(view.SelectedChange(), 2);
    QCOMPARE(selected.takeLast().at(0).toInt(), 2);

    view.SelectChange(-1);
    QCOMPARE(view.SelectedChange(), -1);
    QVERIFY(overlay->MarkBefore().isNull() && overlay->MarkAfter().isNull());
}

void tst_GraphCompareView::failureEmptiesTheView_data()
{
    QTest::addColumn<QString>("pic");
    QTest::addColumn<int>("editionA");
    QTest::addColumn<int>("editionB");
    QTest::addColumn<QString>("error");
    QTest::newRow("old edition missing") << kPic << 5 << 2 << "SCADA/北京变电站 has no version 5";
    QTest::newRow("new edition missing") << kPic << 1 << 5 << "SCADA/北京变电站 has no version 5";
    QTest::newRow("draft does not read") << kPic << 0 << 2 << "the draft of SCADA/北京变电站 does not read as a drawing";
    QTest::newRow("unknown picture") << "x" << 1 << 2 << "no picture SCADA/x in the deployment tree";
}

void tst_GraphCompareView::failureEmptiesTheView()
{
    // Guards against a failed comparison that leaves the previous list on screen as if it were the answer.
    QFETCH(QString, pic);
    QFETCH(int, editionA);
    QFETCH(int, editionB);
    QFETCH(QString, error);
    DeployTree tree;
    QVERIFY(writeEditions(tree));
    MGraphCompareView view;
    QVERIFY(view.Compare(kApp, kPic, 1, 2));
    view.SelectChange(1);
    QVERIFY(!view.Compare(kApp, pic, editionA, editionB));
    QCOMPARE(view.LastError(), error);
    QCOMPARE(view.ChangeCount(), 0);
    QCOMPARE(view.findChild<QTreeWidget*>("changeList")->topLevelItemCount(), 0);
    QVERIFY(view.findChild<ComparePictureWidget*>("overlay")->Image().isNull());
    QCOMPARE(view.findChild<QLabel*>("compareSummary")->text(), error);
}

void tst_GraphCompareView::comparesADrawingInMemory()
{
    // Guards against the host's open drawing compared with something else than the edition it chose.
    DeployTree tree;
    QVERIFY(writeEditions(tree));
    auto open = beijing();
    QVERIFY(open);
    open->SetShare(true);
    MGraphCompareView view;
    QVERIFY(view.Compare(kApp, kPic, 1, *open));
    QCOMPARE(view.ChangeLines(), QStringList{"property: shared no → yes"});
    QVERIFY(view.findChild<QLabel*>("compareSummary")->text().contains("version 1 → the open drawing"));
    auto other = beijing();
    view.Compare(*other, *open);
    QCOMPARE(view.ChangeLines(), QStringList{"property: shared no → yes"});
    QCOMPARE(view.LastError(), QString());
}

TALMER_TEST_MAIN(tst_GraphCompareView)
#include "tst_graphcompareview.moc"
