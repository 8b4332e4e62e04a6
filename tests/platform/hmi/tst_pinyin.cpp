#include "deploytree.h"
#include "mhmiadmin.h"
#include "mpinyinsort.h"
#include "testdatabase.h"
#include "testmain.h"

class tst_Pinyin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initials_data();
    void initials();
    void mixedNamesSortAToZ();
    void siteWordsOverrideTheTransliterator();
};

void tst_Pinyin::initials_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("initials");
    QTest::newRow("station") << QString::fromUtf8("北京变电站") << "BJBDZ";
    QTest::newRow("digit first") << QString::fromUtf8("1号主变") << "1HZB";
    QTest::newRow("voltage and number") << QString::fromUtf8("110kV朝阳站#2") << "110KVCYZ2";
    QTest::newRow("polyphonic place") << QString::fromUtf8("厦门站") << "XMZ";
    QTest::newRow("chang not zhang") << QString::fromUtf8("长沙东") << "CSD";
    QTest::newRow("chong not zhong") << QString::fromUtf8("重庆") << "CQ";
    QTest::newRow("hang not xing") << QString::fromUtf8("中国银行") << "ZGYH";
    QTest::newRow("context inside a run") << QString::fromUtf8("重要负荷") << "ZYFH";
    QTest::newRow("latin then chinese") << QString::fromUtf8("abc北京") << "ABCBJ";
    QTest::newRow("blank between") << QString::fromUtf8("南京 station") << "NJSTATION";
    QTest::newRow("full width") << QString::fromUtf8("ＡＢ１号") << "AB1H";
    QTest::newRow("punctuation only") << "#-+ ()" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("other script") << QString::fromUtf8("Москва1") << "1";
}

void tst_Pinyin::initials()
{
    // Guards against the search box missing pictures typed by their initials.
    QFETCH(QString, name);
    QFETCH(QString, initials);
    QCOMPARE(MPinYinSort::Instance()->GetPYString(name), initials);
    // Asked twice (the cached answer) and in the local 8-bit encoding.
    QCOMPARE(MPinYinSort::Instance()->GetPYString(name), initials);
    QCOMPARE(MPinYinSort::Instance()->GetPYString(name.toLocal8Bit()), initials);
}

void tst_Pinyin::mixedNamesSortAToZ()
{
    // Guards against Latin names sorting after all Chinese ones, and polyphones sorting by the wrong reading.
    QStringList names{QString::fromUtf8("重庆"), "Beta", QString::fromUtf8("安徽"), QString::fromUtf8("北京"),
                      "alpha", QString::fromUtf8("厦门"), "Zulu", QString::fromUtf8("广州"),
                      QString::fromUtf8("上海"), QString::fromUtf8("长沙"), "2号", QString::fromUtf8("北京")};
    const QStringList expected{"2号", "alpha", QString::fromUtf8("安徽"), QString::fromUtf8("北京"),
                               QString::fromUtf8("北京"), "Beta", QString::fromUtf8("长沙"),
                               QString::fromUtf8("重庆"), QString::fromUtf8("广州"), QString::fromUtf8("上海"),
                               QString::fromUtf8("厦门"), "Zulu"};
    QStringList ascending = names;
    MPinYinSort::Instance()->SortByPY(ascending, true);
    QCOMPARE(ascending, expected);
    QStringList descending = names;
    MPinYinSort::Instance()->SortByPY(descending, false);
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(descending, expected);
    QStringList none;
    MPinYinSort::Instance()->SortByPY(none, true);
    QVERIFY(none.isEmpty());
}

void tst_Pinyin::siteWordsOverrideTheTransliterator()
{
    // Guards against a site's own place names keeping a wrong reading after it corrected them.
    TestSupport::DeployTree tree;
    TestSupport::TestDatabase db;
    TALMER_USE_TEST_DATABASE(db, tree);
    const QString word = QString::fromUtf8("长岭");
    QCOMPARE(MPinYinSort::Instance()->GetPYString(word + "站"), QString("ZLZ"));
    QVERIFY(MHmiAdmin::SetPinyinWord(word, "chang ling"));
    QCOMPARE(MPinYinSort::Instance()->GetPYString(word + "站"), QString("CLZ"));
    QCOMPARE(MPinYinSort::Instance()->SortKey(word), QString("changling"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("one lower-case syllable for each"));
    QVERIFY(!MHmiAdmin::SetPinyinWord(word, "chang"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("one lower-case syllable for each"));
    QVERIFY(!MHmiAdmin::SetPinyinWord(word, "Chang Ling"));
}

TALMER_TEST_MAIN(tst_Pinyin)
#include "tst_pinyin.moc"
