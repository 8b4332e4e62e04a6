#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include <memory>

#include "dialogdriver.h"
#include "ftptestserver.h"
#include "icontesting.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "miconboxeditor.h"
#include "miconeditoritem.h"
#include "miconfilepreview.h"
#include "miconvieweditor.h"
#include "testmain.h"
#include "testsite.h"
#include "treetesting.h"

using IconTesting::readIcon;
using IconTesting::writeIcon;
using TestSupport::DialogDriver;
using TestSupport::TestSite;

namespace {

const QString kOld = "2026-01-01T10:00:00";
const QString kA = "{0000000a-0000-4000-8000-000000000000}"; // breaker's "A"
const QString kZ = "{0000000f-0000-4000-8000-000000000000}"; // bus's "Z"
const QString kNewFile = "{00000001-0000-4000-8000-000000000000}";

QMap<QString, QString> iconsOf(const QString& type)
{
    QMap<QString, QString> byName; // name -> uuid
    for (const MDBRecordIcon& icon : IconTesting::iconRecords(type))
        byName.insert(icon.name, icon.uuid);
    return byName;
}

// Queues "name:TEXT", "cancel", "yes" or "no" answers.
void queueAnswers(DialogDriver& dialogs, const QStringList& answers)
{
    for (const QString& answer : answers) {
        if (answer.startsWith("name:"))
            dialogs.enterText(answer.mid(5), "duplicate name, input new name:");
        else if (answer == "cancel")
            dialogs.cancelInput();
        else
            dialogs.pressButton(answer == "yes" ? QMessageBox::Yes : QMessageBox::No, "overwrite existing?");
    }
}

} // namespace

class tst_IconImport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSite> m_site;
    std::unique_ptr<MIconViewEditor> m_view;

    MIconBoxEditor* box() const { return m_view->Box(); }
    QString incoming(const QString& name) const { return m_site->tree().base() + "/incoming/" + name; }
    bool makeView(const QString& type)
    {
        if (!m_site->builder().ok())
            return false;
        m_view = std::make_unique<MIconViewEditor>();
        box()->SetClickInterval(0);
        box()->ItemClicked(box()->FindTypeItem(type), 0);
        return box()->CurrentTypeItem() != nullptr;
    }
    bool import(const QStringList& files, const QStringList& answers, QString* report)
    {
        DialogDriver dialogs;
        dialogs.chooseFiles(files);
        queueAnswers(dialogs, answers);
        box()->ImportIcon();
        const bool done = dialogs.finish();
        *report = dialogs.report();
        return done;
    }

private Q_SLOTS:
    void init();
    void cleanup() { m_view.reset(); m_site.reset(); }

    void importOneFile_data();
    void importOneFile();
    void cancelSkipsOnlyThatFile();
    void reimportOfALibraryFileInPlace();
    void unreadableFilesAreSkipped();
    void failedCopyRegistersNothing();
    void plugins_data();
    void plugins();
    void previewShowsNameAndPicture();
};

void tst_IconImport::init()
{
    m_site = std::make_unique<TestSite>();
    SiteGen::SiteBuilder& b = m_site->builder();
    const QString breaker = b.iconType("breaker", 2, 0, 0);
    const QString bus = b.iconType("bus", 5, 1, 1);
    b.iconType("plugins", 72, 0, 3);
    b.icon(breaker, "A", kA, kOld);
    b.icon(bus, "Z", kZ, kOld);
    QVERIFY(writeIcon(MDeployPaths::IconFile("breaker", kA), "A", kA, "breaker"));
}

void tst_IconImport::importOneFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("fileUuid");
    QTest::addColumn<QString>("fileCatalog");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("storedUuid"); // "fresh": a new one
    QTest::addColumn<int>("icons");          // in breaker afterwards
    QTest::newRow("new icon") << "N" << kNewFile << "breaker" << QStringList{} << "N" << kNewFile << 2;
    QTest::newRow("uuid used in another type: fresh uuid")
        << "N" << kZ << "breaker" << QStringList{} << "N" << "fresh" << 2;
    QTest::newRow("name in the type, overwrite Yes")
        << "A" << kNewFile << "breaker" << QStringList{"name:A", "yes"} << "A" << kA << 1;
    QTest::newRow("overwrite No, then a fresh name")
        << "A" << kNewFile << "breaker" << QStringList{"name:A", "no", "name:Fresh"} << "Fresh" << kNewFile << 2;
    QTest::newRow("name of another type asked again")
        << "A" << kNewFile << "breaker" << QStringList{"name:Z", "name:Fresh"} << "Fresh" << kNewFile << 2;
    QTest::newRow("blank answer asked again")
        << "A" << kNewFile << "breaker" << QStringList{"name:  ", "name: Fresh "} << "Fresh" << kNewFile << 2;
    QTest::newRow("blank name in the file asked")
        << "  " << kNewFile << "breaker" << QStringList{"name:Named"} << "Named" << kNewFile << 2;
    QTest::newRow("other catalog rewritten") << "N" << kNewFile << "elsewhere" << QStringList{} << "N" << kNewFile
                                             << 2;
}

void tst_IconImport::importOneFile()
{
    // Guards against imported icons that collide with the library, or whose file disagrees with their record.
    QFETCH(QString, fileName);
    QFETCH(QString, fileUuid);
    QFETCH(QString, fileCatalog);
    QFETCH(QStringList, answers);
    QFETCH(QString, storedName);
    QFETCH(QString, storedUuid);
    QFETCH(int, icons);
    QVERIFY(writeIcon(incoming("x.xco"), fileName, fileUuid, fileCatalog, 2));
    QVERIFY(makeView("breaker"));
    QString report;
    QVERIFY2(import({incoming("x.xco")}, answers, &report), qPrintable(report));

    const QMap<QString, QString> stored = iconsOf("breaker");
    QCOMPARE(stored.size(), icons);
    QVERIFY(stored.contains(storedName));
    const QString uuid = stored.value(storedName);
    if (storedUuid == "fresh") {
        QVERIFY(!QUuid(uuid).isNull());
        QVERIFY(uuid != fileUuid);
    } else {
        QCOMPARE(uuid, storedUuid);
    }
    const IconTesting::IconInfo file = readIcon(MDeployPaths::IconFile("breaker", uuid));
    QVERIFY(file.read);
    QCOMPARE(file.name, storedName);
    QCOMPARE(file.uuid, uuid);
    QCOMPARE(file.catalog, QString("breaker"));
    QCOMPARE(file.catalogId, fileCatalog == "breaker" ? 0 : 2); // written only when the catalog differed
    QCOMPARE(iconsOf("bus").value("Z"), kZ); // the other type untouched
    QCOMPARE(MIconBoxEditor::ImportDirectory(), incoming(QString()).chopped(1));
}

void tst_IconImport::cancelSkipsOnlyThatFile()
{
    // Guards against a cancelled name ending the whole import, or importing the cancelled file anyway.
    QVERIFY(writeIcon(incoming("dup.xco"), "A", kNewFile, "breaker"));
    QVERIFY(writeIcon(incoming("fine.xco"), "Fine", "{00000002-0000-4000-8000-000000000000}", "breaker"));
    QVERIFY(makeView("breaker"));
    QString report;
    QVERIFY2(import({incoming("dup.xco"), incoming("fine.xco")}, {"cancel"}, &report), qPrintable(report));
    const QMap<QString, QString> stored = iconsOf("breaker");
    QCOMPARE(stored.keys(), (QStringList{"A", "Fine"}));
    QVERIFY(!QFileInfo::exists(MDeployPaths::IconFile("breaker", kNewFile)));
    QCOMPARE(readIcon(MDeployPaths::IconFile("breaker", kA)).name, QString("A"));
}

void tst_IconImport::reimportOfALibraryFileInPlace()
{
    // Guards against importing a library file over itself (through a link) deleting it before the copy.
    QVERIFY(QDir().mkpath(incoming("")));
    QVERIFY(QFile::link(m_site->tree().path("icon"), incoming("library")));
    const QString viaLink = incoming("library/breaker/" + kA + ".xco");
    QVERIFY(QFileInfo::exists(viaLink));
    QVERIFY(makeView("breaker"));
    QString report;
    QVERIFY2(import({viaLink}, {"name:A", "yes"}, &report), qPrintable(report));
    const IconTesting::IconInfo file = readIcon(MDeployPaths::IconFile("breaker", kA));
    QVERIFY(file.read);
    QCOMPARE(file.name, QString("A"));
    QCOMPARE(file.uuid, kA);
    QCOMPARE(iconsOf("breaker"), (QMap<QString, QString>{{"A", kA}}));
}

void tst_IconImport::unreadableFilesAreSkipped()
{
    // Guards against a damaged file being registered with an empty name and a null uuid.
    QVERIFY(TestSupport::writeFile(incoming("bad.xco"), "not an icon"));
    QVERIFY(makeView("breaker"));
    QString report;
    QVERIFY2(import({incoming("bad.xco")}, {}, &report), qPrintable(report));
    QCOMPARE(iconsOf("breaker").keys(), QStringList{"A"});
    QCOMPARE(QDir(m_site->tree().path("icon/breaker")).entryList(QDir::Files).size(), 1);
}

void tst_IconImport::failedCopyRegistersNothing()
{
    // Guards against an icon registered (and announced to the host) whose file never reached the library.
    QVERIFY(writeIcon(incoming("x.xco"), "N", kNewFile, "breaker"));
    QVERIFY(QDir().mkpath(MDeployPaths::IconFile("breaker", kNewFile))); // a folder where the file must go
    QVERIFY(makeView("breaker"));
    QString report;
    QVERIFY2(import({incoming("x.xco")}, {}, &report), qPrintable(report));
    QCOMPARE(iconsOf("breaker").keys(), QStringList{"A"});
    QCOMPARE(readIcon(MDeployPaths::IconFile("breaker", kA)).name, QString("A"));
}

void tst_IconImport::plugins_data()
{
    QTest::addColumn<QString>("file"); // below the deployment root
    QTest::addColumn<QString>("uuid"); // registered; empty: refused
    QTest::newRow("below bin/mmi") << "bin/mmi/meters/gauge.so" << "meters/gauge";
    QTest::newRow("outside bin/mmi: refused") << "lib/gauge.so" << "";
}

void tst_IconImport::plugins()
{
    // Guards against plug-ins outside bin/mmi being registered with a uuid that leads out of it.
    QFETCH(QString, file);
    QFETCH(QString, uuid);
    QVERIFY(m_site->tree().writeFile(file, "library"));
    QVERIFY(QDir().mkpath(m_site->tree().path("bin/mmi")));
    QVERIFY(makeView("plugins"));
    QString report;
    QVERIFY2(import({m_site->tree().path(file)}, {}, &report), qPrintable(report));
    const QMap<QString, QString> stored = iconsOf("plugins");
    QCOMPARE(stored.size(), uuid.isEmpty() ? 0 : 1);
    if (!uuid.isEmpty())
        QCOMPARE(stored.value("gauge"), uuid);
    QCOMPARE(m_site->tree().readFile(file), QByteArray("library")); // never copied or changed
}

void tst_IconImport::previewShowsNameAndPicture()
{
    // Guards against the import preview showing nothing for a good file, or a stale picture for a bad one.
    QVERIFY(writeIcon(incoming("x.xco"), "Preview me", kNewFile, "breaker"));
    QVERIFY(TestSupport::writeFile(incoming("bad.xco"), "not an icon"));
    MIconFilePreview preview;
    preview.previewPath(incoming("x.xco"));
    QCOMPARE(preview.ShownName(), QString("Preview me"));
    QCOMPARE(preview.PictureLabel()->pixmap().size(), QSize(41, 30));
    preview.previewPath(incoming("notes.txt")); // not an icon file: left as it was
    QCOMPARE(preview.ShownName(), QString("Preview me"));
    preview.previewPath(incoming("bad.xco"));
    QCOMPARE(preview.ShownName(), QString());
    QCOMPARE(preview.PictureLabel()->text(), QString("preview failed"));
}

TALMER_TEST_MAIN(tst_IconImport)
#include "tst_iconimport.moc"
