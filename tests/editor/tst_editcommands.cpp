#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "brelmmidataagent.h"
#include "dialogdriver.h"
#include "editortesting.h"
#include "importtesting.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "mhmiadmin.h"
#include "msqldataagent.h"
#include "recordlist.h"
#include "testmain.h"

using EditorTesting::EditorSite;
using TestSupport::DialogDriver;
using TestSupport::texts;

namespace {

const QString kTime = "2026-01-01T10:00:00";

// Fills and closes the picture-and-station dialog; checkLabel, when given,
// must be the second row's label, and station, when null, is left as shown.
DialogDriver& answerCustom(DialogDriver& driver, const QString& name, const QString& station, bool ok = true,
                           const QString& checkLabel = {}, QString* shownStation = nullptr)
{
    return driver.answerDialog("MCustomInputDialog", [=](QWidget* dialog) -> QString {
        auto* label = dialog->findChild<QLabel*>("substationLabel");
        if (!checkLabel.isEmpty() && (!label || label->text() != checkLabel))
            return "the second row reads " + (label ? label->text() : QString("nothing"));
        if (shownStation)
            *shownStation = dialog->findChild<QLineEdit*>("substationNameEdit")->text();
        dialog->findChild<QLineEdit*>("pictureNameEdit")->setText(name);
        if (!station.isNull())
            dialog->findChild<QLineEdit*>("substationNameEdit")->setText(station);
        ok ? static_cast<QDialog*>(dialog)->accept() : static_cast<QDialog*>(dialog)->reject();
        return {};
    });
}

// Chooses an entry of a library dialog's combo box and presses Ok (or Cancel).
DialogDriver& answerCombo(DialogDriver& driver, const char* className, const char* combo, const QString& choice,
                          bool ok = true)
{
    return driver.answerDialog(className, [=](QWidget* dialog) -> QString {
        dialog->findChild<QComboBox*>(combo)->setCurrentText(choice);
        dialog->findChild<QPushButton*>(ok ? "okButton" : "cancelButton")->click();
        return {};
    });
}

} // namespace

class tst_EditCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<EditorSite> m_site;
    std::unique_ptr<MSqlDataAgent> m_outer;

    MGraphTreeViewEditor* tree() { return m_site->tree(); }
    // The site's deployment tree (EditorSite::tree() is the view's tree).
    TestSupport::DeployTree& files() { return m_site->TestSupport::TestSite::tree(); }
    MAbstractDBInterface* db() { return MDBInterfaceHolder::Instance()->GetInterface(); }
    // "type/picture" for every picture of application A, sorted; every type
    // and application as "type/" and "app:" entries.
    QStringList library();
    bool local(const QString& relative) { return QFileInfo::exists(files().path(relative)); }
    bool server(const QString& relative) { return QFileInfo::exists(m_site->server(relative)); }
    bool writeServer(const QString& relative);
    void select(const QList<QTreeWidgetItem*>& items);
    // Clicks down the path and makes the last item the tree's current one,
    // as the right click that opens the menu does.
    MGraphTreeItem* point(const QStringList& path)
    {
        MGraphTreeItem* item = m_site->click(path);
        if (item)
            tree()->setCurrentItem(item);
        return item;
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void cancelAtEveryDialogChangesNothing_data();
    void cancelAtEveryDialogChangesNothing();
    void addPicture_data();
    void addPicture();
    void outerNetworkNames();
    void applicationsAndPictypes();
    void deletePictureTwice();
    void renamePicture_data();
    void renamePicture();
    void failedRenameSaysSo();
    void changePictype();
    void pasteStationDrawing();
    void pasteWithoutSource();
    void createPictureOfTheView();
    void menuShowsTheBuiltCommands();
};

void tst_EditCommands::init()
{
    m_site = std::make_unique<EditorSite>();
    m_site->builder().pictureType(m_site->app, "overview", 1);
    QVERIFY(MHmiAdmin::AddApplication("A", "A", true));
    QVERIFY(MHmiAdmin::AddApplication("B", "B", true));
    QVERIFY(MHmiAdmin::AddPictureType("station", 2));
    QVERIFY(MHmiAdmin::AddPictureType("bay", 4));
}

void tst_EditCommands::cleanup()
{
    m_site.reset();
    m_outer.reset();
}

QStringList tst_EditCommands::library()
{
    QStringList entries;
    MDBRecordNode* node = nullptr;
    db()->GetNode(node, "node1");
    std::unique_ptr<MDBRecordNode> owner(node);
    RecordList apps;
    if (node)
        db()->GetChildren(node, apps.out());
    for (MDBRecordBase* app : apps) {
        entries << "app:" + app->name;
        RecordList types;
        db()->GetChildren(app, types.out());
        for (MDBRecordBase* type : types) {
            entries << app->name + ":" + type->name + "/";
            RecordList pictures;
            db()->GetChildren(type, pictures.out());
            for (const MDBRecordBase* picture : pictures)
                entries << app->name + ":" + type->name + "/" + picture->name;
        }
    }
    entries.sort();
    return entries;
}

bool tst_EditCommands::writeServer(const QString& relative)
{
    QDir().mkpath(QFileInfo(m_site->server(relative)).path());
    QFile file(m_site->server(relative));
    return file.open(QIODevice::WriteOnly) && file.write("s") == 1;
}

void tst_EditCommands::select(const QList<QTreeWidgetItem*>& items)
{
    tree()->clearSelection();
    for (QTreeWidgetItem* item : items)
        item->setSelected(true);
}

void tst_EditCommands::cancelAtEveryDialogChangesNothing_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("answer");
    const QStringList picture{"A", "station", "P"};
    QTest::newRow("add application") << QStringList() << "AddApplication" << "apps";
    QTest::newRow("delete application") << QStringList{"A"} << "DeleteApplication" << "no";
    QTest::newRow("add picture type") << QStringList{"A"} << "AddPictype" << "types";
    QTest::newRow("delete picture type") << QStringList{"A", "station"} << "DeletePictype" << "no";
    QTest::newRow("add picture, plain type") << QStringList{"A", "overview"} << "AddPicture" << "input";
    QTest::newRow("add picture, station type") << QStringList{"A", "station"} << "AddPicture" << "custom";
    QTest::newRow("delete picture") << picture << "DeletePicture" << "no";
    QTest::newRow("rename picture") << picture << "RenamePicture" << "input";
    QTest::newRow("change picture type") << picture << "ChangePictype" << "input";
    QTest::newRow("paste picture") << QStringList{"A", "station"} << "PastePicture" << "custom";
}

void tst_EditCommands::cancelAtEveryDialogChangesNothing()
{
    // Guards against a command that changes the library or the files although its dialog was cancelled.
    QFETCH(QStringList, path);
    QFETCH(QString, slot);
    QFETCH(QString, answer);
    m_site->picture("P", {0}, {kTime});
    QVERIFY(ImportTesting::writeStation(files().path("pic/A/P/0.xrg"), "OldStation"));
    QVERIFY(writeServer("pic/A/P/0.xrg"));
    QVERIFY(m_site->makeView());
    const QStringList before = library();
    // The paste needs an opened picture: opening P opens its draft.
    QVERIFY(point({"A", "station", "P"}));
    if (!path.isEmpty())
        QVERIFY(point(path));
    DialogDriver dialogs;
    if (answer == "apps")
        answerCombo(dialogs, "MAddApplicationDlg", "appCombo", "B", false);
    else if (answer == "types")
        answerCombo(dialogs, "MAddPictypeDlg", "typeCombo", "bay", false);
    else if (answer == "no")
        dialogs.pressButton(QMessageBox::No, "Are you sure to delete");
    else if (answer == "input")
        dialogs.cancelInput();
    else
        answerCustom(dialogs, "Q", "S", false);
    QVERIFY(QMetaObject::invokeMethod(tree(), slot.toLatin1().constData()));
    DIALOGS_DONE(dialogs);
    QCOMPARE(library(), before);
    QVERIFY(local("pic/A/P/0.xrg") && server("pic/A/P/0.xrg"));
    QCOMPARE(QDir(files().path("pic/temporary")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    QCOMPARE(QDir(files().path("pic/A")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"P"});
}

void tst_EditCommands::addPicture_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("answers"); // kind:text, in order
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("station");
    QTest::newRow("blank removed") << "overview" << QStringList{"text:a b"} << "ab" << "";
    QTest::newRow("station and its name") << "station" << QStringList{"custom:S 1|North"} << "S1" << "North";
    QTest::newRow("feeder asks a feeder name") << "feeder" << QStringList{"feeder:F1|Line 7"} << "F1" << "Line 7";
    QTest::newRow("refused name asked again")
        << "overview" << QStringList{"text:a/b", "ok:Invalid name", "text:ab"} << "ab" << "";
    QTest::newRow("taken name asked again")
        << "overview" << QStringList{"text:P", "ok:Already existed!", "text:Q"} << "Q" << "";
    QTest::newRow("substation of 20 bytes asked again")
        << "station" << QStringList{"custom:S|S234567890123456789X", "ok:Invalid name", "custom:S|S234567890123456789"}
        << "S" << "S234567890123456789";
}

void tst_EditCommands::addPicture()
{
    // Guards against pictures stored with blanks, over a taken or refused name, or without their folder and opening.
    QFETCH(QString, type);
    QFETCH(QStringList, answers);
    QFETCH(QString, stored);
    QFETCH(QString, station);
    m_site->picture("P", {0}, {kTime}, m_site->feeder);
    QVERIFY(m_site->makeView());
    QVERIFY(point({"A", type}));
    DialogDriver dialogs;
    for (const QString& answer : answers) {
        const QString kind = answer.section(':', 0, 0), text = answer.section(':', 1);
        if (kind == "text")
            dialogs.enterText(text, "picture name:");
        else if (kind == "ok")
            dialogs.pressButton(QMessageBox::Ok, text);
        else
            answerCustom(dialogs, text.section('|', 0, 0), text.section('|', 1), true,
                         kind == "feeder" ? "feeder name:" : "substation name:");
    }
    bool newGraphWhileOpening = false;
    connect(tree(), &MGraphTreeViewEditor::GraphSelected, this,
            [&] { newGraphWhileOpening = tree()->IsNewGraph(); });
    QSignalSpy opened(tree(), &MGraphTreeViewEditor::GraphSelected);
    tree()->AddPicture();
    DIALOGS_DONE(dialogs);
    QVERIFY(library().contains("A:" + type + "/" + stored));
    QVERIFY(QFileInfo(MDeployPaths::PictureDir("A", stored)).isDir());
    QCOMPARE(tree()->SubstationName(), station);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.at(0).at(1).toString(), stored);
    QVERIFY(newGraphWhileOpening);
    QVERIFY(!tree()->IsNewGraph());
}

void tst_EditCommands::outerNetworkNames()
{
    // Guards against the "web" prefix missing, or pushing a name past the name rule's length unchecked.
    const QString outer = files().path("var/outer.sqlite");
    m_outer = std::make_unique<MSqlDataAgent>();
    QVERIFY(m_outer->Open(outer, MSqlDataAgent::OpenMode::CreateIfMissing));
    SiteGen::SiteBuilder out(m_outer.get());
    out.pictureType(out.application("A"), "overview", 1);
    QVERIFY(out.ok());
    qputenv("IS_IN_OUTER_NET", "1");
    qputenv("TALMER_OUTER_DB", outer.toUtf8());
    MDBInterfaceHolder::Instance()->Reset();
    QVERIFY(m_site->makeView());
    QVERIFY(point({"A", "overview"}));
    const QString longest = QString(61, 'n');
    DialogDriver dialogs;
    dialogs.enterText("x y").enterText(QString(62, 'n')).pressButton(QMessageBox::Ok, "Invalid name").enterText(longest);
    tree()->AddPicture();
    tree()->ItemClicked(tree()->ApplicationItem("A")->child(0), 0);
    QVERIFY(point({"A", "overview"}));
    tree()->AddPicture();
    DIALOGS_DONE(dialogs);
    const QStringList entries = library();
    QVERIFY2(entries.contains("A:overview/webxy"), qPrintable(entries.join(", ")));
    QVERIFY(entries.contains("A:overview/web" + longest));
    QVERIFY(!entries.contains("A:overview/web" + QString(62, 'n')));
}

void tst_EditCommands::applicationsAndPictypes()
{
    // Guards against duplicates of applications or types, and an unexpanded application accepting a taken type.
    QVERIFY(m_site->makeView());
    DialogDriver dialogs;
    answerCombo(dialogs, "MAddApplicationDlg", "appCombo", "A");
    dialogs.pressButton(QMessageBox::Ok, "Already existed!");
    answerCombo(dialogs, "MAddApplicationDlg", "appCombo", "B");
    tree()->AddApplication();
    tree()->AddApplication();
    QCOMPARE(texts(tree()->invisibleRootItem()), (QStringList{"A", "B"}));

    // A is current but was never expanded: the database still knows its types.
    tree()->setCurrentItem(tree()->ApplicationItem("A"));
    QCOMPARE(tree()->ApplicationItem("A")->childCount(), 0);
    answerCombo(dialogs, "MAddPictypeDlg", "typeCombo", "station");
    dialogs.pressButton(QMessageBox::Ok, "Already existed!");
    answerCombo(dialogs, "MAddPictypeDlg", "typeCombo", "bay");
    tree()->AddPictype();
    tree()->AddPictype();
    QCOMPARE(texts(tree()->ApplicationItem("A")), (QStringList{"station", "feeder", "overview", "bay"}));

    QVERIFY(point({"A", "bay"}));
    dialogs.pressButton(QMessageBox::Yes, "Are you sure to delete picture type:bay?");
    tree()->DeletePictype();
    QCOMPARE(texts(tree()->ApplicationItem("A")), (QStringList{"station", "feeder", "overview"}));
    tree()->setCurrentItem(tree()->ApplicationItem("B"));
    dialogs.pressButton(QMessageBox::Yes, "Are you sure to delete application:B?");
    tree()->DeleteApplication();
    DIALOGS_DONE(dialogs);
    QCOMPARE(texts(tree()->invisibleRootItem()), QStringList{"A"});

    // An empty dictionary offers nothing: Ok inserts nothing.
    QVERIFY(MHmiAdmin::RemoveApplication("A") && MHmiAdmin::RemoveApplication("B"));
    const QStringList before = library();
    DialogDriver emptyDictionary;
    answerCombo(emptyDictionary, "MAddApplicationDlg", "appCombo", "");
    tree()->AddApplication();
    DIALOGS_DONE(emptyDictionary);
    QCOMPARE(library(), before);
}

void tst_EditCommands::deletePictureTwice()
{
    // Guards against deleted pictures' files left on the server, or two deletions of one name mixed in the holding place.
    QVERIFY(m_site->makeView());
    QSignalSpy deleted(tree(), &MGraphTreeViewEditor::GraphDelected);
    DialogDriver dialogs;
    for (const QByteArray copy : {"first", "second"}) {
        m_site->picture("P", {0}, {kTime});
        QVERIFY(files().writeFile("pic/A/P/0.xrg", copy));
        QVERIFY(writeServer("pic/A/P/0.xrg"));
        QVERIFY(point({"A", "station", "P"}));
        dialogs.pressButton(QMessageBox::Yes, "Are you sure to delete picture:P?");
        tree()->DeletePicture();
        QVERIFY(!local("pic/A/P") && !server("pic/A/P"));
        QVERIFY(!MGraphTreeViewEditor::ChildNamed(tree()->ApplicationItem("A")->child(0), "P"));
    }
    DIALOGS_DONE(dialogs);
    QCOMPARE(deleted.size(), 2);
    QCOMPARE(deleted.at(1), (QList<QVariant>{"A", "P"}));
    QCOMPARE(files().readFile("pic/temporary/P/0.xrg"), QByteArray("second"));
}

void tst_EditCommands::renamePicture_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("renamed over a leftover") << "New" << "" << "New";
    QTest::newRow("taken") << "Other" << "Other:already existed in this application" << "P";
    QTest::newRow("refused") << "../x" << "Invalid name" << "P";
    QTest::newRow("same name, no message") << "P" << "" << "P";
}

void tst_EditCommands::renamePicture()
{
    // Guards against a rename that escapes its folder, silently renames over a taken name, or loses the files.
    QFETCH(QString, newName);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    m_site->picture("P", {0}, {kTime});
    m_site->picture("Other", {0}, {kTime}, m_site->feeder);
    QVERIFY(files().writeFile("pic/A/P/0.xrg", "draft"));
    QVERIFY(files().writeFile("pic/A/New/0.xrg", "leftover"));
    QVERIFY(writeServer("pic/A/P/0.xrg"));
    QVERIFY(m_site->makeView());
    MGraphTreeItem* picture = point({"A", "station", "P"});
    QVERIFY(picture);
    DialogDriver dialogs;
    dialogs.enterText(newName, "New Name:");
    if (!message.isEmpty())
        dialogs.pressButton(QMessageBox::Ok, message);
    tree()->RenamePicture();
    DIALOGS_DONE(dialogs);
    QCOMPARE(picture->text(0), shown);
    QVERIFY(library().contains("A:station/" + shown));
    QCOMPARE(files().readFile("pic/A/" + shown + "/0.xrg"), QByteArray("draft"));
    QVERIFY(server("pic/A/" + shown + "/0.xrg"));
    QCOMPARE(tree()->OpenedPicture(), shown); // the open draft follows its picture
}

void tst_EditCommands::failedRenameSaysSo()
{
    // Guards against a rename reported as done while the folder stayed and the record changed.
    m_site->picture("P", {0}, {kTime});
    QVERIFY(files().writeFile("pic/A/P/0.xrg", "draft"));
    QVERIFY(files().writeFile("pic/A/New/0.xrg", "leftover"));
    QVERIFY(files().writeFile("pic/temporary", "a file where the holding place belongs"));
    QVERIFY(writeServer("pic/A/P/0.xrg"));
    QVERIFY(m_site->makeView());
    QVERIFY(point({"A", "station", "P"}));
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "rename failed");
    QVERIFY(!m_site->view()->ChangePicName("A", "P", "New"));
    DIALOGS_DONE(dialogs);
    QVERIFY(library().contains("A:station/P"));
    QCOMPARE(files().readFile("pic/A/P/0.xrg"), QByteArray("draft"));
    QCOMPARE(files().readFile("pic/A/New/0.xrg"), QByteArray("leftover"));
    QVERIFY(server("pic/A/P/0.xrg") && !server("pic/A/New"));
    QVERIFY(m_site->view()->ChangePicName("A", "P", "P")); // nothing to do is no failure
}

void tst_EditCommands::changePictype()
{
    // Guards against pictures moved into another application's type, and signals for moves that failed.
    m_site->picture("P1", {0}, {kTime});
    m_site->picture("P2", {0}, {kTime});
    const QString otherType = m_site->builder().pictureType(m_site->builder().application("B"), "station", 2);
    m_site->builder().picture(otherType, "Q");
    QVERIFY(m_site->makeView());
    QVERIFY(point({"A", "station"}));
    MGraphTreeItem* b = tree()->ApplicationItem("B");
    tree()->ReloadChildren(b);
    tree()->ReloadChildren(MGraphTreeItem::From(b->child(0)));
    MGraphTreeItem* stationA = MGraphTreeItem::From(tree()->ApplicationItem("A")->child(0));
    select({MGraphTreeViewEditor::ChildNamed(stationA, "P1"), MGraphTreeViewEditor::ChildNamed(stationA, "P2"),
            MGraphTreeViewEditor::ChildNamed(b->child(0), "Q")});
    QSignalSpy moved(tree(), &MGraphTreeViewEditor::sigChangeGraphType);
    DialogDriver dialogs;
    dialogs.chooseItem("feeder", "types:");
    tree()->ChangePictype();
    DIALOGS_DONE(dialogs);
    QCOMPARE(moved.size(), 2);
    QCOMPARE(moved.at(0), (QList<QVariant>{"A", "P1", "feeder", 9}));
    DialogDriver vanished;
    QCOMPARE(texts(stationA), QStringList());
    const QStringList entries = library();
    QVERIFY(entries.contains("A:feeder/P1") && entries.contains("A:feeder/P2") && entries.contains("B:station/Q"));

    // A type that vanished behind the tree's back: nothing moves, no signal.
    QVERIFY(point({"A", "feeder"}));
    MGraphTreeItem* feeder = MGraphTreeItem::From(tree()->ApplicationItem("A")->child(1));
    select({MGraphTreeViewEditor::ChildNamed(feeder, "P1")});
    QVERIFY(BrelMmiDataAgent::Instance()->DeleteData("pictureType", {m_site->station.toLongLong()}));
    vanished.chooseItem("station", "types:").pressButton(QMessageBox::Ok, "P1");
    tree()->ChangePictype();
    DIALOGS_DONE(vanished);
    QCOMPARE(moved.size(), 2);
    QVERIFY(MGraphTreeViewEditor::ChildNamed(feeder, "P1"));
}

void tst_EditCommands::pasteStationDrawing()
{
    // Guards against a pasted station drawing naming its old station, or pasted under a taken name.
    m_site->picture("Src", {0}, {kTime});
    QVERIFY(ImportTesting::writeStation(MDeployPaths::VersionFile("A", "Src", 0, "xrg"), "OldStation"));
    QVERIFY(m_site->makeView());
    QVERIFY(point({"A", "station", "Src"}));
    QCOMPARE(tree()->OpenedPicture(), QString("Src"));
    QVERIFY(point({"A", "station"}));
    QString shown;
    DialogDriver dialogs;
    answerCustom(dialogs, "Src", QString(), true, {}, &shown);
    dialogs.pressButton(QMessageBox::Ok, "Already existed!");
    answerCustom(dialogs, "Copy", "NewStation");
    QSignalSpy opened(tree(), &MGraphTreeViewEditor::GraphSelected);
    tree()->PastePicture();
    DIALOGS_DONE(dialogs);
    QCOMPARE(shown, QString("OldStation"));
    QVERIFY(library().contains("A:station/Copy"));
    MGraphDoc draft(GraphStatusEdit);
    QVERIFY(draft.ReadXmlFile(MDeployPaths::VersionFile("A", "Copy", 0, "xrg")));
    QCOMPARE(draft.GetGraphStation(1), QString("NewStation"));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.at(0).at(1).toString(), QString("Copy"));
}

void tst_EditCommands::pasteWithoutSource()
{
    // Guards against a paste inserting a picture when nothing is opened or the opened file is gone.
    m_site->picture("Src", {0}, {kTime});
    QVERIFY(files().writeFile("pic/A/Src/0.xrg", "drawing"));
    QVERIFY(m_site->makeView());
    const QStringList before = library();
    QVERIFY(point({"A", "overview"}));
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "no opened picture");
    tree()->PastePicture();
    DIALOGS_DONE(dialogs);
    QVERIFY(point({"A", "station", "Src"}));
    QVERIFY(QFile::remove(files().path("pic/A/Src/0.xrg")));
    QVERIFY(point({"A", "overview"}));
    DialogDriver gone;
    gone.pressButton(QMessageBox::Ok, "missing");
    tree()->PastePicture();
    DIALOGS_DONE(gone);
    QCOMPARE(library(), before);
}

void tst_EditCommands::createPictureOfTheView()
{
    // Guards against the host's CreatePicture creating in a type it did not name, or over a taken name.
    m_site->picture("P", {0}, {kTime});
    QVERIFY(m_site->makeView());
    QVERIFY(point({"A", "overview"}));
    m_site->view()->CreatePicture("station", "Wrong");
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "Already existed!");
    m_site->view()->CreatePicture("overview", "P");
    m_site->view()->CreatePicture("overview", "Made");
    DIALOGS_DONE(dialogs);
    const QStringList entries = library();
    QVERIFY(entries.contains("A:overview/Made") && !entries.contains("A:station/Wrong"));
    QVERIFY(QFileInfo(MDeployPaths::PictureDir("A", "Made")).isDir());
}

void tst_EditCommands::menuShowsTheBuiltCommands()
{
    // Guards against the commands of this file missing from the menus they belong to.
    m_site->picture("P", {0}, {kTime});
    QVERIFY(m_site->makeView());
    auto enabledTexts = [](const QList<QAction*>& actions) {
        QStringList t;
        for (QAction* action : actions) {
            if (!action->isSeparator() && !action->menu() && action->isVisible())
                t << action->text();
        }
        return t;
    };
    QVERIFY(enabledTexts(tree()->MenuActions(nullptr)).contains("add Application"));
    MGraphTreeItem* app = point({"A"});
    select({app});
    QVERIFY(enabledTexts(tree()->MenuActions(app)).contains("delete Application"));
    MGraphTreeItem* type = point({"A", "station"});
    select({type});
    const QStringList typeMenu = enabledTexts(tree()->MenuActions(type));
    for (const char* text : {"add picture", "paste current picture", "delete picture type"})
        QVERIFY2(typeMenu.contains(text), text);
    MGraphTreeItem* picture = point({"A", "station", "P"});
    select({picture});
    const QStringList pictureMenu = enabledTexts(tree()->MenuActions(picture));
    QVERIFY(pictureMenu.contains("delete picture") && pictureMenu.contains("change picture type"));
}

TALMER_TEST_MAIN(tst_EditCommands)
#include "tst_editcommands.moc"
