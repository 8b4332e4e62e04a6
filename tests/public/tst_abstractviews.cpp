#include <QDirIterator>
#include <QIcon>
#include <QMetaMethod>
#include <QSignalSpy>

#include "mabstractgraphbridge.h"
#include "mabstractgraphview.h"
#include "mabstracticonvieweditor.h"
#include "mabstracticonviewonline.h"
#include "mabstracttemplateview.h"
#include "testmain.h"

namespace {

// The least a host-side subclass must write: nothing for the graph view, the pure
// operations for the others.
class PlainGraphView : public MAbstractGraphView
{
};

class PlainIconEditor : public MAbstractIconViewEditor
{
public:
    void GetCurrentType(QString&, int&, int&) override {}
    void SelectType(const QString&) override {}
    void RegisterIcon(const QString&, const QString&, const QString&) override {}
};

class PlainIconOnline : public MAbstractIconViewOnline
{
public:
    bool GetDefaultIcon(const QString&, QString&, int&) override { return false; }
};

class PlainTemplateView : public MAbstractTemplateView
{
public:
    QStringList TemplateTypeNames() override { return {}; }
    int RegisterTemplate(const QString&, const QString&) override { return 0; }
};

class DirtyBridge : public MAbstractGraphBridge
{
public:
    bool GraphIsDirty() override { return dirty; }
    bool dirty = true;
};

QStringList parameterNames(const QMetaObject& mo, const char* signature)
{
    const int index = mo.indexOfSignal(signature);
    QStringList names;
    if (index < 0)
        return {"<no such signal>"};
    for (const QByteArray& n : mo.method(index).parameterNames())
        names << QString::fromLatin1(n);
    return names;
}

} // namespace

class tst_AbstractViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void graphViewDefaults();
    void bridgeIsKeptNotOwned();
    void signalsCarryDeclaredNames_data();
    void signalsCarryDeclaredNames();
    void onlineIconSelectedWithThreeArguments();
    void translationFunctions();
    void embeddedImagesAreRegistered();
};

void tst_AbstractViews::graphViewDefaults()
{
    // Guards against a view that overrides nothing answering as if it found something.
    PlainGraphView view;
    QString type = "untouched";
    int typeId = 77;
    QVERIFY(!view.GraphType("p", "a", type, typeId));
    QCOMPARE(type, QString("untouched"));
    QCOMPARE(typeId, 77);
    QCOMPARE(view.GetLatestVersion("a", "p"), -1);
    QVERIFY(!view.GetLatestFile("a", "p", 3));
    QVERIFY(!view.ChangePicName("a", "old", "new"));
    QVERIFY(!view.IsNewGraph());
    QString station = "before";
    view.GetSubstationName(station);
    QCOMPARE(station, QString("before"));

    QSignalSpy selected(&view, &MAbstractGraphView::GraphSelected);
    view.SelectGraph("a", "p", 2, true);
    view.SaveDraft("a", "p");
    view.SetUserInfo("user", "password");
    QCOMPARE(selected.count(), 0);
    QVERIFY(view.GraphBridge() == nullptr);
}

void tst_AbstractViews::bridgeIsKeptNotOwned()
{
    // Guards against a view deleting the host's bridge or losing it.
    auto* bridge = new DirtyBridge;
    {
        PlainGraphView view;
        view.SetGraphBridge(bridge);
        QCOMPARE(view.GraphBridge(), static_cast<MAbstractGraphBridge*>(bridge));
        QVERIFY(view.GraphBridge()->GraphIsDirty());
        DirtyBridge other;
        view.SetGraphBridge(&other);
        QCOMPARE(view.GraphBridge(), static_cast<MAbstractGraphBridge*>(&other));
        view.SetGraphBridge(bridge);
    }
    // Still alive after the view went (the sanitizer build would catch a delete).
    QVERIFY(bridge->GraphIsDirty());
    // Copyable, and the base answers "not dirty".
    MAbstractGraphBridge plain;
    MAbstractGraphBridge copy(plain);
    copy = plain;
    QVERIFY(!copy.GraphIsDirty());
    DirtyBridge copied(*bridge);
    copied.dirty = false;
    QVERIFY(bridge->GraphIsDirty());
    QVERIFY(!copied.GraphIsDirty());
    delete bridge;
}

void tst_AbstractViews::signalsCarryDeclaredNames_data()
{
    QTest::addColumn<const QMetaObject*>("metaObject");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QStringList>("names");
    const QMetaObject* graph = &MAbstractGraphView::staticMetaObject;
    const QMetaObject* editor = &MAbstractIconViewEditor::staticMetaObject;
    const QMetaObject* online = &MAbstractIconViewOnline::staticMetaObject;
    const QMetaObject* templ = &MAbstractTemplateView::staticMetaObject;
    QTest::newRow("GraphSelected") << graph << QByteArray("GraphSelected(QString,QString,int,int)")
                                   << QStringList{"app", "pic", "edition", "type"};
    QTest::newRow("GraphDelected") << graph << QByteArray("GraphDelected(QString,QString)")
                                   << QStringList{"app", "name"};
    QTest::newRow("EditPicProperty") << graph << QByteArray("EditPicProperty()") << QStringList{};
    QTest::newRow("sigChangeGraphType") << graph << QByteArray("sigChangeGraphType(QString,QString,QString,int)")
                                        << QStringList{"app", "pic", "pictype", "pictypeid"};
    QTest::newRow("ShowErrMsg") << graph << QByteArray("ShowErrMsg(QList<MErrMsg>)") << QStringList{"msgList"};
    QTest::newRow("GraphReleased") << graph << QByteArray("GraphReleased(QString,QString,int)")
                                   << QStringList{"app", "pic", "edition"};
    QTest::newRow("editor IconSelected") << editor << QByteArray("IconSelected(QString,QString,QString)")
                                         << QStringList{"type", "iconName", "uuid"};
    QTest::newRow("IconDeleted") << editor << QByteArray("IconDeleted(QString,QString,QString)")
                                 << QStringList{"type", "iconName", "uuid"};
    QTest::newRow("IconNew") << editor << QByteArray("IconNew(QString,int,int)")
                             << QStringList{"type", "typeCode", "shapeType"};
    QTest::newRow("TypeSelected") << editor << QByteArray("TypeSelected(QString)") << QStringList{"type"};
    QTest::newRow("IconRenamed") << editor << QByteArray("IconRenamed(QString,QString,QString,QString)")
                                 << QStringList{"type", "oldname", "newname", "uuid"};
    QTest::newRow("online IconSelected") << online << QByteArray("IconSelected(QString,QString,QString,int)")
                                         << QStringList{"type", "iconName", "uuid", "shapeType"};
    QTest::newRow("TemplateSelected") << templ << QByteArray("TemplateSelected(QString)")
                                      << QStringList{"templateName"};
    QTest::newRow("EditTemplate") << templ << QByteArray("EditTemplate(QString)") << QStringList{"templateName"};
}

void tst_AbstractViews::signalsCarryDeclaredNames()
{
    // Guards against a host's string-based connect failing on a renamed or retyped signal.
    QFETCH(const QMetaObject*, metaObject);
    QFETCH(QByteArray, signature);
    QFETCH(QStringList, names);
    QCOMPARE(parameterNames(*metaObject, signature.constData()), names);
}

void tst_AbstractViews::onlineIconSelectedWithThreeArguments()
{
    // Guards against the three-argument form losing the default shape type 0.
    PlainIconOnline view;
    QSignalSpy spy(&view, SIGNAL(IconSelected(QString,QString,QString,int)));
    QString receivedType;
    int receivedShape = -1;
    // A host connecting the short form by name must still connect.
    QSignalSpy shortForm(&view, SIGNAL(IconSelected(QString,QString,QString)));
    QVERIFY(shortForm.isValid());
    connect(&view, &MAbstractIconViewOnline::IconSelected, this,
            [&](const QString& type, const QString&, const QString&, int shape) {
                receivedType = type;
                receivedShape = shape;
            });
    emit view.IconSelected("breaker", "b1", "{uuid}");
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(3).toInt(), 0);
    QCOMPARE(shortForm.count(), 1);
    QCOMPARE(receivedType, QString("breaker"));
    QCOMPARE(receivedShape, 0);
    emit view.IconSelected("bus", "b2", "{uuid2}", 2);
    QCOMPARE(receivedShape, 2);
}

void tst_AbstractViews::translationFunctions()
{
    // Guards against hosts that call trUtf8 (gone from Qt 6) failing to build or translate.
    QCOMPARE(MAbstractGraphView::trUtf8("release failed"), QString("release failed"));
    QCOMPARE(MAbstractIconViewEditor::trUtf8("图元"), QString::fromUtf8("图元"));
    QCOMPARE(MAbstractIconViewOnline::tr("icon"), QString("icon"));
    QCOMPARE(MAbstractTemplateView::trUtf8("%n template(s)", nullptr, 2), QString("2 template(s)"));
    PlainIconEditor editor;
    PlainTemplateView templ;
    QVERIFY(templ.TemplateTypeNames().isEmpty());
    QCOMPARE(QString(editor.metaObject()->className()), QString("MAbstractIconViewEditor"));
}

void tst_AbstractViews::embeddedImagesAreRegistered()
{
    // Guards against the views showing blank items because an image is missing.
    const QStringList names{"file_list", "net_rdserver", "file_folder", "ele_pe_switch",
                            "ele_pe_breaker", "ele_pe_two_trans", "ele_pe_three_trans",
                            "ele_pe_bus", "ele_pe_line", "ele_pe_load", "ele_pe_gen",
                            "ele_pe_capacitor", "ele_pe_series_cap", "ele_pe_station",
                            "ele_pe_ground", "ele_pe_linkline", "ele_unit_protect",
                            "ele_pe_conducting"};
    for (const QString& name : names) {
        const QImage image(":/icon/" + name + ".png");
        QVERIFY2(!image.isNull(), qPrintable(name));
        QVERIFY2(image.hasAlphaChannel(), qPrintable(name));
        // Something is drawn, and not everywhere: a symbol, not a blank or a block.
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 128;
        const int area = image.width() * image.height();
        QVERIFY2(inked > area / 20 && inked < area * 9 / 10, qPrintable(name));
    }
}

TALMER_TEST_MAIN(tst_AbstractViews)
#include "tst_abstractviews.moc"
