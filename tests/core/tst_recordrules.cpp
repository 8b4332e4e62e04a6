#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "editionrules.h"
#include "mdbrecordedition.h"
#include "recordlist.h"
#include "recordtime.h"
#include "testmain.h"

namespace {

MDBRecordEdition* edition(int version, const QString& modified, const QString& released = {})
{
    auto* e = new MDBRecordEdition;
    e->version = version;
    e->modifyTime = modified;
    e->versionTime = released;
    return e;
}

} // namespace

class tst_RecordRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void earlierInWholeSeconds_data();
    void earlierInWholeSeconds();
    void fileStaleness_data();
    void fileStaleness();
    void editionsOfAPicture_data();
    void editionsOfAPicture();
};

void tst_RecordRules::earlierInWholeSeconds_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("earlier");
    QTest::newRow("a second before") << "2026-01-01T10:00:00" << "2026-01-01T10:00:01" << true;
    QTest::newRow("equal") << "2026-01-01T10:00:00" << "2026-01-01T10:00:00" << false;
    QTest::newRow("after") << "2026-01-01T10:00:01" << "2026-01-01T10:00:00" << false;
    QTest::newRow("blank separator") << "2026-01-01 09:00:00" << "2026-01-01T10:00:00" << true;
    QTest::newRow("text order is not time order") << "2026-01-01T9:00:00" << "2026-01-01T10:00:00" << false;
    QTest::newRow("unreadable first") << "yesterday" << "2026-01-01T10:00:00" << false;
    QTest::newRow("unreadable second") << "2026-01-01T10:00:00" << "" << false;
}

void tst_RecordRules::earlierInWholeSeconds()
{
    // Guards against trees and stores that disagree on which of two record times comes first.
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, earlier);
    QCOMPARE(RecordTime::IsEarlier(a, b), earlier);
}

void tst_RecordRules::fileStaleness_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("fileOffset"); // seconds of the file's time after the record's
    QTest::addColumn<QString>("record");
    QTest::addColumn<bool>("stale");
    const QString at = "2026-02-01T12:00:00";
    QTest::newRow("missing") << false << 0 << at << true;
    QTest::newRow("missing, unreadable time") << false << 0 << "garbled" << true;
    QTest::newRow("older by a second") << true << -1 << at << true;
    QTest::newRow("same second") << true << 0 << at << false;
    QTest::newRow("newer") << true << 5 << at << false;
    QTest::newRow("unreadable time") << true << -3600 << "garbled" << false;
}

void tst_RecordRules::fileStaleness()
{
    // Guards against fetching current files again, or keeping files older than their record.
    QFETCH(bool, exists);
    QFETCH(int, fileOffset);
    QFETCH(QString, record);
    QFETCH(bool, stale);
    QTemporaryDir dir;
    const QString path = dir.filePath("1.brg");
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QDateTime base = QDateTime::fromString("2026-02-01T12:00:00", Qt::ISODate);
        QVERIFY(file.setFileTime(base.addSecs(fileOffset), QFileDevice::FileModificationTime));
    }
    QCOMPARE(RecordTime::IsFileStale(path, record), stale);
}

void tst_RecordRules::editionsOfAPicture_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<int>("draftIndex");  // -1: none
    QTest::addColumn<int>("latestIndex"); // -1: none
    QTest::addColumn<bool>("staleDraft");
    QTest::addColumn<int>("history");
    const QString t1 = "2026-01-01T10:00:00", t2 = "2026-01-02T10:00:00", t3 = "2026-01-03T10:00:00";
    QTest::newRow("draft newer than latest") << QList<int>{0, 1, 2} << QStringList{t3, t1, t2} << 0 << 2 << false << 1;
    QTest::newRow("draft older than latest") << QList<int>{0, 1, 2} << QStringList{t1, t1, t2} << 0 << 2 << true << 1;
    QTest::newRow("draft as old as latest") << QList<int>{0, 1} << QStringList{t2, t2} << 0 << 1 << false << 0;
    QTest::newRow("draft only") << QList<int>{0} << QStringList{t1} << 0 << -1 << false << 0;
    QTest::newRow("no release: two drafts, the last counts") << QList<int>{0, 0} << QStringList{t1, t2} << 1 << -1
                                                              << false << 1;
    QTest::newRow("no draft") << QList<int>{1, 2} << QStringList{t1, t2} << -1 << 1 << false << 1;
    QTest::newRow("equal versions: the first stays") << QList<int>{2, 2, 0} << QStringList{t1, t2, t3} << 2 << 0
                                                     << false << 1;
    QTest::newRow("unreadable draft time is not older") << QList<int>{0, 1} << QStringList{"?", t2} << 0 << 1
                                                        << false << 0;
}

void tst_RecordRules::editionsOfAPicture()
{
    // Guards against a tree showing the draft twice, a stale draft, or the wrong latest version.
    QFETCH(QList<int>, versions);
    QFETCH(QStringList, times);
    QFETCH(int, draftIndex);
    QFETCH(int, latestIndex);
    QFETCH(bool, staleDraft);
    QFETCH(int, history);
    RecordList records;
    for (int i = 0; i < versions.size(); ++i)
        records.out() << edition(versions[i], times[i]);
    const EditionRules::Editions e = EditionRules::Classify(records.records());
    QCOMPARE(e.draft, draftIndex < 0 ? nullptr : static_cast<MDBRecordEdition*>(records.at(draftIndex)));
    QCOMPARE(e.latest, latestIndex < 0 ? nullptr : static_cast<MDBRecordEdition*>(records.at(latestIndex)));
    QCOMPARE(e.staleDraft, staleDraft);
    QCOMPARE(e.history.size(), history);
    QVERIFY(!e.history.contains(e.draft) || !e.draft);
    QVERIFY(!e.history.contains(e.latest) || !e.latest);
    const std::unique_ptr<MDBRecordEdition> released(edition(3, "2026-01-01T10:00:00", "2026-01-02T11:00:00"));
    QCOMPARE(EditionRules::HistoryName(*released), QString("Ver3(2026-01-02T11:00:00)"));
    released->versionTime.clear();
    QCOMPARE(EditionRules::HistoryName(*released), QString("Ver3(2026-01-01T10:00:00)"));
}

TALMER_TEST_MAIN(tst_RecordRules)
#include "tst_recordrules.moc"
