#include <QAction>
#include <QDir>
#include <QDragMoveEvent>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "dialogdriver.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecordtemptype.h"
#include "mdeploypaths.h"
#include "mhasrelation.h"
#include "mhmiadmin.h"
#include "mshapeobj.h"
#include "mtemplatelist.h"
#include "mtemplateview.h"
#include "mtemplateviewprivate.h"
#include "recordlist.h"
#include "templatefiles.h"
#include "templatemap.h"
#include "testmain.h"
#include "testsite.h"

using TestSupport::DialogDriver;
using TestSupport::TestSite;

namespace {

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Writes a template of one rectangle member spanning w x h units at (10, 20).
bool writeTemplate(const QString& alias, const QString& name, double w, double h)
{
    const QString path = MDeployPaths::TemplateFile(alias, name);
    MHasRelation container(MDrawObj::ObjTemplate);
    auto* rect = new MShapeObj(MDrawObj::ObjRect);
    rect->SetPoints(QPolygonF({QPointF(10, 20), QPointF(10 + w, 20 + h)}));
    rect->SetBrushColor(Qt::black);
    container.AddMember(rect);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && container.SaveFile(path);
}

// Inked (non-white) pixels of image inside and outside rect.
QPair<int, int> ink(const QImage& image, const QRect& rect)
{
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ++(rect.contains(x, y) ? inside : outside);
    return {inside, outside};
}

} // namespace

class tst_TemplateView : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSite> m_site;
    std::unique_ptr<MTemplateView> m_view;
    QString m_style, m_bay; // template type identifiers

    MTemplateViewPrivate* pages() const { return m_view->Pages(); }
    MTemplateList* page(int i) const { return pages()->Page(i); }
    QStringList recorded(int pageIndex) const
    {
        RecordList templates;
        MDBInterfaceHolder::Instance()->GetInterface()->GetChildren(page(pageIndex)->TypeRecord(), templates.out());
        QStringList names;
        for (const MDBRecordBase* record : templates)
            names << record->name;
        return names;
    }
    // Makes item `name` of the page current, as a click would.
    bool select(int pageIndex, const QString& name)
    {
        const QList<QListWidgetItem*> found = page(pageIndex)->findItems(name, Qt::MatchExactly);
        if (found.isEmpty())
            return false;
        page(pageIndex)->setCurrentItem(found.first());
        return true;
    }
    bool makeView()
    {
        if (!m_site->builder().ok()) {
            qWarning("%s", qPrintable(m_site->builder().errors()));
            return false;
        }
        m_view = std::make_unique<MTemplateView>();
        m_view->resize(300, 500);
        m_view->show();
        return QTest::qWaitForWindowExposed(m_view.get());
    }

private Q_SLOTS:
    // Two template types: "style_template" (folder "style", translated) with two
    // templates and "bay" (folder "bayfolder", untranslated) with one.
    void init()
    {
        m_site = std::make_unique<TestSite>(TestSite::FileServer::None);
        m_style = m_site->builder().templateType("style_template", "style");
        m_bay = m_site->builder().templateType("bay", "bayfolder");
        m_site->builder().templateItem(m_style, "title");
        m_site->builder().templateItem(m_style, "frame");
        m_site->builder().templateItem(m_bay, "feeder bay");
        QVERIFY(MHmiAdmin::SetTranslation("style", QString::fromUtf8("样式")));
        QVERIFY(makeView());
    }
    void cleanup()
    {
        m_view.reset();
        m_site.reset();
    }

    // Guards against untranslated titles, sorted pages and filling pages that are not shown.
    void pagesAndTitles()
    {
        QCOMPARE(pages()->count(), 2);
        const QStringList titles{QString::fromUtf8("样式"), "bayfolder"};
        QCOMPARE(m_view->TemplateTypeNames(), titles);
        QCOMPARE(texts(page(0)), QStringList({"title", "frame"}));
        QCOMPARE(page(1)->count(), 0);
        m_site->builder().templateItem(m_bay, "line bay");
        pages()->setCurrentIndex(1);
        QCOMPARE(texts(page(1)), QStringList({"feeder bay", "line bay"}));
    }

    void addTemplate_data()
    {
        QTest::addColumn<int>("pageIndex");
        QTest::addColumn<QString>("typed"); // empty: the dialog is cancelled
        QTest::addColumn<QString>("boxText"); // the box that refuses it; empty when taken
        QTest::addColumn<QStringList>("after");
        QTest::newRow("new name") << 0 << "busbar" << "" << QStringList{"title", "frame", "busbar"};
        QTest::newRow("duplicate in the same type")
            << 0 << "frame" << "the name has already existed!" << QStringList{"title", "frame"};
        QTest::newRow("name of another type's template")
            << 0 << "feeder bay" << "" << QStringList{"title", "frame", "feeder bay"};
        QTest::newRow("path in the name") << 0 << "../../etc/x" << "may not contain"
                                          << QStringList{"title", "frame"};
        QTest::newRow("cancelled") << 0 << "" << "" << QStringList{"title", "frame"};
    }
    // Guards against duplicate templates of one type, names that leave the template folder, and lost adds.
    void addTemplate()
    {
        QFETCH(int, pageIndex);
        QFETCH(QString, typed);
        QFETCH(QString, boxText);
        QFETCH(QStringList, after);
        DialogDriver dialogs;
        if (typed.isEmpty())
            dialogs.cancelInput();
        else
            dialogs.enterText(typed, "template name:");
        if (!boxText.isEmpty())
            dialogs.pressButton(QMessageBox::Ok, boxText);
        page(pageIndex)->MenuActions(false).first()->trigger();
        DIALOGS_DONE(dialogs);
        QCOMPARE(texts(page(pageIndex)), after);
        QCOMPARE(recorded(pageIndex), after);
        QVERIFY(!QFileInfo::exists(MDeployPaths::TemplateFile("style", typed))); // the host makes files
    }

    void deleteTemplate_data()
    {
        QTest::addColumn<int>("pageIndex");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("styleLine");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("style template, yes")
            << 0 << "title" << QMessageBox::Yes << true << QStringList{"frame", "added elsewhere"};
        QTest::newRow("style template, no")
            << 0 << "title" << QMessageBox::No << true << QStringList{"title", "frame", "added elsewhere"};
        QTest::newRow("other type, yes") << 1 << "feeder bay" << QMessageBox::Yes << false
                                         << QStringList{"added elsewhere"};
    }
    // Guards against deleting without asking, a missing style warning, removed files and stale pages.
    void deleteTemplate()
    {
        QFETCH(int, pageIndex);
        QFETCH(QString, name);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, styleLine);
        QFETCH(QStringList, after);
        pages()->setCurrentIndex(pageIndex);
        const QString alias = page(pageIndex)->TypeRecord()->alias;
        QVERIFY(writeTemplate(alias, name, 10, 10));
        m_site->builder().templateItem(pageIndex == 0 ? m_style : m_bay, "added elsewhere");
        QVERIFY(select(pageIndex, name));
        DialogDriver dialogs;
        dialogs.pressButton(answer, "Are you sure to delete template:" + name + "?");
        page(pageIndex)->MenuActions(true).last()->trigger();
        DIALOGS_DONE(dialogs);
        QCOMPARE(dialogs.seen().first().title, QString("warning"));
        QCOMPARE(dialogs.seen().first().text.contains("all graphes applied this template will be changed."),
                 styleLine);
        QCOMPARE(texts(page(pageIndex)), after);
        QCOMPARE(recorded(pageIndex), after);
        QVERIFY(QFileInfo::exists(MDeployPaths::TemplateFile(alias, name)));
    }

    // Guards against delete, edit or drag acting on nothing when no item is current.
    void noCurrentItem()
    {
        QSignalSpy edits(m_view.get(), &MAbstractTemplateView::EditTemplate);
        QVERIFY(page(0)->currentItem() == nullptr);
        DialogDriver dialogs; // no answer queued: any dialog fails the test
        page(0)->DeleteTemplate();
        page(0)->EditTemplate();
        DIALOGS_DONE(dialogs);
        QCOMPARE(edits.count(), 0);
        QVERIFY(page(0)->DragPayload().isEmpty());
        QCOMPARE(recorded(0), QStringList({"title", "frame"}));
    }

    // Guards against the wrong menu over an item or elsewhere.
    void contextMenu()
    {
        const QList<QAction*> overItem = page(0)->MenuActions(true);
        QCOMPARE(overItem.size(), 3);
        QCOMPARE(overItem[0]->text(), QString("edit template"));
        QVERIFY(overItem[1]->isSeparator());
        QCOMPARE(overItem[2]->text(), QString("delete template"));
        const QList<QAction*> elsewhere = page(0)->MenuActions(false);
        QCOMPARE(elsewhere.size(), 1);
        QCOMPARE(elsewhere[0]->text(), QString("add template"));
    }

    // Guards against a payload in the wrong byte order, with the alias instead of the type's name.
    void dragPayload()
    {
        pages()->setCurrentIndex(1);
        QVERIFY(select(1, "feeder bay"));
        // Big-endian byte counts, UTF-16BE text: "bay", then "feeder bay".
        QByteArray expected = QByteArray::fromHex("00000006006200610079");
        expected += QByteArray::fromHex("00000014") + QByteArray::fromHex("0066006500650064006500720020006200610079");
        QCOMPARE(page(1)->DragPayload(), expected);
        QString type, name;
        QVERIFY(TemplateFiles::ReadDragPayload(expected, type, name));
        QCOMPARE(type, QString("bay"));
        QCOMPARE(name, QString("feeder bay"));
        QVERIFY(!TemplateFiles::ReadDragPayload(expected.left(7), type, name));
    }

    void dragEvents_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("template") << "templateDrag" << true;
        QTest::newRow("text") << "text/plain" << false;
        QTest::newRow("list items") << "application/x-qabstractitemmodeldatalist" << false;
    }
    // Guards against a page taking drags of other kinds, or a template drag offered without the move action.
    void dragEvents()
    {
        QFETCH(QString, format);
        QFETCH(bool, accepted);
        QMimeData mime;
        mime.setData(format, TemplateFiles::DragPayload("style_template", "title"));
        QWidget* viewport = page(0)->viewport();
        const QPoint at = page(0)->visualItemRect(page(0)->item(1)).center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(move.isAccepted(), accepted);
        if (accepted)
            QCOMPARE(move.dropAction(), Qt::MoveAction);
        // Ends the drag as Qt would (and leaves no drag state to the next row); a drop adds nothing.
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(texts(page(0)), QStringList({"title", "frame"}));
    }

    // Guards against a click carrying the type's name, and an edit path built from the name instead of the folder.
    void clickAndEdit()
    {
        pages()->setCurrentIndex(1);
        QSignalSpy clicked(pages(), &MTemplateViewPrivate::TemplateClicked);
        QSignalSpy edits(m_view.get(), &MAbstractTemplateView::EditTemplate);
        QSignalSpy selected(m_view.get(), &MAbstractTemplateView::TemplateSelected);
        QListWidgetItem* item = page(1)->item(0);
        QTest::mouseClick(page(1)->viewport(), Qt::LeftButton, {}, page(1)->visualItemRect(item).center());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first(), QVariantList({"bayfolder", "feeder bay"}));
        QCOMPARE(m_view->Map()->TypeAlias(), QString("bayfolder"));
        QCOMPARE(m_view->Map()->TemplateName(), QString("feeder bay"));
        page(1)->MenuActions(true).first()->trigger();
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.first().first().toString(), MDeployPaths::Root() + "/template/bayfolder/feeder bay.xtp");
        QCOMPARE(selected.count(), 0);
    }

    // Guards against an edit path that leads out of the template folder.
    void editRefusesUnsafeNames()
    {
        QSignalSpy edits(m_view.get(), &MAbstractTemplateView::EditTemplate);
        m_view->SendTemplateSelect("bayfolder", "../../bin/x");
        m_view->SendTemplateSelect("..", "x");
        QCOMPARE(edits.count(), 0);
    }

    void preview_data()
    {
        QTest::addColumn<QSize>("device");
        QTest::addColumn<QSizeF>("members");
        QTest::addColumn<QRect>("viewport");
        // Members plus one unit on every side are the window.
        QTest::newRow("square in 300x150") << QSize(300, 150) << QSizeF(100, 100) << QRect(75, 0, 150, 150);
        QTest::newRow("3:2 in 299x150") << QSize(299, 150) << QSizeF(148, 98) << QRect(37, 0, 225, 150);
        QTest::newRow("tall in 300x150") << QSize(300, 150) << QSizeF(48, 98) << QRect(112, 0, 75, 150);
        QTest::newRow("square in 100x300") << QSize(100, 300) << QSizeF(100, 100) << QRect(0, 100, 100, 100);
        QTest::newRow("wide in 300x300") << QSize(300, 300) << QSizeF(298, 98) << QRect(0, 100, 300, 100);
        QTest::newRow("zero-height device") << QSize(300, 0) << QSizeF(100, 100) << QRect();
        QTest::newRow("zero-width device") << QSize(0, 150) << QSizeF(100, 100) << QRect();
    }
    // Guards against a preview that is cut off, distorted, off-centre or divides by zero.
    void preview()
    {
        QFETCH(QSize, device);
        QFETCH(QSizeF, members);
        QFETCH(QRect, viewport);
        QVERIFY(writeTemplate("style", "shape", members.width(), members.height()));
        QImage image(device, QImage::Format_RGB32);
        image.fill(Qt::white);
        QCOMPARE(TemplateMap::RenderTemplate(&image, "style", "shape"), viewport);
        if (viewport.isEmpty())
            return;
        const QPair<int, int> counted = ink(image, viewport);
        QVERIFY2(counted.first > viewport.width() * viewport.height() / 2, "the member fills its viewport");
        QCOMPARE(counted.second, 0);
    }

    void blankPreview_data()
    {
        QTest::addColumn<QString>("alias");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file"); // written as the template's file; null: none
        QTest::newRow("empty names") << "" << "" << QByteArray();
        QTest::newRow("no file") << "style" << "missing" << QByteArray();
        QTest::newRow("damaged file") << "style" << "bad" << QByteArray("<template format=");
        QTest::newRow("no members") << "style" << "empty"
                                    << QByteArray("<template format=\"1\"><templates/><objects/></template>");
    }
    // Guards against drawing garbage, or crashing, for templates that cannot be drawn.
    void blankPreview()
    {
        QFETCH(QString, alias);
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        if (!file.isNull())
            QVERIFY(m_site->tree().writeFile("template/" + alias + "/" + name + ".xtp", file));
        QImage image(300, 150, QImage::Format_RGB32);
        image.fill(Qt::white);
        QCOMPARE(TemplateMap::RenderTemplate(&image, alias, name), QRect());
        QCOMPARE(ink(image, image.rect()).first, 0);
    }

    void registerTemplate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("styleRecords");
        QTest::addColumn<QStringList>("bayRecords");
        QTest::addColumn<QStringList>("shownOnCurrentPage");
        const QStringList style{"title", "frame"}, bay{"feeder bay"};
        QTest::newRow("current page by record name")
            << "new" << "style_template" << 2 << (style + QStringList{"new"}) << bay << (style + QStringList{"new"});
        QTest::newRow("current page by title")
            << "new" << QString::fromUtf8("样式") << 2 << (style + QStringList{"new"}) << bay
            << (style + QStringList{"new"});
        QTest::newRow("another page") << "new" << "bay" << 2 << style << (bay + QStringList{"new"}) << style;
        QTest::newRow("already registered") << "frame" << "style_template" << 2 << style << bay << style;
        QTest::newRow("unknown type") << "new" << "nothing" << -1 << style << bay << style;
        QTest::newRow("alias of a translated type") << "new" << "style" << -1 << style << bay << style;
        QTest::newRow("unsafe name") << "a/b" << "bay" << -1 << style << bay << style;
    }
    // Guards against success reported when nothing matched, doubled records and stale current pages.
    void registerTemplate()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(int, result);
        QFETCH(QStringList, styleRecords);
        QFETCH(QStringList, bayRecords);
        QFETCH(QStringList, shownOnCurrentPage);
        QCOMPARE(m_view->RegisterTemplate(name, type), result);
        QCOMPARE(texts(page(0)), shownOnCurrentPage);
        QCOMPARE(recorded(0), styleRecords);
        QCOMPARE(recorded(1), bayRecords);
    }
};

TALMER_TEST_MAIN(tst_TemplateView)
#include "tst_templateview.moc"
