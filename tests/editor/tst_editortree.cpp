#include <QSignalSpy>
#include <QTest>

#include "editortesting.h"
#include "mdbrecords.h"
#include "testmain.h"

using EditorTesting::EditorSite;
using TestSupport::texts;

namespace {

const QString kOld = "2026-01-01T10:00:00", kMid = "2026-01-02T10:00:00", kNew = "2026-01-03T10:00:00";

} // namespace

class tst_EditorTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionRows_data();
    void versionRows();
};

void tst_EditorTree::versionRows_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<bool>("showAll");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("history");

    const QStringList draftAndLatest{"draft", "latest version"};
    QTest::newRow("0-3, show-all off") << QList<int>{0, 1, 2, 3} << QStringList{kNew, kOld, kMid, kNew} << false
                                        << draftAndLatest << QStringList();
    QTest::newRow("0-3, show-all on") << QList<int>{0, 1, 2, 3} << QStringList{kNew, kOld, kMid, kNew} << true
                                       << QStringList{"history verstion", "draft", "latest version"}
                                       << QStringList{"Ver1(" + kOld + ")", "Ver2(" + kMid + ")"};
}

// Guards against the wrong versions shown for the draft/latest/history rules.
void tst_EditorTree::versionRows()
{
    QFETCH(QList<int>, versions);
    QFETCH(QStringList, times);
    QFETCH(bool, showAll);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, history);

    EditorSite site;
    site.picture("P", versions, times);
    QVERIFY(site.makeView());
    site.tree()->ShowAllEdition(showAll);
    MGraphTreeItem* picture = site.click({"A", "station", "P"});
    QVERIFY(picture);
    QCOMPARE(texts(picture), rows);
    QCOMPARE(texts(TestSupport::child(picture, "history verstion")), history);
}

TALMER_TEST_MAIN(tst_EditorTree)
#include "tst_editortree.moc"
