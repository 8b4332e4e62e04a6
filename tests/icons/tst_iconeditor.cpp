#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "dialogdriver.h"
#include "ftptestserver.h"
#include "icontesting.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mhmiadmin.h"
#include "miconboxeditor.h"
#include "miconeditoritem.h"
#include "miconvieweditor.h"
#include "testmain.h"
#include "testsite.h"
#include "treetesting.h"

using TestSupport::DialogDriver;
using TestSupport::TestSite;
using TestSupport::child;
using TestSupport::texts;

namespace {

const QString kOld = "2026-01-01T10:00:00", kNew = "2030-01-01T10:00:00";

using IconTesting::iconRecords;

} // namespace

class tst_IconEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSite> m_site;
    std::unique_ptr<MIconViewEditor> m_view;
    QString m_breaker, m_bus, m_plugins;

    MIconBoxEditor* box() const { return m_view->Box(); }
    bool makeView()
    {
        if (!m_site->builder().ok()) {
            qWarning("%s", qPrintable(m_site->builder().errors()));
            return false;
        }
        m_view = std::make_unique<MIconViewEditor>();
        m_view->resize(300, 500);
        m_view->show();
        box()->SetClickInterval(0);
        return QTest::qWaitForWindowExposed(m_view.get());
    }
    MIconEditorItem* openType(const QString& name)
    {
        MIconEditorItem* item = box()->FindTypeItem(name);
        box()->ItemClicked(item, 0);
        return item;
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void typesAreListedByCategoryWithoutHiddenOnes();
    void iconsOfOneNameShowOnceTheLatest();
    void secondClickWithinTheIntervalKeepsTheType();
    void rightClickNeverOpens();
    void pluginIconsDoNothingOnClick();
    void staleIconsAreFetchedBeforeSelection_data();
    void staleIconsAreFetchedBeforeSelection();
    void commandsActOnTheTypeTheMenuWasOpenedOn();
    void selectTypeOpensOnlyCollapsedTypes();
    void deleteAsksAndActsOnIconsOnly_data();
    void deleteAsksAndActsOnIconsOnly();
    void rename_data();
    void rename();
    void registerIconAddsOrUpdates();
};

void tst_IconEditor::init()
{
    m_site = std::make_unique<TestSite>();
    SiteGen::SiteBuilder& b = m_site->builder();
    m_breaker = b.iconType("breaker", 2, 0, 0);
    m_bus = b.iconType("bus", 5, 1, 1);
    m_plugins = b.iconType("plugins", 72, 0, 3);
}

void tst_IconEditor::cleanup()
{
    m_view.reset();
    m_site.reset();
}

void tst_IconEditor::typesAreListedByCategoryWithoutHiddenOnes()
{
    // Guards against hidden or unknown-category icon types reaching the editor, or types under the wrong category.
    m_site->builder().iconType("hidden", 3, 0, 0, true);
    m_site->builder().iconType("category 4", 3, 0, 4);
    m_site->builder().iconType("background", 99, 0, 2);
    QVERIFY(makeView());
    QCOMPARE(box()->topLevelItemCount(), 4);
    QCOMPARE(texts(box()->topLevelItem(0)), QStringList{"breaker"});
    QCOMPARE(texts(box()->topLevelItem(1)), QStringList{"bus"});
    QCOMPARE(texts(box()->topLevelItem(2)), QStringList{"background"});
    QCOMPARE(texts(box()->topLevelItem(3)), QStringList{"plugins"});
    QVERIFY(!box()->FindTypeItem("breaker")->icon(0).isNull());
    QVERIFY(box()->FindTypeItem("background")->icon(0).isNull()); // catalog 99 has no picture
}

void tst_IconEditor::iconsOfOneNameShowOnceTheLatest()
{
    // Guards against duplicate icon names listed twice, or the older record of the two being the one opened.
    SiteGen::SiteBuilder& b = m_site->builder();
    b.icon(m_breaker, "A", "{old}", kOld);
    b.icon(m_breaker, "B", "{b}", kOld);
    b.icon(m_breaker, "A", "{new}", kOld);
    QVERIFY(makeView());
    MIconEditorItem* type = openType("breaker");
    QCOMPARE(texts(type), (QStringList{"A", "B"}));
    QCOMPARE(static_cast<MDBRecordIcon*>(static_cast<MIconEditorItem*>(type->child(0))->Record())->uuid,
             QString("{new}"));
}

void tst_IconEditor::secondClickWithinTheIntervalKeepsTheType()
{
    // Guards against a quick second click emptying the open type (its icons deleted and not listed again).
    m_site->builder().icon(m_breaker, "A", "{a}", kOld);
    QVERIFY(makeView());
    box()->SetClickInterval(300);
    QSignalSpy selected(box(), &MIconBoxEditor::TypeSelected);
    MIconEditorItem* type = openType("breaker");
    box()->ItemClicked(type, 0);
    QCOMPARE(texts(type), QStringList{"A"});
    QCOMPARE(selected.count(), 1);
    // Once the interval is over, a click opens the type again.
    QTRY_VERIFY_WITH_TIMEOUT((box()->ItemClicked(type, 0), selected.count() == 2), 3000);
    QCOMPARE(texts(type), QStringList{"A"});
}

void tst_IconEditor::rightClickNeverOpens()
{
    // Guards against a right click (meant for the menu) opening a type.
    QVERIFY(makeView());
    QSignalSpy selected(box(), &MIconBoxEditor::TypeSelected);
    box()->expandAll();
    MIconEditorItem* type = box()->FindTypeItem("bus");
    const QPoint at = box()->visualItemRect(type).center();
    QTest::mouseClick(box()->viewport(), Qt::RightButton, {}, at);
    QCOMPARE(selected.count(), 0);
    QTest::mouseClick(box()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.first().first().toString(), QString("bus"));
}

void tst_IconEditor::pluginIconsDoNothingOnClick()
{
    // Guards against a plug-in (a library, not an icon file) being fetched or handed to the host as an icon.
    m_site->builder().icon(m_plugins, "meter", "sub/meter", kOld);
    QVERIFY(makeView());
    QSignalSpy selected(box(), &MIconBoxEditor::IconSelected);
    MIconEditorItem* type = openType("plugins");
    box()->ItemClicked(type->child(0), 0);
    QCOMPARE(selected.count(), 0);
    QVERIFY(!QFileInfo::exists(MDeployPaths::IconFile("plugins", "sub/meter")));
}

void tst_IconEditor::staleIconsAreFetchedBeforeSelection_data()
{
    QTest::addColumn<QString>("makeTime");
    QTest::addColumn<bool>("localCopy");
    QTest::addColumn<QByteArray>("opened");
    QTest::newRow("missing: fetched") << kOld << false << QByteArray("server");
    QTest::newRow("older than its record: fetched") << kNew << true << QByteArray("server");
    QTest::newRow("current: kept") << kOld << true << QByteArray("local");
}

void tst_IconEditor::staleIconsAreFetchedBeforeSelection()
{
    // Guards against the host opening a missing or outdated icon file when the server has the current one.
    QFETCH(QString, makeTime);
    QFETCH(bool, localCopy);
    QFETCH(QByteArray, opened);
    m_site->builder().icon(m_breaker, "A", "{a}", makeTime);
    QVERIFY(TestSupport::writeFile(m_site->server("icon/breaker/{a}.xco"), "server"));
    if (localCopy)
        QVERIFY(m_site->tree().writeFile("icon/breaker/{a}.xco", "local"));
    QVERIFY(makeView());
    QSignalSpy selected(m_view.get(), &MAbstractIconViewEditor::IconSelected);
    MIconEditorItem* type = openType("breaker");
    box()->ItemClicked(type->child(0), 0);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.first(), (QVariantList{"breaker", "A", "{a}"}));
    QCOMPARE(m_site->tree().readFile("icon/breaker/{a}.xco"), opened);
}

void tst_IconEditor::commandsActOnTheTypeTheMenuWasOpenedOn()
{
    // Guards against "new icon" and "import icon" acting on the open type instead of the one under the menu.
    QVERIFY(makeView());
    QSignalSpy created(m_view.get(), &MAbstractIconViewEditor::IconNew);
    box()->NewIcon(); // no type open: nothing
    QCOMPARE(created.count(), 0);
    DialogDriver dialogs;
    box()->ImportIcon(); // no dialog without a type
    DIALOGS_DONE(dialogs);

    openType("breaker");
    QList<QAction*> actions = box()->MenuActions(box()->FindTypeItem("bus"));
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions.at(0)->text(), QString("new icon"));
    QCOMPARE(actions.at(2)->text(), QString("import icon"));
    actions.at(0)->trigger();
    QCOMPARE(created.count(), 1);
    QCOMPARE(created.first(), (QVariantList{"bus", 5, 1}));
    QString type;
    int catId = -1, shapeType = -1;
    m_view->GetCurrentType(type, catId, shapeType);
    QCOMPARE(type, QString("bus"));

    actions = box()->MenuActions(box()->FindTypeItem("plugins"));
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions.first()->text(), QString("import icon"));
    QVERIFY(box()->MenuActions(box()->topLevelItem(0)).isEmpty()); // never over a category
}

void tst_IconEditor::selectTypeOpensOnlyCollapsedTypes()
{
    // Guards against SelectType reopening (and refilling) a type already open, or not opening a closed one.
    QVERIFY(makeView());
    QString type = "unchanged";
    int catId = -1, shapeType = -1;
    m_view->GetCurrentType(type, catId, shapeType);
    QCOMPARE(type, QString("unchanged"));
    QCOMPARE(catId, -1);
    QSignalSpy selected(m_view.get(), &MAbstractIconViewEditor::TypeSelected);
    m_view->SelectType("bus");
    QCOMPARE(selected.count(), 1);
    QVERIFY(box()->FindTypeItem("bus")->parent()->isExpanded()); // shown, not opened inside a closed category
    m_view->SelectType("bus");
    QCOMPARE(selected.count(), 1);
    m_view->SelectType("no such type");
    QCOMPARE(selected.count(), 1);
    m_view->GetCurrentType(type, catId, shapeType);
    QCOMPARE(type, QString("bus"));
    QCOMPARE(catId, 5);
    QCOMPARE(shapeType, 1);
}

void tst_IconEditor::deleteAsksAndActsOnIconsOnly_data()
{
    QTest::addColumn<bool>("onIcon");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("Yes on an icon: deleted") << true << true << QStringList{"B"};
    QTest::newRow("No on an icon: nothing") << true << false << QStringList{"A", "B"};
    QTest::newRow("on the type: nothing, not asked") << false << false << QStringList{"A", "B"};
}

void tst_IconEditor::deleteAsksAndActsOnIconsOnly()
{
    // Guards against a declined delete removing the icon, or a delete over a type removing the type itself.
    QFETCH(bool, onIcon);
    QFETCH(bool, answerYes);
    QFETCH(QStringList, left);
    m_site->builder().icon(m_breaker, "A", "{a}", kOld);
    m_site->builder().icon(m_breaker, "B", "{b}", kOld);
    QVERIFY(m_site->tree().writeFile("icon/breaker/{a}.xco", "icon"));
    QVERIFY(makeView());
    MIconEditorItem* type = openType("breaker");
    box()->setCurrentItem(onIcon ? child(type, "A") : type);
    QSignalSpy deleted(m_view.get(), &MAbstractIconViewEditor::IconDeleted);
    DialogDriver dialogs;
    if (onIcon)
        dialogs.pressButton(answerYes ? QMessageBox::Yes : QMessageBox::No, "Are you sure to delete icon:A?");
    box()->DeleteIcon();
    DIALOGS_DONE(dialogs);
    QCOMPARE(texts(type), left);
    QStringList stored;
    for (const MDBRecordIcon& icon : iconRecords("breaker"))
        stored << icon.name;
    QCOMPARE(stored, left);
    QCOMPARE(deleted.count(), answerYes ? 1 : 0);
    if (answerYes)
        QCOMPARE(deleted.first(), (QVariantList{"breaker", "A", "{a}"}));
    QCOMPARE(iconRecords("breaker").isEmpty(), false);
    QVERIFY(box()->FindTypeItem("breaker"));
    QCOMPARE(m_site->tree().readFile("icon/breaker/{a}.xco"), QByteArray("icon")); // files stay
}

void tst_IconEditor::rename_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("refused");
    QTest::newRow("literal name") << "C" << false << "C" << false;
    QTest::newRow("translated name") << "translate me" << false << "translated" << false;
    QTest::newRow("name used in another type") << "Z" << false << "A" << true;
    QTest::newRow("blank") << "  " << false << "A" << false;
    QTest::newRow("cancelled") << "C" << true << "A" << false;
}

void tst_IconEditor::rename()
{
    // Guards against a literal new name being dropped, a name used elsewhere being taken, or a cancel renaming.
    QFETCH(QString, answer);
    QFETCH(bool, cancel);
    QFETCH(QString, stored);
    QFETCH(bool, refused);
    m_site->builder().icon(m_breaker, "A", "{a}", kOld);
    m_site->builder().icon(m_bus, "Z", "{z}", kOld);
    QVERIFY(MHmiAdmin::SetTranslation("translate me", "translated", "1"));
    QVERIFY(makeView());
    MIconEditorItem* type = openType("breaker");
    box()->setCurrentItem(type->child(0));
    QSignalSpy renamed(m_view.get(), &MAbstractIconViewEditor::IconRenamed);
    DialogDriver dialogs;
    if (cancel)
        dialogs.cancelInput();
    else
        dialogs.enterText(answer, "New Name:");
    if (refused)
        dialogs.pressButton(QMessageBox::Ok, "Name used!");
    box()->RenameIcon();
    DIALOGS_DONE(dialogs);
    QCOMPARE(iconRecords("breaker").first().name, stored);
    QCOMPARE(type->child(0)->text(0), stored);
    QCOMPARE(renamed.count(), stored == "A" ? 0 : 1);
    if (stored != "A")
        QCOMPARE(renamed.first(), (QVariantList{"breaker", "A", stored, "{a}"}));
}

void tst_IconEditor::registerIconAddsOrUpdates()
{
    // Guards against a registered icon getting a second record, an empty time, or a record in a missing type.
    m_site->builder().icon(m_breaker, "A", "{a}", kOld);
    QVERIFY(makeView());
    MIconEditorItem* type = openType("breaker");
    m_view->RegisterIcon("breaker", "A", "{a}"); // no file: the record keeps its time
    QCOMPARE(iconRecords("breaker").size(), 1);
    QCOMPARE(iconRecords("breaker").first().makeTime, kOld);

    const QDateTime written = QDateTime(QDate(2027, 5, 6), QTime(7, 8, 9));
    QVERIFY(TestSupport::writeFile(MDeployPaths::IconFile("breaker", "{a}"), "icon", written));
    m_view->RegisterIcon("breaker", "A", "{a}");
    QCOMPARE(iconRecords("breaker").size(), 1);
    QCOMPARE(iconRecords("breaker").first().makeTime, written.toString(Qt::ISODate));

    QVERIFY(TestSupport::writeFile(MDeployPaths::IconFile("breaker", "{n}"), "new icon", written));
    m_view->RegisterIcon("breaker", "N", "{n}");
    QCOMPARE(iconRecords("breaker").size(), 2);
    QCOMPARE(iconRecords("breaker").last().makeTime, written.toString(Qt::ISODate));
    QCOMPARE(texts(type), (QStringList{"A", "N"}));
    QCOMPARE(TestSupport::readFile(m_site->server("icon/breaker/{n}.xco")), QByteArray("new icon"));

    m_view->RegisterIcon("no such type", "X", "{x}");
    QCOMPARE(iconRecords("no such type").size(), 0);
}

TALMER_TEST_MAIN(tst_IconEditor)
#include "tst_iconeditor.moc"
