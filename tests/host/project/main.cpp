// Uses the library only through its installed headers and exported classes.
#include <QApplication>
#include <QFile>
#include <QTextStream>

#include <mabstractgraphbridge.h>
#include <mabstractgraphview.h>
#include <talmerversion.h>

class HostBridge : public MAbstractGraphBridge
{
public:
    bool GraphIsDirty() override { return true; }
};

class HostView : public MAbstractGraphView
{
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    HostBridge bridge;
    HostView view;
    view.SetGraphBridge(&bridge);
    bool released = false;
    QObject::connect(&view, &MAbstractGraphView::GraphReleased, [&](const QString&, const QString&, int n) {
        released = n == 3;
    });
    emit view.GraphReleased("app", "pic", 3);

    const bool ok = view.GraphBridge()->GraphIsDirty() && released && view.GetLatestVersion("a", "p") == -1
        && QFile::exists(":/icon/ele_pe_breaker.png")
        && QString(TalmerLibraryVersion()) == TALMER_VERSION_STRING;
    out << "host linked against talmer " << TalmerLibraryVersion() << (ok ? ": ok" : ": FAILED") << "\n";
    return ok ? 0 : 1;
}
