#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

#include "brelmmidataagent.h"
#include "mdbinterfaceholder.h"
#include "mdeploypaths.h"
#include "mgraphdataaccess.h"
#include "mhmiadmin.h"
#include "msqldataagent.h"
#include "quilladataagent.h"
#include "sitebuilder.h"
#include "testmain.h"
#include "testsite.h"

namespace {

constexpr int kMostBoxes = 10;

class TestAccess : public MGraphDataAccess
{
};

// A user who does not read: every message box is answered Yes (or OK when it
// has no Yes). A hook may act first when a box says something, as another
// process would while the question is open. Bounded: after 10 boxes it cancels.
class CarelessUser : public QObject
{
public:
    CarelessUser()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &CarelessUser::poll);
        m_timer.start();
    }
    void before(const QString& text, std::function<void()> act) { m_hooks.append({text, std::move(act)}); }
    QStringList texts;

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_last)
            return;
        m_last = box;
        texts << box->text();
        QPointer<QMessageBox> target(box);
        // Answered from a queued call, so that a box opened by the answer is seen.
        QTimer::singleShot(0, this, [this, target] {
            if (!target)
                return;
            for (const auto& [text, act] : std::as_const(m_hooks)) {
                if (target->text().contains(text))
                    act();
            }
            QAbstractButton* button = target->button(QMessageBox::Yes);
            if (!button)
                button = target->button(QMessageBox::Ok);
            if (button && texts.size() <= kMostBoxes)
                button->click();
            else
                target->reject();
        });
    }

    QTimer m_timer;
    QPointer<QMessageBox> m_last;
    QList<QPair<QString, std::function<void()>>> m_hooks;
};

} // namespace

class tst_CleaningFaults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestSite> m_site;
    std::unique_ptr<TestAccess> m_access;
    // Folders (below pic/) put in the local store and on the server.
    const QStringList m_folders{"A/P", "A/Stale", "Gone"};

    QString local(const QString& folder) const { return MDeployPaths::GraphStore() + "/" + folder; }
    QString server(const QString& folder) const { return m_site->server("pic/" + folder); }
    bool place(const QString& folder, const QString& file = "0.xrg")
    {
        return m_site->tree().writeFile("pic/" + folder + "/" + file, "x")
            && QDir().mkpath(server(folder)) && QFile(server(folder) + "/" + file).open(QIODevice::WriteOnly);
    }
    void useDatabase(const QString& spec)
    {
        BrelMmiDataAgent::Instance()->Close();
        qputenv("TALMER_HMI_DB", spec.toUtf8());
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void refusesWhenTheLibraryCannotBeTrusted_data();
    void refusesWhenTheLibraryCannotBeTrusted();
    void explicitDatabaseIsNeverCreated_data();
    void explicitDatabaseIsNeverCreated();
    void outerDatabaseMustExistAndHoldData();
    void keepsFoldersChangedAfterTheLibraryWasRead();
};

void tst_CleaningFaults::init()
{
    m_site = std::make_unique<TestSupport::TestSite>();
    m_site->builder().picture(m_site->station, "P");
    QVERIFY2(m_site->builder().ok(), qPrintable(m_site->builder().errors()));
    for (const QString& folder : m_folders)
        QVERIFY(place(folder));
    m_access = std::make_unique<TestAccess>();
}

void tst_CleaningFaults::cleanup()
{
    m_access.reset();
    m_site.reset();
}

void tst_CleaningFaults::refusesWhenTheLibraryCannotBeTrusted_data()
{
    QTest::addColumn<QString>("database"); // below the deployment tree
    QTest::addColumn<QByteArray>("content"); // null: the file is not made
    QTest::addColumn<QString>("library");  // "schema", "node", or empty: content only
    QTest::addColumn<QString>("reason");
    QTest::newRow("unreadable database") << "var/garbage.sqlite" << QByteArray(4096, 'x') << "" << "cannot be read";
    QTest::newRow("zero-byte file") << "var/zero.sqlite" << QByteArray("") << "" << "cannot be read";
    QTest::newRow("explicit missing database") << "var/hmi-typo.sqlite" << QByteArray() << "" << "cannot be read";
    QTest::newRow("empty database") << "var/empty.sqlite" << QByteArray() << "schema" << "cannot be read";
    QTest::newRow("node without applications") << "var/node.sqlite" << QByteArray() << "node" << "no application";
}

void tst_CleaningFaults::refusesWhenTheLibraryCannotBeTrusted()
{
    // Guards against a wrong, empty or unreadable database making every picture look stale and deleted.
    QFETCH(QString, database);
    QFETCH(QByteArray, content);
    QFETCH(QString, library);
    QFETCH(QString, reason);
    const QString file = m_site->tree().path(database);
    if (!content.isNull())
        QVERIFY(m_site->tree().writeFile(database, content));
    if (!library.isEmpty()) {
        MSqlDataAgent creator;
        QVERIFY(creator.Open(file, MSqlDataAgent::OpenMode::CreateIfMissing));
        if (library == "node")
            QVERIFY(!SiteGen::SiteBuilder(&creator).node().isEmpty());
    }
    useDatabase(file);
    CarelessUser user;
    m_access->CleanGraphFiles();
    for (const QString& folder : m_folders) {
        QVERIFY2(QFile::exists(local(folder) + "/0.xrg"), qPrintable(folder));
        QVERIFY2(QFile::exists(server(folder) + "/0.xrg"), qPrintable(folder));
    }
    QVERIFY2(user.texts.size() == 2, qPrintable(user.texts.join(" | ")));
    QVERIFY2(user.texts.last().contains("not cleaned") && user.texts.last().contains(reason),
             qPrintable(user.texts.last()));
    // The database file is left as it was found.
    QCOMPARE(QFile::exists(file), !content.isNull() || !library.isEmpty());
    if (!content.isNull())
        QCOMPARE(m_site->tree().readFile(database), content);
}

void tst_CleaningFaults::explicitDatabaseIsNeverCreated_data()
{
    QTest::addColumn<QString>("named");    // TALMER_HMI_DB below the tree; empty: unset
    QTest::addColumn<bool>("zeroBytes");   // the file exists with no content
    QTest::addColumn<bool>("usable");
    QTest::newRow("default, missing: created") << "" << false << true;
    QTest::newRow("default named explicitly: created") << "var/hmi.sqlite" << false << true;
    QTest::newRow("default spelt differently: created") << "var/../var/hmi.sqlite" << false << true;
    QTest::newRow("explicit, missing: error") << "var/hmi-typo.sqlite" << false << false;
    QTest::newRow("explicit, other folder: error") << "elsewhere/hmi.sqlite" << false << false;
    QTest::newRow("explicit, zero bytes: error") << "var/zero.sqlite" << true << false;
    QTest::newRow("default, zero bytes: error") << "" << true << false;
}

void tst_CleaningFaults::explicitDatabaseIsNeverCreated()
{
    // Guards against a typo in TALMER_HMI_DB, or an emptied file, silently becoming a new empty library.
    QFETCH(QString, named);
    QFETCH(bool, zeroBytes);
    QFETCH(bool, usable);
    m_site.reset(); // a tree without a database yet
    TestSupport::DeployTree tree;
    const QString relative = named.isEmpty() ? QString("var/hmi.sqlite") : named;
    const QString file = QDir::cleanPath(tree.path(relative));
    if (zeroBytes)
        QVERIFY(tree.writeFile(relative, ""));
    if (!named.isEmpty())
        qputenv("TALMER_HMI_DB", tree.path(named).toUtf8());
    MDataSet set;
    QCOMPARE(BrelMmiDataAgent::Instance()->QueryData("/node", {"name"}, set), usable);
    // The user store of the same database follows the same rule.
    QCOMPARE(MHmiAdmin::AddUser("op", "pw", 1), usable);
    BrelMmiDataAgent::Instance()->Close();
    QCOMPARE(QFile::exists(file), usable || zeroBytes);
    if (zeroBytes)
        QCOMPARE(QFileInfo(file).size(), 0);
}

void tst_CleaningFaults::outerDatabaseMustExistAndHoldData()
{
    // Guards against a missing or emptied outer-network database being opened as a new, empty one.
    const QString zero = m_site->tree().path("var/outer-zero.sqlite");
    const QString missing = m_site->tree().path("var/outer-typo.sqlite");
    QVERIFY(m_site->tree().writeFile("var/outer-zero.sqlite", ""));
    for (const QString& spec : {zero, missing}) {
        qputenv("TALMER_OUTER_DB", spec.toUtf8());
        QuillaDataAgent outer("mmi", "outmmidb", false);
        QVERIFY2(!outer.Connect("outmmidb"), qPrintable(spec));
    }
    QCOMPARE(QFileInfo(zero).size(), 0);
    QVERIFY(!QFileInfo::exists(missing));
}

void tst_CleaningFaults::keepsFoldersChangedAfterTheLibraryWasRead()
{
    // Guards against the cleaning deleting the files of an import that runs while the question is open.
    SiteGen::SiteBuilder& builder = m_site->builder();
    for (const char* folder : {"A/Growing", "A/Recorded"})
        QVERIFY(place(folder));
    QVERIFY(QDir().mkpath(server("A/Uploading")));
    QVERIFY(QFile(server("A/Uploading") + "/0.xrg").open(QIODevice::WriteOnly));
    CarelessUser user;
    user.before("clear file at local machine?", [&] {
        place("A/New");                 // an import's files, its record not yet written
        place("A/Growing", "1.xrg");    // a listed folder that gains a file
        builder.picture(m_site->feeder, "Recorded"); // an import that finished
    });
    // Another workstation's import, uploading while the question is open.
    user.before("clear file at file server?",
                [&] { QVERIFY(QFile(server("A/Uploading") + "/0.brg").open(QIODevice::WriteOnly)); });
    m_access->CleanGraphFiles();
    QVERIFY(builder.ok());
    for (const char* kept : {"A/P", "A/New", "A/Growing", "A/Recorded"})
        QVERIFY2(QFile::exists(local(kept) + "/0.xrg"), kept);
    for (const char* kept : {"A/P", "A/New", "A/Growing", "A/Recorded", "A/Uploading"})
        QVERIFY2(QFile::exists(server(kept) + "/0.xrg"), kept);
    for (const char* gone : {"A/Stale", "Gone"}) {
        QVERIFY2(!QFileInfo::exists(local(gone)), gone);
        QVERIFY2(!QFileInfo::exists(server(gone)), gone);
    }
    // What was kept is said with its reason, after the local question listed what would go.
    QVERIFY2(user.texts.size() >= 3, qPrintable(user.texts.join(" | ")));
    QVERIFY(user.texts.at(1).contains("A/Growing") && user.texts.at(1).contains("Gone"));
    QVERIFY(!user.texts.at(1).contains("A/New"));
    QVERIFY2(user.texts.at(2).contains("Not removed") && user.texts.at(2).contains("A/Growing: changed")
                 && user.texts.at(2).contains("A/Recorded: the library knows it"),
             qPrintable(user.texts.at(2)));
}

TALMER_TEST_MAIN(tst_CleaningFaults)
#include "tst_cleaningfaults.moc"
