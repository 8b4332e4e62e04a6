#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialogdriver.h"
#include "editortesting.h"
#include "mdbrecords.h"
#include "mergetesting.h"
#include "mgraphmergedialog.h"
#include "mmergedbitem.h"
#include "testmain.h"

using EditorTesting::EditorSite;
using TestSupport::DialogDriver;

namespace {

const QString kBeijing = QString::fromUtf8("北京变电站");
const QString kChaoyang = QString::fromUtf8("朝阳站");
const QString t1 = "2026-03-01T08:01:00", t5 = "2026-03-01T08:05:00", t9 = "2026-03-01T08:09:00";

// The names of the list's items that are shown.
QStringList shown(const QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        if (!list->item(i)->isHidden())
            names << list->item(i)->text();
    }
    return names;
}

void writeFile(const QString& path, const QString& xml)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(xml.toUtf8());
}

} // namespace

class tst_MergeDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<EditorSite> m_site;

    MDBRecordApplication app() const { return MergeTesting::Application(m_site->app); }
    MAbstractDBInterface* db() const { return MDBInterfaceHolder::Instance()->GetInterface(); }
    QTemporaryDir m_files;
    QString file(const QString& name) const { return m_files.filePath(name); }
    // A dialog over the site, its local list read.
    std::unique_ptr<MGraphMergeDialog> openDialog()
    {
        auto dialog = std::make_unique<MGraphMergeDialog>(db(), app(), nullptr);
        dialog->resize(640, 420);
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get()))
            return nullptr;
        const bool read = QTest::qWaitFor(
            [&] { return dialog->StatusText() == "initing local database finished"; }, 5000);
        return read ? std::move(dialog) : nullptr;
    }
    void import(MGraphMergeDialog* dialog, const QString& path)
    {
        DialogDriver dialogs;
        dialogs.chooseFile(path);
        dialog->findChild<QPushButton*>("importButton")->click();
        DIALOGS_DONE(dialogs);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->StatusText().startsWith("comparing to local data finished")
                                     || dialog->StatusText().startsWith("read data from file failed"),
                                 5000);
    }

private Q_SLOTS:
    void init()
    {
        m_site = std::make_unique<EditorSite>();
        m_site->picture(kBeijing, {0, 1, 2}, {t9, t1, t5});
        m_site->picture(QString::fromUtf8("城东线"), {0}, {t1}, m_site->feeder);
        QVERIFY(m_site->builder().ok());
    }
    void cleanup() { m_site.reset(); }

    void exportedFileImportsAsTheSame()
    {
        // Guards against an export/import round trip that shows differences where there are none.
        auto dialog = openDialog();
        QVERIFY(dialog);
        auto* local = dialog->findChild<QListWidget*>("localList");
        QCOMPARE(shown(local), (QStringList{kBeijing, QString::fromUtf8("城东线")}));
        DialogDriver dialogs;
        dialogs.chooseFile(file("out.xml"));
        dialog->findChild<QPushButton*>("exportButton")->click();
        DIALOGS_DONE(dialogs);
        QTRY_COMPARE(dialog->StatusText(), QString("export MMI database finished"));
        QVERIFY(dialog->findChild<QProgressBar*>("progressBar")->isHidden());
        import(dialog.get(), file("out.xml"));
        auto* files = dialog->findChild<QListWidget*>("fileList");
        QCOMPARE(shown(files), shown(local));
        for (int i = 0; i < files->count(); ++i)
            QCOMPARE(static_cast<MMergeDBItem*>(files->item(i))->State(), 0);
        dialog->findChild<QRadioButton*>("changesRadio")->click();
        QCOMPARE(shown(files), QStringList());
        dialog->findChild<QRadioButton*>("allRadio")->click();
        QCOMPARE(shown(files).size(), 2);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(files->item(0)).center());
        QVERIFY(!dialog->findChild<QPushButton*>("mergeButton")->isEnabled());
        QCOMPARE(local->currentItem()->text(), files->item(0)->text());
    }

    void statesColoursAndMerge()
    {
        // Guards against wrong states or colours, a merge of the wrong versions, and a merged item merged again.
        const QString xml = QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?><mmiexport>"
                                    "<picType name=\"station\" picTypeCode=\"2\">"
                                    "<picture name=\"%1\"><edition version=\"0\" modifyTime=\"%2\"/>"
                                    "<edition version=\"2\" modifyTime=\"%3\"/><edition version=\"3\" modifyTime=\"%3\"/></picture>"
                                    "<picture name=\"%4\"><edition version=\"0\" modifyTime=\"%2\"/></picture>"
                                    "</picType></mmiexport>")
                                .arg(kBeijing, t9, "2026-03-01T09:00:00", kChaoyang);
        writeFile(file("in.xml"), xml);
        QDir().mkpath(file(kChaoyang)); // the folder the "graph folder" filter looks for
        auto dialog = openDialog();
        QVERIFY(dialog);
        import(dialog.get(), file("in.xml"));
        MMergeDBItem* beijing = dialog->FileItem(kBeijing);
        MMergeDBItem* chaoyang = dialog->FileItem(kChaoyang);
        QVERIFY(beijing && chaoyang);
        QCOMPARE(beijing->State(), 2);
        QCOMPARE(chaoyang->State(), 1);
        QCOMPARE(beijing->foreground().color(), QColor(Qt::red));
        QCOMPARE(chaoyang->foreground().color(), QColor(Qt::red));
        auto* files = dialog->findChild<QListWidget*>("fileList");
        dialog->findChild<QRadioButton*>("folderRadio")->click();
        QCOMPARE(shown(files), QStringList{kChaoyang});
        dialog->findChild<QRadioButton*>("allRadio")->click();

        files->setCurrentItem(beijing);
        dialog->FileItemChanged(beijing);
        QCOMPARE(dialog->StatusText(), QString("merge will write: insert versions 3; update versions 2; local is newer: 1"));
        if (!qEnvironmentVariableIsEmpty("TALMER_SHOTS"))
            dialog->grab().save(qEnvironmentVariable("TALMER_SHOTS") + "/merge-dialog.png");
        auto* merge = dialog->findChild<QPushButton*>("mergeButton");
        QVERIFY(merge->isEnabled());
        merge->click();
        QCOMPARE(dialog->StatusText(), QString("local is newer!"));
        QCOMPARE(beijing->State(), 3);
        QVERIFY(!merge->isEnabled());
        dialog->FileItemChanged(beijing);
        QCOMPARE(dialog->StatusText(), QString("merged already!"));
        QCOMPARE(MergeTesting::Library(app()).value(kBeijing).keys(), (QList<int>{0, 1, 2, 3}));

        files->setCurrentItem(chaoyang);
        dialog->FileItemChanged(chaoyang);
        merge->click();
        QCOMPARE(dialog->StatusText(), QString("merge successfully!"));
        QCOMPARE(chaoyang->State(), 3);
        QCOMPARE(chaoyang->foreground().color(), QColor(Qt::red)); // the merged item keeps its colour
        QVERIFY(shown(dialog->findChild<QListWidget*>("localList")).contains(kChaoyang));
        QCOMPARE(MergeTesting::Library(app()).value(kChaoyang).keys(), QList<int>{0});
    }

    void refusedFileSaysWhy()
    {
        // Guards against a drawing chosen by mistake loading as something to merge, silently.
        writeFile(file("drawing.xml"), "<?xml version=\"1.0\"?><graph><rect/></graph>");
        auto dialog = openDialog();
        QVERIFY(dialog);
        import(dialog.get(), file("drawing.xml"));
        QVERIFY2(dialog->StatusText().contains("not an export file"), qPrintable(dialog->StatusText()));
        QCOMPARE(dialog->findChild<QListWidget*>("fileList")->count(), 0);
    }

    void closedBeforeItsWorkRuns()
    {
        // Guards against the posted start-up work running on a dialog that is gone.
        MergeTesting::FailingInterface counting(db(), 0);
        auto dialog = std::make_unique<MGraphMergeDialog>(&counting, app(), nullptr);
        dialog.reset();
        QTest::qWait(50);
        QCOMPARE(counting.listings, 0);
        MGraphMergeDialog kept(&counting, app(), nullptr);
        QTRY_VERIFY(counting.listings > 0); // the same work does run on a dialog that stays
    }

    void treeOpensTheDialogForTheApplication()
    {
        // Guards against the menu entry missing or the dialog opened on the wrong application.
        QVERIFY(m_site->makeView());
        MGraphTreeItem* a = m_site->click({"A"});
        QVERIFY(a);
        MGraphTreeViewEditor* tree = m_site->tree();
        tree->setCurrentItem(a);
        QVERIFY(tree->MenuActions(a).contains(tree->Action(MGraphTreeViewEditor::Command::MergeDatabase)));
        DialogDriver dialogs;
        dialogs.answerDialog("MGraphMergeDialog", [](QWidget* w) -> QString {
            auto* dialog = static_cast<MGraphMergeDialog*>(w);
            if (w->windowTitle() != "db merge")
                return "wrong title " + w->windowTitle();
            if (!QTest::qWaitFor([&] { return dialog->StatusText() == "initing local database finished"; }, 5000))
                return "the local pictures were not read: " + dialog->StatusText();
            if (dialog->findChild<QListWidget*>("localList")->count() != 2)
                return "the local list does not hold the application's two pictures";
            dialog->findChild<QPushButton*>("closeButton")->click();
            return {};
        });
        tree->Action(MGraphTreeViewEditor::Command::MergeDatabase)->trigger();
        DIALOGS_DONE(dialogs);
    }
};

TALMER_TEST_MAIN(tst_MergeDialog)
#include "tst_mergedialog.moc"
