#include <QDir>
#include <QFileInfo>

#include "deploytree.h"
#include "testmain.h"

using TestSupport::DeployTree;

class tst_DeployTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void treeIsPrivateAndRemoved();
    void environmentIsIsolatedAndRestored();
};

void tst_DeployTree::treeIsPrivateAndRemoved()
{
    // Guards against tests sharing a deployment tree or leaving theirs behind.
    QString root;
    {
        DeployTree a;
        DeployTree b;
        QVERIFY(a.isValid() && b.isValid());
        QVERIFY(a.root() != b.root());
        QCOMPARE(qEnvironmentVariable("TALMER_DEPLOY_DIR"), b.root());
        QVERIFY(b.writeFile("pic/app/p 1/0.xrg", "<graph/>"));
        QCOMPARE(b.readFile("pic/app/p 1/0.xrg"), QByteArray("<graph/>"));
        root = b.root();
        QCOMPARE(QFileInfo(root).fileName(), QString("deployment"));
    }
    QVERIFY(!QFileInfo::exists(root));
}

void tst_DeployTree::environmentIsIsolatedAndRestored()
{
    // Guards against a developer's file server or database reaching a test.
    qunsetenv("TALMER_DEPLOY_DIR");
    qputenv("TALMER_FILE_SERVER", "ftp://real-server/base");
    qunsetenv("TALMER_HMI_DB");
    {
        DeployTree tree;
        QVERIFY(!qEnvironmentVariableIsSet("TALMER_FILE_SERVER"));
        qputenv("TALMER_HMI_DB", "/somewhere/else.sqlite");
    }
    QCOMPARE(qgetenv("TALMER_FILE_SERVER"), QByteArray("ftp://real-server/base"));
    QVERIFY(!qEnvironmentVariableIsSet("TALMER_HMI_DB"));
    QVERIFY(!qEnvironmentVariableIsSet("TALMER_DEPLOY_DIR"));
    qunsetenv("TALMER_FILE_SERVER");
}

TALMER_TEST_MAIN(tst_DeployTree)
#include "tst_deploytree.moc"
