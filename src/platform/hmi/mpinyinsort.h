#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// Pinyin for names: their order and their initials, as the search boxes and the
// sorted lists of the views use them. Chinese characters become Pinyin through
// ICU, a run of them at a time (so that context picks the reading), except for
// the words of the word table (longest match first): place names and the grid's
// words the transliterator reads wrongly (厦门 is xia men, 调压 tiao ya). The
// table ships as data (pinyinwords.txt) and a site extends it
// (MHmiAdmin::SetPinyinWord; a site's word wins). A 长 outside every word
// reads chang: picture names are mostly place names. Results are cached per
// name; the cache lives as long as the words do.
class MPinYinSort
{
public:
    static MPinYinSort* Instance();

    // Sorts names by their Pinyin, with Latin names among the Chinese ones A to Z
    // (北京 before Beta before 重庆); descending when ascending is false.
    void SortByPY(QStringList& names, bool ascending);
    // The upper-case initials of the Chinese characters, Latin letters upper-cased
    // and digits kept, everything else left out: 北京变电站 gives BJBDZ, 1号主变 1HZB.
    QString GetPYString(const QString& text);
    // The same for a name in the local 8-bit encoding.
    QString GetPYString(const QByteArray& local8Bit);
    // The key SortByPY orders by: the lower-case syllables separated by
    // blanks, other characters lower-cased ("da lian gang", "abc bei jing").
    // The blank sorts before every letter, so names compare syllable by
    // syllable, as a dictionary orders them: 大理 (da li) before 大连 (da lian),
    // 大连港 before 大梁 (da liang).
    QString SortKey(const QString& text);
    // Changes whenever the readings may change: a site word set or changed,
    // another word table, reading rules or ICU. Text stored from GetPYString
    // is stale when this differs.
    QByteArray WordsFingerprint();
    // How many names have their reading cached (for diagnostics).
    int CachedNames() const;

    // Word -> Pinyin syllables ("xia men") that every site starts with.
    static const QList<QPair<QString, QString>>& BuiltInWords();
    // Characters in text, counting a pair of UTF-16 surrogates as one.
    static int CharacterCount(const QString& text);

protected:
    MPinYinSort();
    ~MPinYinSort();

private:
    struct Private;
    std::unique_ptr<Private> d;
    static MPinYinSort* m_pInstance;
};
