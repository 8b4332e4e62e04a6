// Links in the directory file server's tree: removing a folder removes a link
// in its place, never what the link points to.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "file_svrconn_manager.h"
#include "filesizelimit.h"
#include "i_file_session.h"

class tst_FileServerLinks : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    int remove(const QString& serverPath) const
    {
        I_file_session* session = file_svrconn_manager::instance()->get_file_session();
        return session ? session->RemoveServerDirectory(serverPath.toUtf8().constData()) : -100;
    }

private slots:
    void init()
    {
        for (const QString& name : Faults::entries(m_dir.path()))
            QVERIFY(QDir(path(name)).removeRecursively());
        // Precious files outside the server's tree, and the server.
        QVERIFY(QDir().mkpath(path("precious/deep")) && Faults::writePlain(path("precious/deep/keep.xrg"), "keep"));
        QVERIFY(QDir().mkpath(path("server/pic/A/0")) && Faults::writePlain(path("server/pic/A/0/1.xrg"), "x"));
        qputenv("TALMER_FILE_SERVER", path("server").toUtf8());
    }

    void removalNeverFollowsLinks_data()
    {
        QTest::addColumn<QString>("link");   // made in the server's tree, to precious/
        QTest::addColumn<QString>("removed"); // the folder removed
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("leftInA");
        QTest::newRow("the folder is a link") << "pic/A/B" << "pic/A/B" << 0 << QStringList{"0"};
        QTest::newRow("a link inside the folder") << "pic/A/0/B" << "pic/A" << 0 << QStringList();
        QTest::newRow("a folder reached through a link")
            << "pic/A/B" << "pic/A/B/deep" << -3 << QStringList({"0", "B"});
        QTest::newRow("a plain folder beside a link") << "pic/A/B" << "pic/A/0" << 0 << QStringList{"B"};
    }
    void removalNeverFollowsLinks()
    {
        // Guards against removing a server folder deleting the files a link in its place points to.
        QFETCH(QString, link);
        QFETCH(QString, removed);
        QFETCH(int, result);
        QFETCH(QStringList, leftInA);
        QVERIFY(QFile::link(path("precious"), path("server/" + link)));
        QCOMPARE(remove(removed), result);
        QCOMPARE(Faults::contents(path("precious/deep/keep.xrg")), QByteArray("keep"));
        QCOMPARE(Faults::entries(path("server/pic/A")), leftInA);
        QVERIFY(!QFileInfo(path("server/" + removed)).isSymLink() || result != 0);
    }

    void missingFoldersAreAlreadyRemoved()
    {
        // Guards against a clean-up failing on a folder another workstation removed first.
        QCOMPARE(remove("pic/none"), 0);
        QCOMPARE(remove("none/deeper"), 0);
        QCOMPARE(remove("../precious"), -3);
        QCOMPARE(Faults::entries(path("precious")), QStringList{"deep"});
    }
};

QTEST_GUILESS_MAIN(tst_FileServerLinks)
#include "tst_fileserverlinks.moc"
