#include <QDir>
#include <QFile>

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
    void dictionaryOrder_data();
    void dictionaryOrder();
    void corpusOfRealNames();
    void shippedWordsAreWellFormed();
    void siteWordsOverrideTheTransliterator();
    void siteWordLengthCountsCharacters_data();
    void siteWordLengthCountsCharacters();
    void unrelatedAdminWriteKeepsTheCache();
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
    QTest::newRow("shen xian, not xin") << QString::fromUtf8("莘县站") << "SXZ";
    QTest::newRow("guang sha, not xia") << QString::fromUtf8("广厦") << "GS";
    QTest::newRow("chang in a place") << QString::fromUtf8("长汀站") << "CTZ";
    QTest::newRow("zhang in a title") << QString::fromUtf8("值长站") << "ZZZ";
    QTest::newRow("chong he zha") << QString::fromUtf8("1号重合闸") << "1HCHZ";
    QTest::newRow("tiao ya") << QString::fromUtf8("调压变") << "TYB";
    QTest::newRow("diao du") << QString::fromUtf8("地调") << "DD";
    QTest::newRow("ji shui") << QString::fromUtf8("给水泵") << "JSB";
    QTest::newRow("outside the basic plane") << QString::fromUtf8("\xF0\xA0\xAE\xB7" "A") << "A";
}

void tst_Pinyin::initials()
{
    // Guards against the search box missing pictures typed by their initials.
    QFETCH(QString, name);
    QFETCH(QString, initials);
    QCOMPARE(MPinYinSort::Instance()->GetPYString(name), initials);
    QVERIFY(MPinYinSort::Instance()->SortKey(name).isValidUtf16());
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

void tst_Pinyin::dictionaryOrder_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("da li before da lian") << QString::fromUtf8("大理") << QString::fromUtf8("大连");
    QTest::newRow("da lian gang before da liang") << QString::fromUtf8("大连港") << QString::fromUtf8("大梁");
    QTest::newRow("xi an before xian you") << QString::fromUtf8("西安") << QString::fromUtf8("仙游");
    QTest::newRow("shorter first") << QString::fromUtf8("长沙") << QString::fromUtf8("长沙东");
    QTest::newRow("chinese before a longer latin") << QString::fromUtf8("北京") << "Beijing";
    QTest::newRow("latin between syllables") << "Bao" << QString::fromUtf8("北京");
}

void tst_Pinyin::dictionaryOrder()
{
    // Guards against comparing a run-together transliteration letter by letter instead of syllable by syllable.
    QFETCH(QString, first);
    QFETCH(QString, second);
    QStringList names{second, first};
    MPinYinSort::Instance()->SortByPY(names, true);
    QCOMPARE(names, QStringList({first, second}));
    MPinYinSort::Instance()->SortByPY(names, false);
    QCOMPARE(names, QStringList({second, first}));
}

namespace {

struct CorpusRow
{
    QString file;
    QString name;
    QStringList syllables;
};

QList<CorpusRow> readCorpus()
{
    QList<CorpusRow> rows;
    const QDir dir(TALMER_PINYIN_CORPUS);
    for (const QString& file : dir.entryList({"*.tsv"}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QStringList columns = line.split('\t');
            rows.append({file, columns.value(0), columns.value(1).split(' ', Qt::SkipEmptyParts)});
        }
    }
    return rows;
}

// Characters of more than one reading in the dictionary, as found in place names and the grid's words.
const QString kPolyphones = QString::fromUtf8("长重乐单曾会蔚涡莘洞陂六蚌埠铅厦调给行藏差传转降率朝都丽阿尉栎番台"
                                              "合埔蠡犍筠繁峙曲朝和华佛大中相间解分量载");

} // namespace

void tst_Pinyin::corpusOfRealNames()
{
    // Guards against stations missing from the search box and misfiled in sorted lists by a wrong reading.
    const QList<CorpusRow> rows = readCorpus();
    QVERIFY2(rows.size() >= 500, qPrintable(QString("only %1 names in the corpus").arg(rows.size())));
    int polyphonic = 0;
    QStringList wrong;
    for (const CorpusRow& row : rows) {
        QVERIFY2(MPinYinSort::CharacterCount(row.name) == row.syllables.size(),
                 qPrintable(row.file + ": a syllable per character: " + row.name));
        if (std::any_of(row.name.begin(), row.name.end(), [](QChar c) { return kPolyphones.contains(c); }))
            ++polyphonic;
        QString initials;
        for (const QString& syllable : row.syllables)
            initials += syllable.front().toUpper();
        const QString key = row.syllables.join(' ').replace(QString::fromUtf8("ü"), "u");
        const QString gotInitials = MPinYinSort::Instance()->GetPYString(row.name);
        const QString gotKey = MPinYinSort::Instance()->SortKey(row.name);
        if (gotInitials != initials || gotKey != key)
            wrong << QString("%1 %2: %3 (%4), expected %5 (%6)").arg(row.file, row.name, gotInitials, gotKey, initials, key);
    }
    qInfo("corpus: %d names, %d with a polyphonic character, %d read wrongly", int(rows.size()), polyphonic,
          int(wrong.size()));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

void tst_Pinyin::shippedWordsAreWellFormed()
{
    // Guards against a malformed line of the shipped word table being dropped or misread silently.
    QFile table(":/talmer/pinyin/pinyinwords.txt");
    QVERIFY(table.open(QIODevice::ReadOnly));
    int lines = 0;
    while (!table.atEnd()) {
        const QString line = QString::fromUtf8(table.readLine()).trimmed();
        lines += !line.isEmpty() && !line.startsWith('#');
    }
    const auto& words = MPinYinSort::BuiltInWords();
    QCOMPARE(words.size(), lines);
    QSet<QString> seen;
    for (const auto& [word, syllables] : words) {
        QVERIFY2(!seen.contains(word), qPrintable("listed twice: " + word));
        seen.insert(word);
        QCOMPARE(syllables.split(' ').size(), MPinYinSort::CharacterCount(word));
    }
}

void tst_Pinyin::siteWordsOverrideTheTransliterator()
{
    // Guards against a site's own place names keeping a wrong reading after it corrected them.
    TestSupport::DeployTree tree;
    TestSupport::TestDatabase db;
    TALMER_USE_TEST_DATABASE(db, tree);
    const QString word = QString::fromUtf8("朝阳");
    QCOMPARE(MPinYinSort::Instance()->GetPYString(word + "站"), QString("CYZ"));
    QVERIFY(MHmiAdmin::SetPinyinWord(word, "zhao yang"));
    QCOMPARE(MPinYinSort::Instance()->GetPYString(word + "站"), QString("ZYZ"));
    QCOMPARE(MPinYinSort::Instance()->SortKey(word), QString("zhao yang"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("one lower-case syllable for each"));
    QVERIFY(!MHmiAdmin::SetPinyinWord(word, "zhao"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("one lower-case syllable for each"));
    QVERIFY(!MHmiAdmin::SetPinyinWord(word, "Zhao Yang"));
}

void tst_Pinyin::siteWordLengthCountsCharacters_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("syllables");
    QTest::addColumn<bool>("accepted");
    const QString ji = QString::fromUtf8("\xF0\xA0\xAE\xB7");
    QTest::newRow("one syllable per character") << ji + QString::fromUtf8("野") << "ji ye" << true;
    QTest::newRow("a syllable per UTF-16 unit") << ji + QString::fromUtf8("野") << "ji ji ye" << false;
    QTest::newRow("one character only") << ji << "ji" << false;
}

void tst_Pinyin::siteWordLengthCountsCharacters()
{
    // Guards against a word with a character outside the basic plane being measured in UTF-16 units.
    QFETCH(QString, word);
    QFETCH(QString, syllables);
    QFETCH(bool, accepted);
    TestSupport::DeployTree tree;
    TestSupport::TestDatabase db;
    TALMER_USE_TEST_DATABASE(db, tree);
    if (!accepted)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("one lower-case syllable for each"));
    QCOMPARE(MHmiAdmin::SetPinyinWord(word, syllables), accepted);
    const QString initials = MPinYinSort::Instance()->GetPYString(word + QString::fromUtf8("站"));
    QVERIFY(initials.isValidUtf16());
    if (accepted)
        QCOMPARE(initials, QString("JYZ"));
}

void tst_Pinyin::unrelatedAdminWriteKeepsTheCache()
{
    // Guards against every HMI write (a user added) emptying the Pinyin cache and stalling every process.
    TestSupport::DeployTree tree;
    TestSupport::TestDatabase db;
    TALMER_USE_TEST_DATABASE(db, tree);
    MPinYinSort* pinyin = MPinYinSort::Instance();
    const QByteArray fingerprint = pinyin->WordsFingerprint();
    QCOMPARE(pinyin->GetPYString(QString::fromUtf8("长岭站")), QString("CLZ"));
    const int cached = pinyin->CachedNames();
    QVERIFY(cached > 0);
    QVERIFY(MHmiAdmin::AddUser("operator1", "secret", 1));
    QCOMPARE(pinyin->WordsFingerprint(), fingerprint);
    QCOMPARE(pinyin->CachedNames(), cached);
    // A word of the site does change the readings, and so the cache and the fingerprint.
    QVERIFY(MHmiAdmin::SetPinyinWord(QString::fromUtf8("长岭"), "zhang ling"));
    QVERIFY(pinyin->WordsFingerprint() != fingerprint);
    QCOMPARE(pinyin->CachedNames(), 0);
    QCOMPARE(pinyin->GetPYString(QString::fromUtf8("长岭站")), QString("ZLZ"));
}

TALMER_TEST_MAIN(tst_Pinyin)
#include "tst_pinyin.moc"
