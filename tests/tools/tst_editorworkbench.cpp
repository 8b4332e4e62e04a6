#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <memory>

#include "dialogdriver.h"
#include "editorwindow.h"
#include "ftptestserver.h"
#include "graphcanvas.h"
#include "icontesting.h"
#include "iconlookspanel.h"
#include "iconworkbench.h"
#include "mabstractdbinterface.h"
#include "mabstracticonvieweditor.h"
#include "mdbinterfaceholder.h"
#include "mdeploypaths.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "micontemplate.h"
#include "recordlist.h"
#include "templateworkbench.h"
#include "testmain.h"
#include "testsite.h"

using TestSupport::DialogDriver;
using TestSupport::TestSite;

namespace {

const QString kOld = "2026-01-01T10:00:00";

// The names of the icons recorded under the icon type.
QStringList iconNames(const QString& type)
{
    QStringList names;
    for (const MDBRecordIcon& icon : IconTesting::iconRecords(type))
        names << icon.name;
    return names;
}

QString iconUuid(const QString& type, const QString& name)
{
    for (const MDBRecordIcon& icon : IconTesting::iconRecords(type)) {
        if (icon.name == name)
            return icon.uuid;
    }
    return {};
}

// How many template records of that name the template type (by record name) holds.
int templateRecords(const QString& typeName, const QString& name)
{
    MAbstractDBInterface* db = MDBInterfaceHolder::Instance()->GetInterface();
    RecordList types;
    db->GetTemplateTypes(types.out());
    int count = 0;
    for (MDBRecordBase* type : types) {
        if (type->name != typeName)
            continue;
        RecordList templates;
        db->GetChildren(type, templates.out());
        for (MDBRecordBase* t : templates)
            count += t->name == name ? 1 : 0;
    }
    return count;
}

QTreeWidgetItem* listedIcon(QTreeWidget* tree, const QString& name)
{
    for (QTreeWidgetItem* item : tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive)) {
        if (item->parent() && item->parent()->parent())
            return item;
    }
    return nullptr;
}

int members(const QString& xtp)
{
    MHasRelation t(MDrawObj::ObjTemplate);
    return t.LoadFile(xtp) ? t.Size() : -1;
}

} // namespace

class tst_EditorWorkbench : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSite> m_site;
    std::unique_ptr<EditorWindow> m_window;
    QMap<QString, QString> m_templateTypes; // alias -> identifier

    bool makeWindow()
    {
        if (!m_site->builder().ok()) {
            qWarning("%s", qPrintable(m_site->builder().errors()));
            return false;
        }
        m_window = std::make_unique<EditorWindow>();
        m_window->show();
        return QTest::qWaitForWindowExposed(m_window.get());
    }
    QTreeWidget* library() const { return m_window->IconEditor()->findChild<QTreeWidget*>(); }
    IconLooksPanel* looks() const { return m_window->Icons()->Looks(); }
    QStringList messages() const
    {
        QStringList out;
        for (int i = 0; i < m_window->Messages()->count(); ++i)
            out << m_window->Messages()->item(i)->text();
        return out;
    }
    // Runs the library's own "rename icon" command on the icon, answering its dialog.
    void renameInLibrary(const QString& name, const QString& newName)
    {
        QTreeWidgetItem* item = listedIcon(library(), name);
        QVERIFY(item);
        library()->setCurrentItem(item);
        QAction* rename = nullptr;
        for (QAction* action : library()->findChildren<QAction*>())
            rename = action->text() == "rename icon" ? action : rename;
        QVERIFY(rename);
        DialogDriver dialogs;
        dialogs.enterText(newName);
        rename->trigger();
        DIALOGS_DONE(dialogs);
    }

private Q_SLOTS:
    void init()
    {
        m_site = std::make_unique<TestSite>();
        m_site->builder().iconType("breaker", 2, 0, 0);
        m_site->builder().iconType("bus", 5, 1, 1);
        m_templateTypes["style"] = m_site->builder().templateType("style", "style");
        m_templateTypes["bay"] = m_site->builder().templateType("bay type", "bay");
    }
    void cleanup()
    {
        m_window.reset();
        m_site.reset();
    }

    void newIconIsFiledUploadedThenRecorded_data();
    void newIconIsFiledUploadedThenRecorded();
    void newIconRefusedLeavesNothing_data();
    void newIconRefusedLeavesNothing();
    void failedUploadRecordsNothing();
    void renameRewritesTheFileName_data();
    void renameRewritesTheFileName();
    void selectedIconShowsEveryLookUntilDeleted();
    void templateSaveUploadsAndRecordsOnce_data();
    void templateSaveUploadsAndRecordsOnce();
    void templateRefusedByTheServerStaysUnsavedAndUnrecorded();
    void onlyTemplateFolderFilesOpen_data();
    void onlyTemplateFolderFilesOpen();
    void leavingUnsavedTemplateAsks();
    void unreadableTemplateIsNeitherOpenedNorOverwritten();
    void missingIconFilesFetchedAtStart();
};

void tst_EditorWorkbench::newIconIsFiledUploadedThenRecorded_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shape");
    QTest::newRow("box type") << "breaker" << 2 << 0;
    QTest::newRow("line type") << "bus" << 5 << 1;
}

void tst_EditorWorkbench::newIconIsFiledUploadedThenRecorded()
{
    // Guards against a new icon recorded without its file, without the server's copy, or not listed.
    QFETCH(QString, type);
    QFETCH(int, code);
    QFETCH(int, shape);
    QVERIFY(makeWindow());
    m_window->IconEditor()->SelectType(type);
    DialogDriver dialogs;
    dialogs.enterText("  new one ");
    emit m_window->IconEditor()->IconNew(type, code, shape);
    DIALOGS_DONE(dialogs);
    QCOMPARE(iconNames(type), QStringList{"new one"});
    const QString uuid = iconUuid(type, "new one");
    const IconTesting::IconInfo local = IconTesting::readIcon(MDeployPaths::IconFile(type, uuid));
    QVERIFY(local.read);
    QCOMPARE(local.name, QString("new one"));
    QCOMPARE(local.uuid, uuid);
    QCOMPARE(local.catalog, type);
    QCOMPARE(local.catalogId, code);
    QCOMPARE(local.shapeType, shape);
    QCOMPARE(IconTesting::readIcon(m_site->server("icon/" + type + "/" + uuid + ".xco")).uuid, uuid);
    QVERIFY(listedIcon(library(), "new one"));
    QCOMPARE(looks()->LookNames().size(), 1);
    QVERIFY(messages().isEmpty());
}

void tst_EditorWorkbench::newIconRefusedLeavesNothing_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reported");
    QTest::newRow("cancelled") << true << QString() << false;
    QTest::newRow("blank name") << false << "   " << true;
    QTest::newRow("name of a listed icon") << false << "A" << true;
}

void tst_EditorWorkbench::newIconRefusedLeavesNothing()
{
    // Guards against a cancelled or refused new icon still leaving a record or a file behind.
    QFETCH(bool, cancel);
    QFETCH(QString, name);
    QFETCH(bool, reported);
    const QString breaker = m_site->builder().iconType("switch", 3, 0, 0);
    m_site->builder().icon(breaker, "A", "{11111111-1111-1111-1111-111111111111}", kOld);
    QVERIFY(makeWindow());
    m_window->IconEditor()->SelectType("switch");
    DialogDriver dialogs;
    cancel ? dialogs.cancelInput() : dialogs.enterText(name);
    emit m_window->IconEditor()->IconNew("switch", 3, 0);
    DIALOGS_DONE(dialogs);
    QCOMPARE(iconNames("switch"), QStringList{"A"});
    QCOMPARE(QDir(m_site->tree().path("icon/switch")).entryList(QDir::Files), QStringList());
    QCOMPARE(messages().size(), reported ? 1 : 0);
}

void tst_EditorWorkbench::failedUploadRecordsNothing()
{
    // Guards against an icon the file server refused being recorded, or its file left behind unrecorded.
    QVERIFY(TestSupport::writeFile(m_site->server("icon/breaker"), "a file where the folder goes"));
    QVERIFY(makeWindow());
    m_window->IconEditor()->SelectType("breaker");
    QString error;
    QVERIFY(!m_window->Icons()->CreateIcon("breaker", 2, 0, "refused", error));
    QVERIFY2(error.contains("file server"), qPrintable(error));
    QVERIFY(iconNames("breaker").isEmpty());
    QVERIFY(!listedIcon(library(), "refused"));
    QCOMPARE(QDir(m_site->tree().path("icon/breaker")).entryList(QDir::Files), QStringList());
}

void tst_EditorWorkbench::renameRewritesTheFileName_data()
{
    QTest::addColumn<bool>("localCopy");
    QTest::addColumn<bool>("serverCopy");
    QTest::addColumn<bool>("rewritten");
    QTest::newRow("file here") << true << false << true;
    QTest::newRow("file only on the server") << false << true << true;
    QTest::newRow("file nowhere: reported") << false << false << false;
}

void tst_EditorWorkbench::renameRewritesTheFileName()
{
    // Guards against a renamed icon whose file (here and on the server) keeps the old name, silently.
    QFETCH(bool, localCopy);
    QFETCH(bool, serverCopy);
    QFETCH(bool, rewritten);
    const QString uuid = "{22222222-2222-2222-2222-222222222222}";
    const QString breaker = m_site->builder().iconType("switch", 3, 0, 0);
    m_site->builder().icon(breaker, "old", uuid, kOld);
    if (localCopy)
        QVERIFY(IconTesting::writeIcon(MDeployPaths::IconFile("switch", uuid), "old", uuid, "switch", 2));
    if (serverCopy)
        QVERIFY(IconTesting::writeIcon(m_site->server("icon/switch/" + uuid + ".xco"), "old", uuid, "switch", 2));
    QVERIFY(makeWindow());
    m_window->IconEditor()->SelectType("switch");
    renameInLibrary("old", "new");
    QCOMPARE(iconNames("switch"), QStringList{"new"});
    const IconTesting::IconInfo local = IconTesting::readIcon(MDeployPaths::IconFile("switch", uuid));
    const IconTesting::IconInfo server = IconTesting::readIcon(m_site->server("icon/switch/" + uuid + ".xco"));
    QCOMPARE(local.read, rewritten);
    QCOMPARE(server.read, rewritten);
    if (rewritten) {
        QCOMPARE(local.name, QString("new"));
        QCOMPARE(server.name, QString("new"));
        QCOMPARE(IconTesting::readIcon(MDeployPaths::IconFile("switch", uuid)).uuid, uuid);
    }
    QCOMPARE(messages().size(), rewritten ? 0 : 1);
}

void tst_EditorWorkbench::selectedIconShowsEveryLookUntilDeleted()
{
    // Guards against looks missing or drawn in the wrong place, and a deleted icon staying on show.
    const QString uuid = "{33333333-3333-3333-3333-333333333333}";
    const QString other = "{44444444-4444-4444-4444-444444444444}";
    const QString breaker = m_site->builder().iconType("switch", 3, 0, 0);
    m_site->builder().icon(breaker, "three", uuid, kOld);
    m_site->builder().icon(breaker, "other", other, kOld);
    QVERIFY(IconTesting::writeIcon(MDeployPaths::IconFile("switch", uuid), "three", uuid, "switch", 3));
    QVERIFY(makeWindow());
    m_window->IconEditor()->SelectType("switch");
    emit library()->itemClicked(listedIcon(library(), "three"), 0);
    QCOMPARE(looks()->LookNames(), (QStringList{"p0", "p1", "p2"}));
    // Drawn apart from the window's layout, at a known size.
    IconLooksPanel panel;
    QString error;
    QVERIFY(panel.ShowIcon("switch", "three", uuid, MDeployPaths::IconFile("switch", uuid), error));
    panel.resize(400, 200);
    const QImage image = panel.grab().toImage();
    const QList<QRgb> colours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (int i = 0; i < 3; ++i) {
        const QRect cell = panel.LookRect(i);
        QVERIFY(image.rect().contains(cell));
        QCOMPARE(image.pixel(cell.center()), colours[i]); // each look's filled box in its own colour
        QVERIFY(image.pixel(cell.topLeft() + QPoint(1, 1)) != colours[i]); // inside its margin
    }
    QVERIFY(!panel.ShowIcon("switch", "gone", other, MDeployPaths::IconFile("switch", other), error));
    QVERIFY(panel.LookNames().isEmpty());
    // Deleting another icon keeps the looks; deleting this one closes them.
    emit m_window->IconEditor()->IconDeleted("switch", "other", other);
    QCOMPARE(looks()->LookNames().size(), 3);
    emit m_window->IconEditor()->IconDeleted("switch", "three", uuid);
    QVERIFY(looks()->LookNames().isEmpty());
}

void tst_EditorWorkbench::templateSaveUploadsAndRecordsOnce_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<bool>("recordedBefore");
    QTest::newRow("new template") << "style" << "style" << false;
    QTest::newRow("type named apart from its folder") << "bay" << "bay type" << false;
    QTest::newRow("recorded, no file yet") << "style" << "style" << true;
}

void tst_EditorWorkbench::templateSaveUploadsAndRecordsOnce()
{
    // Guards against a saved template missing on the server, unrecorded, or recorded once per save.
    QFETCH(QString, alias);
    QFETCH(QString, typeName);
    QFETCH(bool, recordedBefore);
    if (recordedBefore)
        m_site->builder().templateItem(m_templateTypes[alias], "T1");
    QVERIFY(makeWindow());
    const QString path = MDeployPaths::TemplateFile(alias, "T1");
    QVERIFY(m_window->Templates()->EditTemplate(path));
    QCOMPARE(m_window->Canvas()->TemplatePath(), path);
    QVERIFY(m_window->Canvas()->IsDirty()); // nothing on disk yet
    QVERIFY(m_window->Canvas()->AddLabel("in the template"));
    QVERIFY(m_window->Templates()->SaveTemplate());
    QVERIFY(!m_window->Canvas()->IsDirty());
    QCOMPARE(members(path), 1);
    QCOMPARE(members(m_site->server("template/" + alias + "/T1.xtp")), 1);
    QCOMPARE(templateRecords(typeName, "T1"), 1);
    QVERIFY(m_window->Canvas()->AddLabel("second"));
    QVERIFY(m_window->Templates()->SaveTemplate());
    QCOMPARE(members(m_site->server("template/" + alias + "/T1.xtp")), 2);
    QCOMPARE(templateRecords(typeName, "T1"), 1);
    QVERIFY2(messages().isEmpty(), qPrintable(messages().join("\n")));
}

void tst_EditorWorkbench::templateRefusedByTheServerStaysUnsavedAndUnrecorded()
{
    // Guards against a template the server refused being recorded, or left as if it were saved.
    QVERIFY(TestSupport::writeFile(m_site->server("template/style"), "a file where the folder goes"));
    QVERIFY(makeWindow());
    const QString path = MDeployPaths::TemplateFile("style", "T1");
    QVERIFY(m_window->Templates()->EditTemplate(path));
    QVERIFY(m_window->Canvas()->AddLabel("work"));
    QVERIFY(!m_window->Templates()->SaveTemplate());
    QCOMPARE(templateRecords("style", "T1"), 0);
    QVERIFY(m_window->Canvas()->IsDirty());
    QCOMPARE(messages().size(), 1);
    QCOMPARE(members(path), 1); // the work is kept here
    // Once the server takes it, the template is recorded.
    QVERIFY(QFile::remove(m_site->server("template/style")));
    QVERIFY(m_window->Templates()->SaveTemplate());
    QCOMPARE(templateRecords("style", "T1"), 1);
    QVERIFY(!m_window->Canvas()->IsDirty());
}

void tst_EditorWorkbench::onlyTemplateFolderFilesOpen_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("opened");
    QTest::newRow("template of a type") << "template/style/T.xtp" << true;
    QTest::newRow("a picture's file") << "pic/A/P/0.xrg" << false;
    QTest::newRow("up and out by ..") << "template/../pic/T.xtp" << false;
    QTest::newRow("a folder deeper") << "template/style/sub/T.xtp" << false;
    QTest::newRow("no type folder") << "template/T.xtp" << false;
    QTest::newRow("not an .xtp") << "template/style/T.xrg" << false;
    QTest::newRow("outside the tree") << "/../outside/T.xtp" << false;
    QTest::newRow("type folder linked outside") << "template/linked/T.xtp" << false;
    QTest::newRow("type folder linked to the pictures") << "template/pictures/T.xtp" << false;
}

void tst_EditorWorkbench::onlyTemplateFolderFilesOpen()
{
    // Guards against the template editor opening, and later writing, a file outside the template folder.
    QFETCH(QString, relative);
    QFETCH(bool, opened);
    const QString outside = m_site->tree().base() + "/outside";
    QVERIFY(QDir().mkpath(outside) && QDir().mkpath(m_site->tree().path("template")));
    QVERIFY(QFile::link(outside, m_site->tree().path("template/linked")));
    QVERIFY(QDir().mkpath(m_site->tree().path("pic")));
    QVERIFY(QFile::link(m_site->tree().path("pic"), m_site->tree().path("template/pictures")));
    QVERIFY(makeWindow());
    const QString path = m_site->tree().root() + "/" + relative;
    QCOMPARE(m_window->Templates()->EditTemplate(path), opened);
    QCOMPARE(m_window->Canvas()->TemplatePath().isEmpty(), !opened);
    QCOMPARE(messages().size(), opened ? 0 : 1);
    if (opened) {
        QVERIFY(m_window->Templates()->SaveTemplate());
        QVERIFY(QFileInfo::exists(path));
    }
    QCOMPARE(QDir(outside).entryList(QDir::Files), QStringList());
    QCOMPARE(QDir(m_site->tree().path("pic")).entryList(QDir::Files), QStringList());
}

void tst_EditorWorkbench::leavingUnsavedTemplateAsks()
{
    // Guards against unsaved template changes given up without asking, or kept when the user said no.
    QVERIFY(makeWindow());
    const QString first = MDeployPaths::TemplateFile("style", "first");
    const QString second = MDeployPaths::TemplateFile("style", "second");
    QVERIFY(m_window->Templates()->EditTemplate(first));
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::No, "first").pressButton(QMessageBox::Yes, "first");
    QVERIFY(!m_window->Templates()->EditTemplate(second));
    QCOMPARE(m_window->Canvas()->TemplatePath(), first);
    QVERIFY(m_window->Templates()->EditTemplate(second));
    QCOMPARE(m_window->Canvas()->TemplatePath(), second);
    // Saved, it is left without a question (none is queued: one would be refused and reported).
    QVERIFY(m_window->Templates()->SaveTemplate());
    QVERIFY(m_window->Templates()->EditTemplate(first));
    DIALOGS_DONE(dialogs);
    QVERIFY(!QFileInfo::exists(first));
}

void tst_EditorWorkbench::unreadableTemplateIsNeitherOpenedNorOverwritten()
{
    // Guards against a damaged template opened as empty, then saved over what could be mended.
    QVERIFY(m_site->tree().writeFile("template/style/broken.xtp", "<template format=\"1\"><objects>"));
    QVERIFY(makeWindow());
    QVERIFY(!m_window->Templates()->EditTemplate(MDeployPaths::TemplateFile("style", "broken")));
    QVERIFY(m_window->Canvas()->TemplatePath().isEmpty());
    QVERIFY(!m_window->Templates()->SaveTemplate());
    QCOMPARE(m_site->tree().readFile("template/style/broken.xtp"), QByteArray("<template format=\"1\"><objects>"));
    QCOMPARE(templateRecords("style", "broken"), 0);
}

void tst_EditorWorkbench::missingIconFilesFetchedAtStart()
{
    // Guards against the editor starting with icon files the server has and this workstation lacks.
    const QString uuid = "{55555555-5555-5555-5555-555555555555}";
    const QString breaker = m_site->builder().iconType("switch", 3, 0, 0);
    m_site->builder().icon(breaker, "fetched", uuid, kOld);
    QVERIFY(IconTesting::writeIcon(m_site->server("icon/switch/" + uuid + ".xco"), "fetched", uuid, "switch"));
    QVERIFY(!QFileInfo::exists(MDeployPaths::IconFile("switch", uuid)));
    QVERIFY(makeWindow());
    QCOMPARE(IconTesting::readIcon(MDeployPaths::IconFile("switch", uuid)).name, QString("fetched"));
}

TALMER_TEST_MAIN(tst_EditorWorkbench)
#include "tst_editorworkbench.moc"
