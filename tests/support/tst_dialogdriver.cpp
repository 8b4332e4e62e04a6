#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>

#include "dialogdriver.h"
#include "testmain.h"

using TestSupport::DialogDriver;

class tst_DialogDriver : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString touch(const QString& name)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        return f.fileName();
    }

private Q_SLOTS:
    void messageBoxButton_data();
    void messageBoxButton();
    void dialogsInARow();
    void inputDialogs();
    void fileDialogs();
    void expectedDialogNeverCame();
    void unexpectedDialogIsRejectedAndReported();
    void wrongAnswersAreReported();
    void progressCancelledAtItsValue_data();
    void progressCancelledAtItsValue();
};

void tst_DialogDriver::messageBoxButton_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("yes") << int(QMessageBox::Yes);
    QTest::newRow("no") << int(QMessageBox::No);
    QTest::newRow("cancel") << int(QMessageBox::Cancel);
}

void tst_DialogDriver::messageBoxButton()
{
    // Guards against the driver pressing some other button than the one asked for.
    QFETCH(int, button);
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::StandardButton(button), "save");
    const auto answer = QMessageBox::question(nullptr, "Release", "Do you want to save?",
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(int(answer), button);
    DIALOGS_DONE(dialogs);
    QCOMPARE(dialogs.seen().size(), 1);
    QCOMPARE(dialogs.seen().first().text, QString("Do you want to save?"));
}

void tst_DialogDriver::dialogsInARow()
{
    // Guards against a dialog opened right after (or by) another one never being seen.
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Yes).enterText("station 7").pressButton(QMessageBox::Ok);
    const auto first = QMessageBox::question(nullptr, "t", "go on?");
    bool ok = false;
    const QString name = QInputDialog::getText(nullptr, "t", "name:", QLineEdit::Normal, "", &ok);
    QMessageBox::information(nullptr, "t", "created " + name);
    QCOMPARE(first, QMessageBox::Yes);
    QVERIFY(ok);
    QCOMPARE(name, QString("station 7"));
    DIALOGS_DONE(dialogs);
    QCOMPARE(dialogs.seen().size(), 3);
    QCOMPARE(dialogs.seen().at(2).text, QString("created station 7"));

    // A dialog that an answer's click opens from inside another dialog's loop.
    DialogDriver nested;
    nested.pressButton(QMessageBox::Ok).pressButton(QMessageBox::Ok);
    QMessageBox outer(QMessageBox::Information, "t", "outer", QMessageBox::Ok);
    QString innerText;
    connect(&outer, &QMessageBox::buttonClicked, this, [&] {
        QMessageBox::information(nullptr, "t", "inner");
        innerText = "inner answered";
    });
    outer.exec();
    QCOMPARE(innerText, QString("inner answered"));
    DIALOGS_DONE(nested);
}

void tst_DialogDriver::inputDialogs()
{
    // Guards against text, numbers, list items and cancels not reaching the caller.
    DialogDriver dialogs;
    dialogs.enterText("abc", "name")
        .cancelInput()
        .enterText("42")
        .chooseItem("feeder", "types")
        .cancelInput();
    bool ok = false;
    QCOMPARE(QInputDialog::getText(nullptr, "t", "name:", QLineEdit::Normal, "old", &ok), QString("abc"));
    QVERIFY(ok);
    QCOMPARE(QInputDialog::getText(nullptr, "t", "name:", QLineEdit::Normal, "old", &ok), QString());
    QVERIFY(!ok);
    QCOMPARE(QInputDialog::getInt(nullptr, "t", "keep:", 3, 0, 100, 1, &ok), 42);
    QVERIFY(ok);
    const QStringList types{"station", "feeder", "bus"};
    QCOMPARE(QInputDialog::getItem(nullptr, "t", "types:", types, 0, false, &ok), QString("feeder"));
    QVERIFY(ok);
    QInputDialog::getItem(nullptr, "t", "types:", types, 0, false, &ok);
    QVERIFY(!ok);
    DIALOGS_DONE(dialogs);
}

void tst_DialogDriver::fileDialogs()
{
    // Guards against file, multi-file and folder choices (and cancels) getting lost.
    QVERIFY(m_dir.isValid());
    const QString a = touch("a.xrg");
    const QString b = touch("b 2.xrg");
    QDir(m_dir.path()).mkdir("sub");
    const QString sub = m_dir.filePath("sub");

    DialogDriver dialogs;
    dialogs.chooseFile(a).chooseFiles({a, b}).chooseDirectory(sub).cancelFileDialog();
    QCOMPARE(QFileDialog::getOpenFileName(nullptr, "open", QDir::homePath()), a);
    QStringList both = QFileDialog::getOpenFileNames(nullptr, "open", QDir::homePath());
    both.sort();
    QCOMPARE(both, QStringList({a, b}));
    QCOMPARE(QDir(QFileDialog::getExistingDirectory(nullptr, "folder", m_dir.path())).absolutePath(),
             QDir(sub).absolutePath());
    QCOMPARE(QFileDialog::getOpenFileName(nullptr, "open", m_dir.path()), QString());
    DIALOGS_DONE(dialogs);
}

void tst_DialogDriver::expectedDialogNeverCame()
{
    // Guards against a test passing although the code under test never asked.
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Yes);
    QVERIFY(!dialogs.finish());
    QVERIFY2(dialogs.report().contains("none came"), qPrintable(dialogs.report()));
}

void tst_DialogDriver::unexpectedDialogIsRejectedAndReported()
{
    // Guards against a test hanging on (or silently accepting) a dialog nobody expected.
    DialogDriver dialogs;
    const auto answer = QMessageBox::question(nullptr, "t", "surprise?");
    QVERIFY(answer != QMessageBox::Yes);
    bool ok = true;
    QInputDialog::getText(nullptr, "t", "who?", QLineEdit::Normal, "", &ok);
    QVERIFY(!ok);
    QVERIFY(!dialogs.finish());
    QVERIFY2(dialogs.report().contains("surprise?"), qPrintable(dialogs.report()));
    QVERIFY2(dialogs.report().contains("who?"), qPrintable(dialogs.report()));
}

void tst_DialogDriver::wrongAnswersAreReported()
{
    // Guards against a wrong dialog kind, wrong text, missing item or refused file passing.
    const QString missing = m_dir.filePath("missing.xrg");
    QDir(m_dir.path()).mkpath("folder");
    DialogDriver dialogs;
    dialogs.enterText("x")                           // but a message box comes
        .pressButton(QMessageBox::Yes, "delete")     // but the text says something else
        .chooseItem("nowhere")                       // not offered
        .pressButton(QMessageBox::Abort)             // the box has no such button
        .chooseFile(missing);                        // the open dialog refuses it
    QMessageBox::question(nullptr, "t", "first?");
    QMessageBox::question(nullptr, "t", "rename?");
    bool ok = true;
    QInputDialog::getItem(nullptr, "t", "types:", {"a", "b"}, 0, false, &ok);
    QVERIFY(!ok);
    QMessageBox::information(nullptr, "t", "only ok");
    QCOMPARE(QFileDialog::getOpenFileName(nullptr, "open", m_dir.path()), QString());
    QVERIFY(!dialogs.finish());
    const QString report = dialogs.report();
    QVERIFY2(report.contains("expected a input dialog"), qPrintable(report));
    QVERIFY2(report.contains("does not say 'delete'"), qPrintable(report));
    QVERIFY2(report.contains("no item 'nowhere'"), qPrintable(report));
    QVERIFY2(report.contains("has no button"), qPrintable(report));
    // The open dialog refuses a missing file with a box of its own.
    QVERIFY2(report.contains("File not found"), qPrintable(report));

    // Given a folder, the open dialog goes into it and stays open.
    DialogDriver stays;
    stays.chooseFile(m_dir.filePath("folder"));
    QCOMPARE(QFileDialog::getOpenFileName(nullptr, "open", m_dir.path()), QString());
    QVERIFY(!stays.finish());
    QVERIFY2(stays.report().contains("stayed open"), qPrintable(stays.report()));
}

TALMER_TEST_MAIN(tst_DialogDriver)
#include "tst_dialogdriver.moc"

void tst_DialogDriver::progressCancelledAtItsValue_data()
{
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<int>("done");
    QTest::addColumn<bool>("ok");
    QTest::newRow("at the first step") << 0 << 0 << true;
    QTest::newRow("after three steps") << 3 << 3 << true;
    QTest::newRow("never reached") << 9 << 5 << false;
}

// Guards against a progress cancel that comes late (steps lost) or a missed cancel not reported.
void tst_DialogDriver::progressCancelledAtItsValue()
{
    QFETCH(int, cancelAt);
    QWidget window;
    window.show();
    DialogDriver dialogs;
    dialogs.cancelProgress(cancelAt);
    QProgressDialog progress("working", "stop", 0, 5, &window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();
    int done = 0;
    for (int step = 0; step < 5; ++step) {
        progress.setValue(step);
        if (progress.wasCanceled())
            break;
        ++done;
    }
    QTEST(done, "done");
    QFETCH(bool, ok);
    QCOMPARE(dialogs.finish(), ok);
    QCOMPARE(dialogs.progressSeen().value(0), QString("working=0"));
}
