#include <QDir>
#include <QDomDocument>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "deploytree.h"
#include "testmain.h"
#include "toolrun.h"

namespace {

using Run = TestSupport::ToolRun;

QJsonObject itemOf(const QJsonArray& items, const QString& picture)
{
    for (const QJsonValue& item : items) {
        if (item["picture"].toString() == picture)
            return item.toObject();
    }
    return {};
}

} // namespace

class tst_TalmerCtlMerge : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_site;

    Run onSite(const QStringList& arguments) const
    {
        return TestSupport::runTalmerctl(QStringList{"--site", m_site} + arguments, m_dir.path());
    }
    QByteArray exported(const QString& name)
    {
        const Run r = onSite({"export", "SCADA", m_dir.filePath(name)});
        if (r.status != 0)
            qWarning() << r.err;
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The export with 北京变电站's last version changed, a version 99 and a new picture added.
    QByteArray changed(const QByteArray& xml)
    {
        QDomDocument doc;
        if (!doc.setContent(xml))
            return {};
        QDomElement type = doc.documentElement().firstChildElement("picType");
        for (QDomElement t = type; !t.isNull(); t = t.nextSiblingElement()) {
            for (QDomElement p = t.firstChildElement(); !p.isNull(); p = p.nextSiblingElement()) {
                if (p.attribute("name") != QString::fromUtf8("北京变电站"))
                    continue;
                p.lastChildElement().setAttribute("modifyTime", "2099-01-01T00:00:00");
                QDomElement added = doc.createElement("edition");
                added.setAttribute("version", 99);
                added.setAttribute("modifyTime", "2099-01-02T00:00:00");
                p.appendChild(added);
            }
        }
        QDomElement picture = doc.createElement("picture");
        picture.setAttribute("name", QString::fromUtf8("新画面"));
        QDomElement draft = doc.createElement("edition");
        draft.setAttribute("version", 0);
        draft.setAttribute("modifyTime", "2099-01-03T00:00:00");
        picture.appendChild(draft);
        type.appendChild(picture);
        return doc.toByteArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_site = TestSupport::makeSampleSite(m_dir.path());
        QVERIFY(!m_site.isEmpty());
    }

    void exportOfAnUnknownApplicationFails()
    {
        // Guards against an export that reports success for nothing.
        const Run r = onSite({"export", "NOSUCH", m_dir.filePath("x.xml")});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QString("talmerctl: no application 'NOSUCH'\n"));
        QVERIFY(!QFile::exists(m_dir.filePath("x.xml")));
    }

    void dryRunChangesNothingAndMergeWritesOnce()
    {
        // Guards against a dry run that writes, and a merge that writes its versions twice.
        const QByteArray before = exported("before.xml");
        QVERIFY(before.contains("<mmiexport>"));
        const Run same = onSite({"merge", "SCADA", m_dir.filePath("before.xml"), "--json"});
        QCOMPARE(same.status, 0);
        for (const QJsonValue& item : same.json().toArray())
            QCOMPARE(item["state"].toString(), QString("same"));
        QFile file(m_dir.filePath("changed.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(changed(before));
        file.close();

        const Run dry = onSite({"merge", "SCADA", file.fileName(), "--dry-run", "--json"});
        QCOMPARE(dry.status, 0);
        const QJsonObject beijing = itemOf(dry.json().toArray(), QString::fromUtf8("北京变电站"));
        QCOMPARE(beijing["state"].toString(), QString("different"));
        QCOMPARE(beijing["insert"].toArray(), QJsonArray({99}));
        QCOMPARE(beijing["update"].toArray().size(), 1);
        QVERIFY(!beijing.contains("outcome"));
        QCOMPARE(itemOf(dry.json().toArray(), QString::fromUtf8("新画面"))["newPicture"].toBool(), true);
        QCOMPARE(exported("after-dry.xml"), before);

        const Run text = onSite({"merge", "SCADA", file.fileName(), "--dry-run"});
        QVERIFY2(text.out.contains(QString::fromUtf8("北京变电站 (different): insert versions 99; update versions ")),
                 qPrintable(text.out));
        QCOMPARE(exported("after-text.xml"), before);

        const Run real = onSite({"merge", "SCADA", file.fileName(), "--json"});
        QCOMPARE(real.status, 0);
        QCOMPARE(itemOf(real.json().toArray(), QString::fromUtf8("北京变电站"))["outcome"].toString(), QString("merged"));
        QCOMPARE(itemOf(real.json().toArray(), QString::fromUtf8("新画面"))["outcome"].toString(), QString("merged"));
        const QByteArray after = exported("after.xml");
        QVERIFY(after.contains("2099-01-02T00:00:00"));
        QVERIFY(after.contains(QString::fromUtf8("新画面").toUtf8()));

        const Run again = onSite({"merge", "SCADA", file.fileName(), "--json"});
        QCOMPARE(again.status, 0);
        for (const QJsonValue& item : again.json().toArray()) {
            QVERIFY2(item["insert"].toArray().isEmpty() && item["update"].toArray().isEmpty()
                         && !item["newPicture"].toBool(),
                     qPrintable(item["picture"].toString()));
        }
        QCOMPARE(exported("after-again.xml"), after);
    }

    void refusedFileChangesNothing()
    {
        // Guards against a drawing or a broken file chosen by mistake being merged as something.
        QFile drawing(m_dir.filePath("drawing.xml"));
        QVERIFY(drawing.open(QIODevice::WriteOnly));
        drawing.write("<?xml version=\"1.0\"?><graph><rect/></graph>");
        drawing.close();
        const QByteArray before = exported("refused-before.xml");
        const Run r = onSite({"merge", "SCADA", drawing.fileName()});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("not an export file"), qPrintable(r.err));
        QCOMPARE(exported("refused-after.xml"), before);
    }
};

TALMER_TEST_MAIN(tst_TalmerCtlMerge)
#include "tst_talmerctl_merge.moc"
