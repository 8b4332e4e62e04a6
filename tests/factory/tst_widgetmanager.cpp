#include <QFileInfo>
#include <QPointer>
#include <QTest>

#include <memory>

#include "brelmmidataagent.h"
#include "importtesting.h"
#include "mabstractgraphview.h"
#include "mabstracticonvieweditor.h"
#include "mabstracticonviewonline.h"
#include "mabstracttemplateview.h"
#include "mdataagent.h"
#include "mdataset.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "mwidgetmanager.h"
#include "testmain.h"
#include "testsite.h"

using TestSupport::TestSite;

namespace {

// The factory's operations a row can name.
enum class View { GraphEditor, GraphOnline, IconEditor, IconOnline, Template };
enum class Overload { ByType, File, Doc };

QWidget* create(View view, QWidget* parent)
{
    MWidgetManager* factory = MWidgetManager::Instance();
    switch (view) {
    case View::GraphEditor: return factory->CreateGraphView(MWidgetManager::GraphEditor, parent);
    case View::GraphOnline: return factory->CreateGraphView(MWidgetManager::GraphOnline, parent);
    case View::IconEditor: return factory->CreateIconEditor(parent);
    case View::IconOnline: return factory->CreateIconOnline(parent);
    case View::Template: return factory->CreateTemplateView(parent);
    }
    return nullptr;
}

// The versions recorded for the picture of that name, ascending.
QList<int> recordedVersions(const QString& picture)
{
    MDataSet pictures;
    BrelMmiDataAgent::Instance()->QueryData("/picture,picname=" + MDataAgent::QuoteText(picture), {"picname"},
                                            pictures);
    QList<int> versions;
    if (pictures.DataNum() != 1)
        return versions;
    MDataSet editions;
    BrelMmiDataAgent::Instance()->QueryChild(pictures.DataAt(0).GetId().toString(), "history_edition",
                                             {"version"}, editions);
    for (int i = 0; i < editions.DataNum(); ++i)
        versions << editions.GetFieldValue("version", i).toInt();
    std::sort(versions.begin(), versions.end());
    return versions;
}

} // namespace

Q_DECLARE_METATYPE(View)
Q_DECLARE_METATYPE(Overload)

class tst_WidgetManager : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSite> m_site;

    QString source(const QString& folder) const { return m_site->tree().path("incoming/" + folder + "/drawing.xrg"); }
    // A picture of type "feeder" with these editions, recorded straight in the database.
    void picture(const QString& name, const QList<int>& versions)
    {
        const QString id = m_site->builder().picture(m_site->feeder, name);
        for (int v : versions)
            m_site->builder().edition(id, v, "2026-01-0" + QString::number(v + 1) + "T10:00:00");
    }
    int import(Overload overload, const QString& typeName, const QString& folder, const QString& pictureName,
               int mode)
    {
        MWidgetManager* factory = MWidgetManager::Instance();
        switch (overload) {
        case Overload::ByType:
            return factory->ImportPicture("A", typeName == "feeder" ? 9 : 77, source(folder), mode, 0);
        case Overload::File:
            return factory->ImportPicture("A", typeName, source(folder), pictureName, mode, 0);
        case Overload::Doc: {
            MGraphDoc doc;
            ImportTesting::buildStation(doc, "old", 9);
            return factory->ImportPicture("A", typeName, &doc, pictureName, mode);
        }
        }
        return 0;
    }

private Q_SLOTS:
    void init()
    {
        m_site = std::make_unique<TestSite>();
        m_site->builder().pictureTypeDefinition(9, "feeder", "vk2800");
        QVERIFY(ImportTesting::writeStation(source("P1"), "old", 9));
        QVERIFY(ImportTesting::writeStation(source("warm-up"), "old", 9));
        QVERIFY2(m_site->builder().ok(), qPrintable(m_site->builder().errors()));
    }
    void cleanup() { m_site.reset(); }

    // Guards against a second factory, or one freed under the host.
    void singleton()
    {
        MWidgetManager* first = MWidgetManager::Instance();
        QVERIFY(first);
        QCOMPARE(MWidgetManager::Instance(), first);
    }

    void createView_data()
    {
        QTest::addColumn<View>("view");
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<QByteArray>("abstractClass");
        QTest::addColumn<bool>("withParent");
        QTest::newRow("graph editor") << View::GraphEditor << QByteArray("MGraphViewEditor")
                                      << QByteArray("MAbstractGraphView") << true;
        QTest::newRow("graph online") << View::GraphOnline << QByteArray("MGraphViewOnline")
                                      << QByteArray("MAbstractGraphView") << true;
        QTest::newRow("graph online, no parent") << View::GraphOnline << QByteArray("MGraphViewOnline")
                                                 << QByteArray("MAbstractGraphView") << false;
        QTest::newRow("template view") << View::Template << QByteArray("MTemplateView")
                                       << QByteArray("MAbstractTemplateView") << true;
        QTest::newRow("template view, no parent") << View::Template << QByteArray("MTemplateView")
                                                  << QByteArray("MAbstractTemplateView") << false;
        QTest::newRow("icon editor") << View::IconEditor << QByteArray("MIconViewEditor")
                                     << QByteArray("MAbstractIconViewEditor") << true;
        QTest::newRow("icon online") << View::IconOnline << QByteArray("MIconViewOnline")
                                     << QByteArray("MAbstractIconViewOnline") << true;
    }
    // Guards against the wrong concrete view, a lost parent, or a view its parent does not free.
    void createView()
    {
        QFETCH(View, view);
        QFETCH(QByteArray, className);
        QFETCH(QByteArray, abstractClass);
        QFETCH(bool, withParent);
        auto parent = std::make_unique<QWidget>();
        QPointer<QWidget> made = create(view, withParent ? parent.get() : nullptr);
        QVERIFY(made);
        QCOMPARE(QByteArray(made->metaObject()->className()), className);
        QVERIFY(made->inherits(abstractClass.constData()));
        QCOMPARE(made->parentWidget(), withParent ? parent.get() : nullptr);
        parent.reset();
        QCOMPARE(made.isNull(), withParent);
        delete made.data();
    }

    void graphViewRefused_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("0") << 0;
        QTest::newRow("3") << 3;
        QTest::newRow("-1") << -1;
    }
    // Guards against a view (or a stray child) made for a type that names none.
    void graphViewRefused()
    {
        QFETCH(int, type);
        QWidget parent;
        const int before = int(QApplication::allWidgets().size());
        QCOMPARE(MWidgetManager::Instance()->CreateGraphView(MWidgetManager::WidgetType(type), &parent), nullptr);
        QVERIFY(parent.children().isEmpty());
        QCOMPARE(int(QApplication::allWidgets().size()), before);
    }

    void importPicture_data()
    {
        QTest::addColumn<Overload>("overload");
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<QString>("folder"); // of the source file
        QTest::addColumn<QString>("pictureName");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("existing"); // a picture recorded before, with versions 0 and 1
        QTest::addColumn<QString>("picture");  // the picture the import must reach; empty: refused
        QTest::addColumn<int>("version");
        QTest::newRow("by type: folder names a new picture") << Overload::ByType << "feeder" << "P1" << "" << 1
                                                             << "" << "P1" << 0;
        QTest::newRow("by type: mode 1 releases") << Overload::ByType << "feeder" << "P1" << "" << 1 << "P1"
                                                  << "P1" << 2;
        QTest::newRow("by type: mode 0 replaces the draft") << Overload::ByType << "feeder" << "P1" << "" << 0
                                                            << "P1" << "P1" << 0;
        QTest::newRow("by type: unknown type number") << Overload::ByType << "none" << "P1" << "" << 1 << ""
                                                      << "" << -1;
        QTest::newRow("file: picture name taken") << Overload::File << "feeder" << "P1" << "Q" << 1 << "Q"
                                                  << "Q" << 2;
        QTest::newRow("file: mode 2 overwrites") << Overload::File << "feeder" << "P1" << "Q" << 2 << "Q" << "Q"
                                                 << 1;
        QTest::newRow("file: empty name, the folder's") << Overload::File << "feeder" << "P1" << "" << 1 << ""
                                                        << "P1" << 0;
        QTest::newRow("file: unknown type") << Overload::File << "none" << "P1" << "Q" << 1 << "" << "" << -1;
        QTest::newRow("doc: picture name and mode 1") << Overload::Doc << "feeder" << "" << "D" << 1 << "D"
                                                      << "D" << 2;
        QTest::newRow("doc: mode 0") << Overload::Doc << "feeder" << "" << "D" << 0 << "D" << "D" << 0;
        QTest::newRow("doc: no picture name") << Overload::Doc << "feeder" << "" << "" << 1 << "" << "" << -1;
    }
    // Guards against arguments swapped on the way to the import, a result other than -1, and a last-import
    // answer that is stale or says more than happened.
    void importPicture()
    {
        QFETCH(Overload, overload);
        QFETCH(QString, typeName);
        QFETCH(QString, folder);
        QFETCH(QString, pictureName);
        QFETCH(int, mode);
        QFETCH(QString, existing);
        QFETCH(QString, picture);
        QFETCH(int, version);
        if (!existing.isEmpty())
            this->picture(existing, {0, 1});
        QVERIFY2(m_site->builder().ok(), qPrintable(m_site->builder().errors()));
        // A successful import just before: the answer below must be about the row's import.
        QCOMPARE(MWidgetManager::Instance()->ImportPicture("A", "feeder", source("warm-up"), "W", 1, 0), -1);
        QVERIFY(MWidgetManager::Instance()->LastImportResult().ok);

        QCOMPARE(import(overload, typeName, folder, pictureName, mode), -1);
        const MWidgetManager::ImportResult last = MWidgetManager::Instance()->LastImportResult();
        if (picture.isEmpty()) {
            QVERIFY(!last.ok);
            QVERIFY(!last.errors.isEmpty());
            QCOMPARE(last.version, -1);
            QVERIFY(recordedVersions("P1").isEmpty());
            QVERIFY(recordedVersions("Q").isEmpty());
            return;
        }
        QVERIFY2(last.ok, qPrintable(last.errors.join("\n")));
        QCOMPARE(last.picture, picture);
        QCOMPARE(last.version, version);
        QVERIFY(QFileInfo::exists(MDeployPaths::VersionFile("A", picture, version, "xrg")));
        QVERIFY(QFileInfo::exists(m_site->server("pic/A/" + picture + "/" + QString::number(version) + ".xrg")));
        QVERIFY(recordedVersions(picture).contains(version));
    }
};

TALMER_TEST_MAIN(tst_WidgetManager)
#include "tst_widgetmanager.moc"
