#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <memory>

#include "brelsysmandataagent.h"
#include "deploytree.h"
#include "dialogdriver.h"
#include "mappdict.h"
#include "mdatamessagebus.h"
#include "mdbaccesshelper.h"
#include "mdutymgr.h"
#include "mhmiadmin.h"
#include "mmidebug.h"
#include "mmitr.h"
#include "mpicturecontent.h"
#include "mtranslatehandler.h"
#include "sm_priv_api_user.h"
#include "sm_priv_api_user_manager.h"
#include "testdatabase.h"
#include "testmain.h"

using TestSupport::DeployTree;
using TestSupport::DialogDriver;
using TestSupport::TestDatabase;

namespace {

class Suffix : public MTranslateHandler
{
public:
    explicit Suffix(QString s) : suffix(std::move(s)) {}
    QString TranslateText(const QString& text) override { return text + suffix; }
    QString suffix;
};

QString nameOf(const sm_priv_api_user* user, int size)
{
    QByteArray buffer(64, 'x');
    const int n = user->get_name(buffer.data(), size);
    return n < 0 ? QString("<%1>").arg(n) : QString::fromUtf8(buffer.constData());
}

// Everything written to any logging category while it lives.
class MessageCapture
{
public:
    MessageCapture() { s_lines.clear(); s_previous = qInstallMessageHandler(&MessageCapture::handler); }
    ~MessageCapture() { qInstallMessageHandler(s_previous); }
    static QStringList lines() { return s_lines; }

private:
    static void handler(QtMsgType, const QMessageLogContext& context, const QString& text)
    {
        s_lines << QString::fromLatin1(context.category ? context.category : "") + ": " + text;
    }
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};

// A connection of the test's own to the services' database, behind their back.
QSqlDatabase rawConnection(const QString& name)
{
    return TestDatabase::openRaw(qEnvironmentVariable("TALMER_HMI_DB"), name);
}

} // namespace

class tst_HmiServices : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeployTree> m_tree;
    std::unique_ptr<TestDatabase> m_db;

private Q_SLOTS:
    void init();
    void cleanup();

    void applicationsNodesAndPictureTypes();
    void translations();
    void nameRule_data();
    void nameRule();
    void nameRuleTellsTheUser();
    void areasOfResponsibility();
    void translateHandlers();
    void debugChannel();
    void privilegeCheck();
    void failedLoginsLookAlike();
    void passwordsAreNeverStoredOrLogged();
    void otherProcessesChangesAreSeen();
};

void tst_HmiServices::init()
{
    m_tree = std::make_unique<DeployTree>();
    m_db = std::make_unique<TestDatabase>();
    TALMER_USE_TEST_DATABASE(*m_db, *m_tree);
}

void tst_HmiServices::cleanup()
{
    m_db.reset();
    m_tree.reset();
}

void tst_HmiServices::applicationsNodesAndPictureTypes()
{
    // Guards against the dictionary losing its order, mixing real and other applications, or unknown types getting a code.
    QVERIFY(MHmiAdmin::AddApplication("SCADA", QString::fromUtf8("数据采集"), true));
    QVERIFY(MHmiAdmin::AddApplication("DMS", "distribution", false));
    QVERIFY(MHmiAdmin::AddApplication("AGC", QString::fromUtf8("自动发电"), true));
    QVERIFY(MHmiAdmin::AddApplication("DMS", "distribution management", false)); // an update keeps the place
    const QList<MAppInfo> apps = MAppDict::Instance()->GetAppList();
    QCOMPARE(apps.size(), 3);
    QCOMPARE(apps.at(1).name, QString("DMS"));
    QCOMPARE(apps.at(1).description, QString("distribution management"));
    QCOMPARE(MAppDict::Instance()->GetAppNameList(false, 0), (QStringList{"SCADA", "DMS", "AGC"}));
    QCOMPARE(MAppDict::Instance()->GetAppNameList(true, 0), (QStringList{"SCADA", "AGC"}));
    QCOMPARE(MAppDict::Instance()->GetAppNameList(false, 1), QStringList());
    QCOMPARE(MAppDict::Instance()->GetRealNameAppList(false), (QStringList{"SCADA", "AGC"}));
    QCOMPARE(MAppDict::Instance()->GetRealNameAppList(true), (QStringList{"AGC", "SCADA"}));
    QVERIFY(MHmiAdmin::RemoveApplication("AGC"));
    QVERIFY(!MHmiAdmin::RemoveApplication("AGC"));
    QCOMPARE(MAppDict::Instance()->GetRealNameAppList(false), QStringList{"SCADA"});

    QVERIFY(MHmiAdmin::AddNode("ws2"));
    QVERIFY(MHmiAdmin::AddNode("WS1"));
    QVERIFY(MHmiAdmin::AddNode("ws2"));
    QVERIFY(MAppDict::Instance()->GetAgent());
    QCOMPARE(MAppDict::Instance()->GetAgent()->GetNodeList(), (QStringList{"WS1", "ws2"}));

    QVERIFY(MHmiAdmin::AddPictureType("station", 2));
    QVERIFY(MHmiAdmin::AddPictureType("feeder", 9));
    QVERIFY(MHmiAdmin::AddPictureType("feeder", 19));
    QCOMPARE(MPictureContent::Instance()->GetPictypes(), (QStringList{"feeder", "station"}));
    QCOMPARE(MPictureContent::Instance()->PictypeCode("feeder"), 19);
    QCOMPARE(MPictureContent::Instance()->PictypeCode("nosuch"), -1);

    // Without a configured database there is no agent and nothing is listed.
    qunsetenv("TALMER_HMI_DB");
    qunsetenv("TALMER_DEPLOY_DIR");
    QVERIFY(!MAppDict::Instance()->GetAgent());
    QVERIFY(MAppDict::Instance()->GetAppList().isEmpty());
    QCOMPARE(MPictureContent::Instance()->PictypeCode("feeder"), -1);
}

void tst_HmiServices::translations()
{
    // Guards against a translation of one context showing in another, or a missing one showing garbage.
    QVERIFY(MHmiAdmin::SetTranslation("station", QString::fromUtf8("厂站")));
    QVERIFY(MHmiAdmin::SetTranslation(QString::fromUtf8("开关"), "switch", "1"));
    QVERIFY(MHmiAdmin::SetTranslation("station", QString::fromUtf8("变电站")));
    QCOMPARE(mmi_tr("station"), QString::fromUtf8("变电站"));
    QCOMPARE(mmi_tr("station", "1"), QString());
    QCOMPARE(mmi_tr(QString::fromUtf8("开关"), "1"), QString("switch"));
    QCOMPARE(mmi_tr(QString::fromUtf8("开关")), QString());
    QCOMPARE(mmi_tr(""), QString());
    QTest::ignoreMessage(QtWarningMsg, "an empty text has no translation");
    QVERIFY(!MHmiAdmin::SetTranslation("", "x"));
}

void tst_HmiServices::nameRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("problem"); // a part of the reason; empty: accepted
    QTest::newRow("chinese") << QString::fromUtf8("北京变电站") << 1 << "";
    QTest::newRow("with digits and kV") << QString::fromUtf8("110kV朝阳站-2") << 1 << "";
    QTest::newRow("inner blank") << "north yard" << 1 << "";
    QTest::newRow("empty") << "" << 1 << "empty";
    QTest::newRow("blanks only") << "   " << 1 << "empty";
    QTest::newRow("leading blank") << " a" << 1 << "blank";
    QTest::newRow("slash") << "a/b" << 1 << "contain /";
    QTest::newRow("backslash") << "a\\b" << 1 << "contain \\";
    QTest::newRow("dot dot") << ".." << 1 << "\"..\"";
    QTest::newRow("colon") << "c:x" << 1 << "contain :";
    QTest::newRow("comma") << "a,b" << 1 << "contain ,";
    QTest::newRow("star") << "a*" << 1 << "contain *";
    QTest::newRow("question") << "a?" << 1 << "contain ?";
    QTest::newRow("double quote") << "a\"b" << 1 << "contain \"";
    QTest::newRow("single quote") << "a'b" << 1 << "contain '";
    QTest::newRow("angle") << "<a>" << 1 << "contain <";
    QTest::newRow("only >") << ">" << 1 << "contain >";
    QTest::newRow("only <") << "<" << 1 << "contain <";
    QTest::newRow("ends with >") << "a>" << 1 << "contain >";
    QTest::newRow("only .") << "." << 1 << "\".\"";
    QTest::newRow("three dots are a name") << "..." << 1 << "";
    QTest::newRow("trailing blank") << "a " << 1 << "blank";
    QTest::newRow("pipe") << "a|b" << 1 << "contain |";
    QTest::newRow("tab") << "a\tb" << 1 << "control";
    QTest::newRow("newline") << "a\nb" << 1 << "control";
    QTest::newRow("long") << QString(65, 'x') << 1 << "64 characters";
    QTest::newRow("64 is fine") << QString(64, 'x') << 1 << "";
    QTest::newRow("64 chinese characters") << QString(64, QChar(0x7AD9)) << 1 << "";
    QTest::newRow("65 chinese characters") << QString(65, QChar(0x7AD9)) << 1 << "64 characters";
    QTest::newRow("substation 19 bytes") << QString(19, 's') << 2 << "";
    QTest::newRow("substation 20 bytes") << QString(20, 's') << 2 << "19 bytes";
    QTest::newRow("substation chinese") << QString::fromUtf8("很长的变电站名字") << 2 << "19 bytes";
    QTest::newRow("picture may be long") << QString(20, 's') << 1 << "";
}

void tst_HmiServices::nameRule()
{
    // Guards against names that break paths, object paths or drawings getting into the library.
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(QString, problem);
    const QString reason = MDbAccessHelper::NameProblem(name, kind);
    if (problem.isEmpty()) {
        QVERIFY2(reason.isEmpty(), qPrintable(reason));
        QVERIFY(MDbAccessHelper::Instance()->CheckName(name, kind, true, nullptr));
    } else {
        QVERIFY2(reason.contains(problem), qPrintable(reason));
        QVERIFY(!MDbAccessHelper::Instance()->CheckName(name, kind, false, nullptr));
    }
}

void tst_HmiServices::nameRuleTellsTheUser()
{
    // Guards against a refused name leaving the user without a reason (or nagging without need).
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "may not contain /");
    QVERIFY(!MDbAccessHelper::Instance()->CheckName("a/b", 1, true, nullptr));
    QVERIFY(!MDbAccessHelper::Instance()->CheckName("a/b", 1, false, nullptr));
    QVERIFY(MDbAccessHelper::Instance()->CheckName("ab", 1, true, nullptr));
    DIALOGS_DONE(dialogs);
    QCOMPARE(dialogs.seen().size(), 1);
}

void tst_HmiServices::areasOfResponsibility()
{
    // Guards against operators seeing areas they are not on duty for, or not seeing their own.
    QVERIFY(MHmiAdmin::AddResponsibility("alice", "ws1", 3));
    QVERIFY(MHmiAdmin::AddResponsibility("alice", "*", 5));
    QVERIFY(MHmiAdmin::AddResponsibility("boss", "", 0));
    MDutyMgr* duty = MDutyMgr::getInstance();
    QVERIFY(duty->CheckAoR("alice", "WS1", 3));
    QVERIFY(!duty->CheckAoR("alice", "ws2", 3));
    QVERIFY(duty->CheckAoR("alice", "ws2", 5));
    QVERIFY(!duty->CheckAoR("alice", "ws1", 4));
    QVERIFY(duty->CheckAoR("alice", "ws9", 0));
    QVERIFY(duty->CheckAoR("nobody", "ws1", 0));
    QVERIFY(!duty->CheckAoR("nobody", "ws1", 1));
    QVERIFY(duty->CheckAoR("boss", "anywhere", 77));
    QVERIFY(MHmiAdmin::RemoveResponsibility("alice", "*", 5));
    QVERIFY(!duty->CheckAoR("alice", "ws2", 5));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("area of 0 or more"));
    QVERIFY(!MHmiAdmin::AddResponsibility("alice", "ws1", -1));
}

void tst_HmiServices::translateHandlers()
{
    // Guards against drawings "translated" with no handler, or handlers applied twice or out of order.
    MDataMessageBus* bus = MDataMessageBus::Instance();
    QCOMPARE(bus->TranslateHandlerNum(), 0);
    QCOMPARE(bus->Translate("abc"), QString("abc"));
    Suffix first("-1"), second("-2");
    bus->RegisterTranslateHandler(&first);
    bus->RegisterTranslateHandler(&second);
    bus->RegisterTranslateHandler(&first);
    bus->RegisterTranslateHandler(nullptr);
    QCOMPARE(bus->TranslateHandlerNum(), 2);
    QCOMPARE(bus->Translate("abc"), QString("abc-1-2"));
    bus->UnregisterTranslateHandler(&first);
    bus->UnregisterTranslateHandler(&second);
    QCOMPARE(bus->TranslateHandlerNum(), 0);
}

void tst_HmiServices::debugChannel()
{
    // Guards against transfer failures vanishing instead of reaching the debug channel.
    MessageCapture capture;
    mmi_debug("upload of pic/a/b/1.xrg failed");
    QVERIFY(MessageCapture::lines().contains("talmer.hmi.debug: upload of pic/a/b/1.xrg failed"));
}

void tst_HmiServices::privilegeCheck()
{
    // Guards against pictures shown above a user's level or for functions the user lacks.
    QVERIFY(MHmiAdmin::AddUser(QString::fromUtf8("operator张"), "s3cret!", 5));
    QVERIFY(MHmiAdmin::GrantFunction(QString::fromUtf8("operator张"), "MMI", "graph view"));
    QVERIFY(MHmiAdmin::AddUser("viewer", "pw", 9));
    QVERIFY(MHmiAdmin::GrantFunction("viewer", "MMI", QString::fromUtf8("画面浏览")));
    sm_priv_api_user_manager* manager = get_user_manager(0);
    QVERIFY(manager);
    QVERIFY(!get_user_manager(1));
    int error = 99;
    sm_priv_api_user* op = manager->get_user("operator\xe5\xbc\xa0", "s3cret!", error);
    QVERIFY(op);
    QCOMPARE(error, 0);
    QCOMPARE(nameOf(op, 31), QString::fromUtf8("operator张"));
    QCOMPARE(nameOf(op, 10), QString("operator")); // never half a character
    QCOMPARE(nameOf(op, 0), QString("<-1>"));

    bool allowed = false;
    QCOMPARE(op->set_parameter("MMI", "priv_level", "5", error), 0);
    op->check_access("MMI", "graph view", allowed);
    QVERIFY(allowed);
    op->set_parameter("MMI", "priv_level", "6", error);
    op->check_access("MMI", "graph view", allowed);
    QVERIFY(!allowed);
    op->set_parameter("MMI", "priv_level", "-3", error);
    op->check_access("MMI", "graph view", allowed);
    QVERIFY(allowed);
    op->check_access("MMI", "graph edit", allowed);
    QVERIFY(!allowed);
    op->check_access("OTHER", "graph view", allowed);
    QVERIFY(!allowed);
    QCOMPARE(op->set_parameter(nullptr, "priv_level", "1", error), -1);
    QCOMPARE(error, -1);

    // A privilege table that holds the translated function name only.
    sm_priv_api_user* viewer = manager->get_user("viewer", "pw", error);
    QVERIFY(viewer);
    viewer->check_access("MMI", "graph view", allowed);
    QVERIFY(!allowed);
    viewer->check_access("MMI", "\xe7\x94\xbb\xe9\x9d\xa2\xe6\xb5\x8f\xe8\xa7\x88", allowed);
    QVERIFY(allowed);

    // A new log-in of the same user keeps the pointer and takes the new level.
    QVERIFY(MHmiAdmin::SetUserLevel("viewer", 1));
    QCOMPARE(manager->get_user("viewer", "pw", error), viewer);
    QCOMPARE(viewer->Level(), 1);
    QVERIFY(MHmiAdmin::RevokeFunction("viewer", "MMI", QString::fromUtf8("画面浏览")));
    QVERIFY(!MHmiAdmin::RevokeFunction("viewer", "MMI", QString::fromUtf8("画面浏览")));
    QVERIFY(MHmiAdmin::RemoveUser("viewer"));
    QVERIFY(!manager->get_user("viewer", "pw", error));
    QTest::ignoreMessage(QtWarningMsg, "user operator张 exists already");
    QVERIFY(!MHmiAdmin::AddUser(QString::fromUtf8("operator张"), "other", 1));
    QTest::ignoreMessage(QtWarningMsg, "no user ghost");
    QVERIFY(!MHmiAdmin::GrantFunction("ghost", "MMI", "graph view"));
    QCOMPARE(MHmiAdmin::Users(), QStringList{QString::fromUtf8("operator张")});
}

void tst_HmiServices::failedLoginsLookAlike()
{
    // Guards against telling an attacker which user names exist by the result or the error code.
    // (That both cost the same time is measured in bench_targets, as a ratio.)
    QVERIFY(MHmiAdmin::AddUser("alice", "right", 1));
    sm_priv_api_user_manager* manager = get_user_manager(0);
    const struct
    {
        const char* name;
        const char* password;
    } refused[] = {{"alice", "wrong"}, {"mallory", "wrong"}, {"alice", ""}, {"", "right"}, {"ALICE", "right"}};
    for (const auto& attempt : refused) {
        int error = -12345;
        QVERIFY2(!manager->get_user(attempt.name, attempt.password, error), attempt.name);
        QCOMPARE(error, int(sm_priv_api_user_manager::LoginRefused));
    }
    int error = 0;
    QVERIFY(!manager->get_user(nullptr, nullptr, error));
    QVERIFY(manager->get_user("alice", "right", error));
}

void tst_HmiServices::passwordsAreNeverStoredOrLogged()
{
    // Guards against a password reaching the database, its files or any log.
    const QString password = "Pa55-word-unique-7Q";
    MessageCapture capture;
    QVERIFY(MHmiAdmin::AddUser("carol", password, 3));
    QVERIFY(MHmiAdmin::SetPassword("carol", password + "2"));
    QVERIFY(!MHmiAdmin::SetPassword("nobody", password));
    int error = 0;
    QVERIFY(get_user_manager(0)->get_user("carol", (password + "2").toUtf8().constData(), error));
    QVERIFY(!get_user_manager(0)->get_user("carol", password.toUtf8().constData(), error));
    mmi_debug("after the logins");
    for (const QString& line : MessageCapture::lines())
        QVERIFY2(!line.contains(password), qPrintable(line));
    QVERIFY(MessageCapture::lines().size() >= 1);

    // Every stored value of the user table, and for SQLite every byte of its files.
    const QString spec = qEnvironmentVariable("TALMER_HMI_DB");
    if (!TestDatabase::isPostgres()) {
        for (const QString& file : {spec, spec + "-wal"}) {
            QFile f(file);
            if (f.open(QIODevice::ReadOnly)) {
                const QByteArray bytes = f.readAll();
                QVERIFY(!bytes.contains(password.toUtf8()));
                QVERIFY(!bytes.contains(password.toUtf8().toHex()));
            }
        }
    }
    QStringList values;
    {
        QSqlDatabase raw = rawConnection("raw");
        QVERIFY(raw.isOpen());
        QSqlQuery q(raw);
        QVERIFY(q.exec("SELECT * FROM h_user"));
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
        }
        raw.close();
    }
    QSqlDatabase::removeDatabase("raw");
    QVERIFY(values.size() >= 5);
    for (const QString& value : values)
        QVERIFY2(!value.contains(password), qPrintable(value));
}

void tst_HmiServices::otherProcessesChangesAreSeen()
{
    // Guards against a workstation keeping a stale dictionary after another one changed it.
    QVERIFY(MHmiAdmin::AddNode("ws1"));
    QCOMPARE(MAppDict::Instance()->GetAgent()->GetNodeList(), QStringList{"ws1"});
    {
        // Another process's write, as it reaches the database.
        QSqlDatabase raw = rawConnection("other");
        QVERIFY(raw.isOpen());
        QSqlQuery q(raw);
        QVERIFY(q.exec("INSERT INTO h_node(name) VALUES ('ws7')"));
        QVERIFY(q.exec("UPDATE h_generation SET value = value + 1"));
        raw.close();
    }
    QSqlDatabase::removeDatabase("other");
    QTRY_COMPARE_WITH_TIMEOUT(MAppDict::Instance()->GetAgent()->GetNodeList(), (QStringList{"ws1", "ws7"}), 5000);
}

TALMER_TEST_MAIN(tst_HmiServices)
#include "tst_hmiservices.moc"
