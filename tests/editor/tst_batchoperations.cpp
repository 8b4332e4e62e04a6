#include <QProgressBar>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "dialogdriver.h"
#include "editortesting.h"
#include "importtesting.h"
#include "mdatamessagebus.h"
#include "mdrawobj.h"
#include "mergetesting.h"
#include "mdeploypaths.h"
#include "mgraph.h"
#include "mgraphdataaccess.h"
#include "mgraphdoc.h"
#include "mtextobj.h"
#include "mtranslatehandler.h"
#include "testmain.h"

using EditorTesting::EditorSite;
using TestSupport::DialogDriver;

namespace {

const QString kOld = "2026-01-01T10:00:00", kNew = "2026-01-03T10:00:00";

class Upper : public MTranslateHandler
{
public:
    QString TranslateText(const QString& text) override { return text.toUpper(); }
};

struct Drawing
{
    bool read = false;
    bool share = false;
    QStringList texts;
    QStringList oids;
};

Drawing drawingAt(const QString& path)
{
    Drawing d;
    MGraphDoc doc;
    d.read = doc.ReadXmlFile(path);
    d.share = doc.IsShare();
    for (MDrawObj* obj : doc.GetGraph()->GetObjList()) {
        if (auto* text = dynamic_cast<MTextObj*>(obj))
            d.texts << text->GetText();
        if (!obj->GetOid().isEmpty())
            d.oids << obj->GetOid();
    }
    return d;
}

// Saves a picture of a progress dialog as it shows its second picture, when
// TALMER_SHOTS names a folder (for looking at it, not for asserting).
class ProgressShot : public QObject
{
public:
    ProgressShot() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog && event->type() == QEvent::Show && !qEnvironmentVariableIsEmpty("TALMER_SHOTS")) {
            connect(dialog->findChild<QProgressBar*>(), &QProgressBar::valueChanged, this, [dialog](int value) {
                if (value == 1)
                    dialog->grab().save(qEnvironmentVariable("TALMER_SHOTS") + "/batch-progress.png");
            });
        }
        return false;
    }
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_BatchOperations : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<EditorSite> m_site;
    const QStringList m_pictures{"P1", "P2", "P3"};

    QString serverFile(const QString& picture, int version = 0, const QString& ext = "xrg") const
    {
        return m_site->server(QString("pic/A/%1/%2.%3").arg(picture).arg(version).arg(ext));
    }
    // Version -> modification time of a picture in the library.
    QMap<int, QString> versions(const QString& picture) const
    {
        return MergeTesting::Library(MergeTesting::Application(m_site->app)).value(picture);
    }
    // The tree with the picture current (shown and clicked); false when missing.
    bool pictureCurrent(const QString& picture)
    {
        if (!m_site->makeView())
            return false;
        MGraphTreeItem* item = m_site->click({"A", "station", picture});
        if (item)
            m_site->tree()->setCurrentItem(item);
        return item;
    }
    // The tree with the picture type current, its pictures never listed.
    MGraphTreeItem* typeItem(const QString& type)
    {
        if (!m_site->makeView())
            return nullptr;
        MGraphTreeItem* app = m_site->click({"A"});
        MGraphTreeItem* item = app ? MGraphTreeViewEditor::ChildNamed(app, type) : nullptr;
        if (item)
            m_site->tree()->setCurrentItem(item);
        return item;
    }

private Q_SLOTS:
    void init()
    {
        m_site = std::make_unique<EditorSite>();
        for (const QString& p : m_pictures) {
            m_site->picture(p, {0}, {kOld});
            QVERIFY(ImportTesting::writeStation(serverFile(p), p));
        }
    }
    void cleanup()
    {
        m_site.reset();
    }

    void shareOverAnUnexpandedType()
    {
        // Guards against a type's batch processing only expanded items (none) and reporting success.
        MGraphTreeItem* type = typeItem("station");
        QVERIFY(type);
        QCOMPARE(type->childCount(), 0);
        DialogDriver dialogs;
        dialogs.watchProgress();
        ProgressShot shot;
        QSignalSpy errors(m_site->tree(), &MGraphTreeViewEditor::SigShowErrMsg);
        m_site->tree()->slotShareGraph();
        DIALOGS_DONE(dialogs);
        QCOMPARE(dialogs.progressSeen(), (QStringList{"P1=0", "P2=1", "P3=2", "P3=3"}));
        QCOMPARE(errors.count(), 0);
        for (const QString& p : m_pictures) {
            QVERIFY2(drawingAt(serverFile(p)).share, qPrintable(p));
            QVERIFY(QFile::exists(serverFile(p, 0, "brg")) && QFile::exists(serverFile(p, 0, "fg")));
            QVERIFY(versions(p).value(0) != kOld);
        }
    }

    void cancelAfterTwoPictures()
    {
        // Guards against a cancel that does not stop the run, or loses the pictures already done.
        QVERIFY(typeItem("station"));
        DialogDriver dialogs;
        dialogs.cancelProgress(2);
        m_site->tree()->slotShareGraph();
        DIALOGS_DONE(dialogs);
        QVERIFY(drawingAt(serverFile("P1")).share);
        QVERIFY(drawingAt(serverFile("P2")).share);
        QVERIFY(!drawingAt(serverFile("P3")).share);
        QCOMPARE(versions("P3").value(0), kOld);
    }

    void corruptDrawingIsSkipped()
    {
        // Guards against an unreadable drawing written back empty and uploaded over the server's copy.
        QFile bad(serverFile("P2"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("<graph format=\"1\"><objects><rect");
        bad.close();
        const QByteArray before = bytesOf(serverFile("P2"));
        QVERIFY(typeItem("station"));
        QSignalSpy errors(m_site->tree(), &MGraphTreeViewEditor::SigShowErrMsg);
        m_site->tree()->slotShareGraph();
        QCOMPARE(errors.count(), 1);
        const auto list = errors.at(0).at(0).value<QList<MErrMsg>>();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list.first().object, QString("P2"));
        QCOMPARE(bytesOf(serverFile("P2")), before);
        QVERIFY(!QFile::exists(serverFile("P2", 0, "brg")));
        QCOMPARE(versions("P2").value(0), kOld);
        QVERIFY(drawingAt(serverFile("P3")).share);
    }

    void failedUploadLeavesTheRecord()
    {
        // Guards against a record that announces files the server never got.
        QVERIFY(QDir().mkpath(serverFile("P1", 0, "brg"))); // a folder in the way: that upload fails
        QVERIFY(pictureCurrent("P1"));
        QSignalSpy errors(m_site->tree(), &MGraphTreeViewEditor::SigShowErrMsg);
        m_site->tree()->slotShareGraph();
        QCOMPARE(errors.count(), 1);
        const auto list = errors.at(0).at(0).value<QList<MErrMsg>>();
        QVERIFY(list.size() == 1 && list.first().message.contains("0.brg"));
        QCOMPARE(versions("P1").value(0), kOld);
        QVERIFY(!QFile::exists(serverFile("P1", 0, "fg")));
    }

    void refreshKeepsIdentifiersOfCode8_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("errorsExpected");
        QTest::newRow("code 8: rewritten, identifiers kept") << 8 << false;
        QTest::newRow("code 2: refreshed, unknown path reported") << 2 << true;
    }

    void refreshKeepsIdentifiersOfCode8()
    {
        // Guards against code-8 drawings losing their identifiers, or refresh errors not reported.
        QFETCH(int, code);
        QFETCH(bool, errorsExpected);
        const QString type = m_site->builder().pictureType(m_site->app, "special", code);
        m_site->picture("S", {0}, {kOld}, type);
        QVERIFY(ImportTesting::writeStation(serverFile("S"), "S"));
        QVERIFY(typeItem("special"));
        QSignalSpy errors(m_site->tree(), &MGraphTreeViewEditor::SigShowErrMsg);
        m_site->tree()->RefreshOIDs();
        QCOMPARE(errors.count(), 1); // always emitted, empty or not
        QCOMPARE(errors.at(0).at(0).value<QList<MErrMsg>>().isEmpty(), !errorsExpected);
        QVERIFY(versions("S").value(0) != kOld); // rewritten and uploaded either way
        QCOMPARE(drawingAt(serverFile("S")).oids, QStringList{"911"});
    }

    void translateWithAndWithoutHandler()
    {
        // Guards against translating with no handler, and a translation not reaching the server.
        QVERIFY(pictureCurrent("P1"));
        const QByteArray before = bytesOf(serverFile("P1"));
        {
            DialogDriver dialogs;
            dialogs.pressButton(QMessageBox::Ok, "no registered translate handler");
            m_site->tree()->TranslateText();
            DIALOGS_DONE(dialogs);
            QCOMPARE(bytesOf(serverFile("P1")), before);
        }
        Upper upper;
        MDataMessageBus::Instance()->RegisterTranslateHandler(&upper);
        DialogDriver dialogs;
        dialogs.pressButton(QMessageBox::Ok, "return to original language to check");
        m_site->tree()->TranslateText();
        MDataMessageBus::Instance()->UnregisterTranslateHandler(&upper);
        DIALOGS_DONE(dialogs);
        QCOMPARE(drawingAt(serverFile("P1")).texts, QStringList{"P1 ONE-LINE DIAGRAM"});
    }

    void staleDraftIsLeftAlone()
    {
        // Guards against processing a draft older than the latest version instead of the latest.
        m_site->picture("Q", {0, 1}, {kOld, kNew});
        QVERIFY(ImportTesting::writeStation(serverFile("Q", 0), "Q"));
        QVERIFY(ImportTesting::writeStation(serverFile("Q", 1), "Q"));
        QVERIFY(pictureCurrent("Q"));
        m_site->tree()->slotShareGraph();
        QVERIFY(drawingAt(serverFile("Q", 1)).share);
        QVERIFY(!drawingAt(serverFile("Q", 0)).share);
        QCOMPARE(versions("Q").value(0), kOld);
        QVERIFY(versions("Q").value(1) != kNew);
    }

    void staleCopyWhoseFetchFailsIsSkipped()
    {
        // Guards against a stale local copy rewritten and uploaded over the server's newer one.
        const QString local = MDeployPaths::VersionFile("A", "P1", 0, "xrg");
        QVERIFY(ImportTesting::writeStation(local, "P1"));
        QFile file(local);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2025, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
        file.close();
        const QByteArray before = bytesOf(local);
        QVERIFY(QFile::remove(serverFile("P1"))); // the fetch fails
        QVERIFY(pictureCurrent("P1"));
        QSignalSpy errors(m_site->tree(), &MGraphTreeViewEditor::SigShowErrMsg);
        m_site->tree()->slotShareGraph();
        QCOMPARE(errors.count(), 1);
        QVERIFY(errors.at(0).at(0).value<QList<MErrMsg>>().first().message.contains("stale"));
        QCOMPARE(bytesOf(local), before);
        QVERIFY(!QFile::exists(serverFile("P1")));
        QCOMPARE(versions("P1").value(0), kOld);
    }

    void batchPrivilegesFromTheTree()
    {
        // Guards against the batch privilege entry missing from the menu or writing the wrong pictures.
        const QString feederPicture = m_site->picture("F", {0}, {kOld}, m_site->feeder);
        QVERIFY(!feederPicture.isEmpty());
        MGraphTreeItem* station = typeItem("station");
        QVERIFY(station);
        MGraphTreeViewEditor* tree = m_site->tree();
        for (auto command : {MGraphTreeViewEditor::Command::BatchSetProperty, MGraphTreeViewEditor::Command::ShareGraph,
                             MGraphTreeViewEditor::Command::CancelShareGraph})
            QVERIFY(tree->MenuActions(station).contains(tree->Action(command)));
        DialogDriver dialogs;
        dialogs.answerDialog("MBatchSetDialog", [](QWidget* w) -> QString {
            w->findChild<QSpinBox*>("innerPrivilege")->setValue(5);
            w->findChild<QSpinBox*>("webPrivilege")->setValue(6);
            static_cast<QDialog*>(w)->accept();
            return {};
        });
        tree->Action(MGraphTreeViewEditor::Command::BatchSetProperty)->trigger();
        DIALOGS_DONE(dialogs);
        int inner = -1, outer = -1;
        unsigned long area = 0;
        QVERIFY(MGraphDataAccess::Instance()->GetGraphInfo("A", "P2", inner, area, outer));
        QCOMPARE(inner, 5);
        QCOMPARE(outer, 6);
        QVERIFY(MGraphDataAccess::Instance()->GetGraphInfo("A", "F", inner, area, outer));
        QCOMPARE(inner, 0); // another type: untouched
    }
};

TALMER_TEST_MAIN(tst_BatchOperations)
#include "tst_batchoperations.moc"
