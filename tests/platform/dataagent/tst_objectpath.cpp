#include "objectpath.h"
#include "testmain.h"

using DataAgent::ObjectPath;

class tst_ObjectPath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validPaths_data();
    void validPaths();
    void hostilePathsAreRefused_data();
    void hostilePathsAreRefused();
    void quotingRoundTrips_data();
    void quotingRoundTrips();
};

void tst_ObjectPath::validPaths_data()
{
    QTest::addColumn<QString>("text");
    // Steps written as class[,attribute=value], with the value's type name.
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("node") << "/node,name='node1'" << QStringList{"node,name=QString:node1"};
    QTest::newRow("three steps")
        << "/node,name='node1'/application,name='SCADA'/pictureType,name='station'"
        << QStringList{"node,name=QString:node1", "application,name=QString:SCADA", "pictureType,name=QString:station"};
    QTest::newRow("unfiltered middle") << "/application,name='A'/pictureType/picture,picname='P 1'"
                                       << QStringList{"application,name=QString:A", "pictureType",
                                                      "picture,picname=QString:P 1"};
    QTest::newRow("attr_oid") << "/application,attr_oid=42/pictureType/picture,picname='x'"
                              << QStringList{"application,attr_oid=qlonglong:42", "pictureType",
                                             "picture,picname=QString:x"};
    QTest::newRow("every picture") << "/picture" << QStringList{"picture"};
    QTest::newRow("number") << "/envPicTypeDef,id=3" << QStringList{"envPicTypeDef,id=qlonglong:3"};
    QTest::newRow("negative") << "/envPicTypeDef,id=-7" << QStringList{"envPicTypeDef,id=qlonglong:-7"};
    QTest::newRow("fraction") << "/envPicTypeDef,id=2.5" << QStringList{"envPicTypeDef,id=double:2.5"};
    QTest::newRow("doubled quote") << "/picture,picname='O''Brien'" << QStringList{"picture,picname=QString:O'Brien"};
    QTest::newRow("empty text") << "/picture,picname=''" << QStringList{"picture,picname=QString:"};
    QTest::newRow("slash and comma in text") << "/picture,picname='a/b,c=d'"
                                             << QStringList{"picture,picname=QString:a/b,c=d"};
    QTest::newRow("chinese text") << QString::fromUtf8("/picture,picname='北京变电站'")
                                  << QStringList{QString::fromUtf8("picture,picname=QString:北京变电站")};
    QTest::newRow("sql in text") << "/picture,picname='x''; DROP TABLE t_object; --'"
                                 << QStringList{"picture,picname=QString:x'; DROP TABLE t_object; --"};
}

void tst_ObjectPath::validPaths()
{
    // Guards against paths the system builds being misread (or a value leaking into a name).
    QFETCH(QString, text);
    QFETCH(QStringList, steps);
    const ObjectPath path = ObjectPath::parse(text);
    QVERIFY2(path.isValid(), qPrintable(path.error()));
    QVERIFY(!path.isIdentifier());
    QStringList actual;
    for (const ObjectPath::Step& s : path.steps()) {
        QString step = s.className;
        if (!s.attribute.isEmpty())
            step += "," + s.attribute + "=" + s.value.typeName() + ":" + s.value.toString();
        actual << step;
    }
    QCOMPARE(actual, steps);
}

void tst_ObjectPath::hostilePathsAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("slash only") << "/";
    QTest::newRow("no leading slash") << "node,name='x'";
    QTest::newRow("double slash") << "//node";
    QTest::newRow("trailing slash") << "/node/";
    QTest::newRow("unterminated quote") << "/node,name='node1";
    QTest::newRow("quote closed early") << "/node,name='a'b'";
    QTest::newRow("bare word") << "/node,name=node1";
    QTest::newRow("blank") << "/node, name='x'";
    QTest::newRow("missing value") << "/node,name=";
    QTest::newRow("missing attribute") << "/node,='x'";
    QTest::newRow("two filters") << "/node,name='a',alias='b'";
    QTest::newRow("sql after path") << "/picture; DROP TABLE t_object";
    QTest::newRow("sql as class") << "/picture UNION SELECT * FROM t_object";
    QTest::newRow("comment") << "/picture--";
    QTest::newRow("non-ascii class") << QString::fromUtf8("/图片");
    QTest::newRow("digit first class") << "/1picture";
    QTest::newRow("number too large") << "/envPicTypeDef,id=99999999999999999999999";
    QTest::newRow("lone minus") << "/envPicTypeDef,id=-";
    QTest::newRow("dot without digits") << "/envPicTypeDef,id=3.";
    QTest::newRow("control character") << QString("/node,name='a'\n/x");
    QTest::newRow("long garbage") << QString(100000, QChar('/'));
}

void tst_ObjectPath::hostilePathsAreRefused()
{
    // Guards against malformed or hostile input being half-parsed into a query.
    QFETCH(QString, text);
    const ObjectPath path = ObjectPath::parse(text);
    QVERIFY(!path.isValid());
    QVERIFY(!path.error().isEmpty());
    QVERIFY(path.steps().isEmpty());
    QVERIFY(!path.isIdentifier());
}

void tst_ObjectPath::quotingRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "station";
    QTest::newRow("quotes") << "it's 'quoted'";
    QTest::newRow("only quotes") << "''''";
    QTest::newRow("percent and semicolon") << "100%; DELETE";
    QTest::newRow("chinese") << QString::fromUtf8("厦门'站");
    QTest::newRow("empty") << "";
}

void tst_ObjectPath::quotingRoundTrips()
{
    // Guards against a name with quotes selecting another object, or none.
    QFETCH(QString, text);
    const ObjectPath path = ObjectPath::parse("/picture,picname=" + ObjectPath::quote(text));
    QVERIFY2(path.isValid(), qPrintable(path.error()));
    QCOMPARE(path.steps().size(), 1);
    QCOMPARE(path.steps().first().value.toString(), text);

    // An identifier's text is a path of its own.
    const ObjectPath id = ObjectPath::parse("12345");
    QVERIFY(id.isValid() && id.isIdentifier());
    QCOMPARE(id.identifier(), 12345);
}

TALMER_TEST_MAIN(tst_ObjectPath)
#include "tst_objectpath.moc"
