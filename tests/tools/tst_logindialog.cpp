// The viewer's log-in dialog: it closes only on an accepted check, says why
// otherwise, and never keeps a password in its field.
#include <QLineEdit>
#include <QtTest>

#include "logindialog.h"
#include "testmain.h"

class tst_LoginDialog : public QObject
{
    Q_OBJECT

private slots:
    void closesOnlyWhenTheCheckTakesIt_data()
    {
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("shown");

        QTest::newRow("accepted") << true << QString() << QString();
        QTest::newRow("refused, with the reason") << false << "Log-in refused for op." << "Log-in refused for op.";
        QTest::newRow("refused, no reason given") << false << QString() << "Log-in refused.";
    }

    // Guards against a dialog that closes as a success when the check refused, or keeps the password typed.
    void closesOnlyWhenTheCheckTakesIt()
    {
        QFETCH(bool, accepted);
        QFETCH(QString, why);
        QFETCH(QString, shown);
        QStringList asked;
        LoginDialog dialog([&](const QString& user, const QString& password, QString& reason) {
            asked << user << password;
            reason = why;
            return accepted;
        });
        dialog.Fill("op", "secret");
        dialog.show();
        dialog.accept();
        QCOMPARE(asked, QStringList({"op", "secret"}));
        QCOMPARE(dialog.isVisible(), !accepted);
        QCOMPARE(dialog.result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(dialog.Refusal(), shown);
        QCOMPARE(dialog.User(), QString("op"));
        QVERIFY(dialog.findChild<QLineEdit*>("passwordEdit")->text().isEmpty());
    }

    // Guards against a refusal of an earlier attempt greeting the next opening.
    void reopeningForgetsTheRefusal()
    {
        bool accept = false;
        LoginDialog dialog([&](const QString&, const QString&, QString&) { return accept; });
        dialog.Fill("op", "wrong");
        dialog.show();
        dialog.accept();
        QVERIFY(!dialog.Refusal().isEmpty());
        dialog.reject();
        dialog.show();
        QCOMPARE(dialog.Refusal(), QString());
        accept = true;
        dialog.Fill("op", "right");
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

TALMER_TEST_MAIN(tst_LoginDialog)
#include "tst_logindialog.moc"
