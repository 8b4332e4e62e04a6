#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// Pinyin for names: their order and their initials, as the search boxes and the
// sorted lists of the views use them. Chinese characters become Pinyin through
// ICU, a run of them at a time (so that context picks the reading), except for
// the words of the override table: polyphonic place names the transliterator
// reads wrongly (厦门 is xia men, not sha men). The built-in table can be extended
// by a site (MHmiAdmin::SetPinyinWord). Results are cached per name.
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
    // The key SortByPY orders by: lower-case Pinyin, letters and digits.
    QString SortKey(const QString& text);

    // Word -> Pinyin syllables ("xia men") that every site starts with.
    static const QList<QPair<QString, QString>>& BuiltInWords();

protected:
    MPinYinSort();
    ~MPinYinSort();

private:
    struct Private;
    std::unique_ptr<Private> d;
    static MPinYinSort* m_pInstance;
};
