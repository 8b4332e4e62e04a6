// The one safe file writer: a write either completes or leaves the old file as
// it was and says why, also when the disk fills up half way.
#include <QDataStream>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include "filesizelimit.h"
#include "safefile.h"

namespace {

constexpr qint64 kLimit = 4096;
const QByteArray kOld = "the old content\n";

} // namespace

class tst_SafeFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_target;

    // The target holds kOld, and nothing else is in its folder.
    void verifyUntouched()
    {
        QCOMPARE(Faults::contents(m_target), kOld);
        QCOMPARE(Faults::entries(m_dir.path()), QStringList{"target"});
    }

private slots:
    void init()
    {
        for (const QString& name : Faults::entries(m_dir.path())) {
            const QString entry = m_dir.filePath(name);
            QVERIFY(QFileInfo(entry).isDir() ? QDir(entry).removeRecursively() : QFile::remove(entry));
        }
        m_target = m_dir.filePath("target");
        QVERIFY(Faults::writePlain(m_target, kOld));
    }

    void fullDiskFailsAndKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<qint64>("size");
        QTest::newRow("one write past the limit") << 0 << 3 * kLimit;
        QTest::newRow("a write that ends exactly past it") << 0 << kLimit + 1;
        QTest::newRow("small writes, the last one fails") << 1 << 2 * kLimit;
        QTest::newRow("commit after a failed write") << 2 << 2 * kLimit;
        QTest::newRow("text stream ignoring its status") << 3 << 2 * kLimit;
        QTest::newRow("data stream ignoring its status") << 4 << 2 * kLimit;
        QTest::newRow("copy of a file too large") << 5 << 2 * kLimit;
    }
    void fullDiskFailsAndKeepsTheOldFile()
    {
        // Guards against a short write on a full disk ending in a truncated file reported as written.
        QFETCH(int, way);
        QFETCH(qint64, size);
        const QByteArray data(size, 'x');
        const QString source = m_dir.filePath("source");
        if (way == 5)
            QVERIFY(Faults::writePlain(source, data));
        const Faults::LimitedRun run = Faults::runLimited(kLimit, [&](QString& error) {
            SafeFile file(m_target);
            if (way == 5)
                return SafeFile::CopyFile(source, m_target, &error);
            if (!file.open())
                return false;
            bool written = true;
            if (way == 0 || way == 2)
                written = file.write(data);
            for (qint64 at = 0; way == 1 && written && at < size; at += 100)
                written = file.write(data.mid(at, 100));
            if (way == 3) {
                QTextStream text(file.device());
                text << data;
            } else if (way == 4) {
                QDataStream stream(file.device());
                stream.writeRawData(data.constData(), int(data.size()));
            }
            // Only the streams may hide a failure until commit; direct writes say so at once.
            if (written == (way < 3) || (way == 2 && file.write("small")))
                return true;
            const bool committed = file.commit();
            error = file.errorString();
            return committed;
        });
        QVERIFY2(run.finished, qPrintable(run.error));
        QVERIFY2(!run.succeeded, "a write past the limit was reported as done");
        QVERIFY2(run.error.contains("too large", Qt::CaseInsensitive), qPrintable(run.error));
        if (way == 5)
            QVERIFY(QFile::remove(source));
        verifyUntouched();
    }

    void writesWithinTheLimitComplete_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("just below the limit") << QByteArray(kLimit - 1, 'y');
        QTest::newRow("exactly the limit") << QByteArray(kLimit, 'y');
    }
    void writesWithinTheLimitComplete()
    {
        // Guards against the limit itself (or an empty file) being taken for a failure.
        QFETCH(QByteArray, data);
        const Faults::LimitedRun run = Faults::runLimited(kLimit, [&](QString& error) {
            return SafeFile::WriteFile(m_target, data, &error);
        });
        QVERIFY2(run.finished, qPrintable(run.error));
        QVERIFY2(run.succeeded, qPrintable(run.error));
        QCOMPARE(Faults::contents(m_target), data);
        QCOMPARE(Faults::entries(m_dir.path()), QStringList{"target"});
    }

    void refusedSourcesAndTargets_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::newRow("missing source") << "missing" << "target";
        QTest::newRow("source is a folder") << "folder" << "target";
        QTest::newRow("target in a missing folder") << "target" << "none/target";
        QTest::newRow("target is a folder") << "target" << "folder";
    }
    void refusedSourcesAndTargets()
    {
        // Guards against a copy that cannot read or write reporting success or damaging the target.
        QFETCH(QString, source);
        QFETCH(QString, target);
        QVERIFY(QDir(m_dir.path()).mkdir("folder"));
        QString error;
        QVERIFY(!SafeFile::CopyFile(m_dir.filePath(source), m_dir.filePath(target), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(Faults::contents(m_target), kOld);
        QCOMPARE(Faults::entries(m_dir.path()), QStringList({"folder", "target"}));
    }

    void copyReplacesTheTarget()
    {
        // Guards against a copy that appends to the old target or changes the source.
        const QByteArray data(100000, 'z');
        QVERIFY(Faults::writePlain(m_dir.filePath("source"), data));
        QVERIFY(SafeFile::CopyFile(m_dir.filePath("source"), m_target));
        QCOMPARE(Faults::contents(m_target), data);
        QCOMPARE(Faults::contents(m_dir.filePath("source")), data);
    }

    void failedFileRefusesEverythingAfter()
    {
        // Guards against a write after a failure (or after cancel) going through and being committed.
        SafeFile file(m_target);
        QVERIFY(!file.write("before open"));
        QVERIFY(!file.open() || !file.commit());
        SafeFile cancelled(m_target);
        QVERIFY(cancelled.open());
        QVERIFY(cancelled.write("new"));
        cancelled.cancel();
        QVERIFY(!cancelled.write("more"));
        QVERIFY(!cancelled.commit());
        QCOMPARE(cancelled.errorString(), QString("cancelled"));
        QCOMPARE(cancelled.device()->write("x"), qint64(-1));
        verifyUntouched();
    }
};

QTEST_GUILESS_MAIN(tst_SafeFile)
#include "tst_safefile.moc"
