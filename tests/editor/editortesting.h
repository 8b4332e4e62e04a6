#pragma once

#include <QList>
#include <QStringList>
#include <QTest>
#include <QTreeWidgetItem>

#include <memory>

#include "mgraphtreeitem.h"
#include "mgraphtreevieweditor.h"
#include "mgraphvieweditor.h"
#include "testsite.h"
#include "treetesting.h"

namespace EditorTesting {

// A site of one test (TestSite: application "A" with the picture types
// "station" and "feeder", its own deployment tree and directory file server)
// and, once makeView() is called, the editor view over it, shown offscreen.
//
//   EditorSite site;
//   site.picture("P", {0, 1}, {kOld, kNew});
//   QVERIFY(site.makeView());
//   MGraphTreeItem* p = site.click({"A", "station", "P"});
//
// Header-only: the editor layer comes with each test.
class EditorSite : public TestSupport::TestSite
{
public:
    using TestSupport::TestSite::TestSite;

    // A picture of the type (default "station") with one version per entry of
    // versions, modified at the matching entry of times; its identifier.
    QString picture(const QString& name, const QList<int>& versions, const QStringList& times,
                    const QString& type = {})
    {
        const QString p = builder().picture(type.isEmpty() ? station : type, name);
        for (int i = 0; i < versions.size() && i < times.size(); ++i)
            builder().edition(p, versions[i], times[i]);
        return p;
    }

    // The view over the site built so far, shown; false (with the reason
    // printed) when the site could not be built or the window not shown.
    bool makeView()
    {
        if (!builder().ok()) {
            qWarning("%s", qPrintable(builder().errors()));
            return false;
        }
        m_view = std::make_unique<MGraphViewEditor>();
        m_view->resize(400, 600);
        m_view->show();
        return QTest::qWaitForWindowExposed(m_view.get());
    }
    void closeView() { m_view.reset(); }

    MGraphViewEditor* view() const { return m_view.get(); }
    MGraphTreeViewEditor* tree() const { return m_view ? m_view->Tree() : nullptr; }

    // Clicks each level of a path of raw names (application, picture type,
    // picture, version label) as the engineer would; the last item, or null
    // when a level is missing.
    MGraphTreeItem* click(const QStringList& path)
    {
        MGraphTreeItem* item = nullptr;
        for (const QString& name : path) {
            item = item ? MGraphTreeViewEditor::ChildNamed(item, name) : tree()->ApplicationItem(name);
            if (!item)
                return nullptr;
            const quint64 serial = item->Serial();
            tree()->ItemClicked(item, 0);
            item = MGraphTreeItem::Find(serial); // a host may have rebuilt the tree
        }
        return item;
    }

private:
    std::unique_ptr<MGraphViewEditor> m_view;
};

} // namespace EditorTesting
