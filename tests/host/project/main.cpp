// Uses the library only through its installed headers and exported classes.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <mabstractgraphbridge.h>
#include <mabstractgraphview.h>
#include <mabstracticonvieweditor.h>
#include <mabstracticonviewonline.h>
#include <mabstracttemplateview.h>
#include <mdbrecordpicture.h>
#include <mdeploypaths.h>
#include <mfilesynchronize.h>
#include <mgraphcompareview.h>
#include <mgraphdataaccess.h>
#include <mgraphnotebook.h>
#include <mgraphtreewidget.h>
#include <mtreewidgetitem.h>
#include <mwidgetmanager.h>
#include <mworkstationreportview.h>
#include <talmerversion.h>

class HostBridge : public MAbstractGraphBridge
{
public:
    bool GraphIsDirty() override { return true; }
};

class HostView : public MAbstractGraphView
{
};

// A host's own tree, as the online viewer would derive it.
class HostTree : public MGraphTreeWidget
{
public:
    int editions = 0;

protected:
    void EditionClicked(MTreeWidgetItem*) override { ++editions; }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir deploy;
    qputenv("TALMER_DEPLOY_DIR", deploy.path().toUtf8());
    qunsetenv("TALMER_HMI_DB");
    qunsetenv("TALMER_FILE_SERVER");

    HostBridge bridge;
    HostView view;
    view.SetGraphBridge(&bridge);
    bool released = false;
    QObject::connect(&view, &MAbstractGraphView::GraphReleased, [&](const QString&, const QString&, int n) {
        released = n == 3;
    });
    emit view.GraphReleased("app", "pic", 3);

    HostTree tree; // an empty library: no applications
    MTreeWidgetItem item(&tree, new MDBRecordPicture);
    MTreeWidgetItem copy(item);
    QFile options(deploy.path() + "/etc/mmi/options.txt");
    const bool wrote = QDir().mkpath(deploy.path() + "/etc/mmi") && options.open(QIODevice::WriteOnly)
        && options.write("inc_ver=1\n") > 0;
    options.close();
    MGraphNoteBook::Instance()->ReadImportOption("options.txt");

    // Views come from the factory, as their abstract classes.
    QWidget window;
    MWidgetManager* factory = MWidgetManager::Instance();
    MAbstractTemplateView* templates = factory->CreateTemplateView(&window);
    MAbstractGraphView* online = factory->CreateGraphView(MWidgetManager::GraphOnline, &window);
    MAbstractGraphView* editor = factory->CreateGraphView(MWidgetManager::GraphEditor, &window);
    MAbstractIconViewEditor* iconEditor = factory->CreateIconEditor(&window);
    MAbstractIconViewOnline* palette = factory->CreateIconOnline(&window);
    const bool made = templates && templates->parentWidget() == &window && templates->TemplateTypeNames().isEmpty()
        && online && online->parentWidget() == &window && editor && editor->parentWidget() == &window
        && iconEditor && iconEditor->parentWidget() == &window && palette && palette->parentWidget() == &window
        && factory->CreateGraphView(MWidgetManager::WidgetType(3), &window) == nullptr;

    MGraphCompareView compare(&window); // a picture the tree does not hold: an error, no exception
    const bool compared = !compare.Compare("A", "P", 1, 2) && compare.LastError().contains("no picture")
        && MGraphCompareView::Editions("A", "P").isEmpty();

    MWorkstationReportView workstations(&window); // exported: a host builds it itself
    workstations.SetScope("A", "P");
    const bool reportView = workstations.RefreshAction() && !workstations.IsScanning();

    const bool ok = made && compared && reportView && view.GraphBridge()->GraphIsDirty() && released && view.GetLatestVersion("a", "p") == -1
        && QFile::exists(":/icon/ele_pe_breaker.png") && QString(TalmerLibraryVersion()) == TALMER_VERSION_STRING
        && copy.ItemType() == MDBRecordBase::RecordPicture && copy.DBRecord() != item.DBRecord()
        && wrote && MGraphNoteBook::Instance()->IsIncreaseVersion()
        && MGraphDataAccess::Instance()->GetPictures("none", "").isEmpty()
        && MDeployPaths::PictureDir("A", "P") == deploy.path() + "/pic/A/P"
        && MFileSynchronize::Instance()->ListServerDir("pic", false).isEmpty();
    out << "host linked against talmer " << TalmerLibraryVersion() << (ok ? ": ok" : ": FAILED") << "\n";
    return ok ? 0 : 1;
}
