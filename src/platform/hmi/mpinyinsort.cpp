#include "mpinyinsort.h"

#include <QHash>

#include <algorithm>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include "hmilog.h"
#include "hmistore.h"

MPinYinSort* MPinYinSort::m_pInstance = nullptr;

namespace {

constexpr int kCacheLimit = 500000;

struct Reading
{
    QString initials;
    QString key;
};

} // namespace

struct MPinYinSort::Private
{
    std::unique_ptr<icu::Transliterator> transliterator;
    QHash<QString, QString> words; // override words -> syllables
    int longestWord = 0;
    quint64 revision = ~quint64(0);
    QHash<QString, Reading> cache;

    void syncWords();
    const Reading& reading(const QString& text);
    Reading compute(const QString& text);
    QStringList transliterate(const QString& hanRun);
    void addHanRun(const QString& run, Reading& out);
};

const QList<QPair<QString, QString>>& MPinYinSort::BuiltInWords()
{
    // Readings ICU gets wrong in place names and common words of the trade.
    static const QList<QPair<QString, QString>> words = {
        {"厦门", "xia men"},   {"长沙", "chang sha"}, {"长春", "chang chun"}, {"长治", "chang zhi"},
        {"长葛", "chang ge"},  {"长安", "chang an"},  {"长江", "chang jiang"}, {"长城", "chang cheng"},
        {"长寿", "chang shou"}, {"长兴", "chang xing"}, {"长宁", "chang ning"}, {"长乐", "chang le"},
        {"重庆", "chong qing"}, {"银行", "yin hang"},  {"中行", "zhong hang"}, {"乐清", "yue qing"},
        {"曾都", "zeng du"},   {"莘县", "xin xian"},  {"东阿", "dong e"},     {"尉氏", "yu shi"},
        {"黄陂", "huang pi"},  {"会稽", "kuai ji"},   {"栎阳", "yue yang"},   {"铅山", "yan shan"},
        {"广厦", "guang xia"}, {"大厦", "da sha"},    {"单县", "shan xian"},  {"番禺", "pan yu"},
        {"成都", "cheng du"},  {"都江堰", "du jiang yan"}, {"首都", "shou du"}, {"蚌埠", "beng bu"},
        {"六安", "lu an"},     {"丽水", "li shui"},   {"乐亭", "lao ting"},   {"洪洞", "hong tong"},
    };
    return words;
}

MPinYinSort::MPinYinSort()
    : d(std::make_unique<Private>())
{
    UErrorCode status = U_ZERO_ERROR;
    d->transliterator.reset(icu::Transliterator::createInstance("Han-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    if (U_FAILURE(status)) {
        qCWarning(lcHmi) << "no Han-Latin transliterator in ICU:" << u_errorName(status);
        d->transliterator.reset();
    }
}

MPinYinSort::~MPinYinSort() = default;

MPinYinSort* MPinYinSort::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MPinYinSort;
    return m_pInstance;
}

void MPinYinSort::Private::syncWords()
{
    HmiStore& store = HmiStore::instance();
    const HmiSnapshot& snapshot = store.snapshot();
    if (revision == store.revision())
        return;
    revision = store.revision();
    words.clear();
    for (const auto& [word, syllables] : BuiltInWords())
        words.insert(word, syllables);
    for (auto it = snapshot.pinyinWords.begin(); it != snapshot.pinyinWords.end(); ++it)
        words.insert(it.key(), it.value());
    longestWord = 0;
    for (auto it = words.begin(); it != words.end(); ++it)
        longestWord = qMax(longestWord, int(it.key().size()));
    cache.clear();
}

const Reading& MPinYinSort::Private::reading(const QString& text)
{
    auto it = cache.constFind(text);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() >= kCacheLimit)
        cache.clear();
    return *cache.insert(text, compute(text));
}

QStringList MPinYinSort::Private::transliterate(const QString& hanRun)
{
    if (!transliterator)
        return {};
    icu::UnicodeString u(reinterpret_cast<const UChar*>(hanRun.utf16()), int32_t(hanRun.size()));
    transliterator->transliterate(u);
    const QString latin = QString::fromUtf16(reinterpret_cast<const char16_t*>(u.getBuffer()), u.length());
    return latin.toLower().split(' ', Qt::SkipEmptyParts);
}

void MPinYinSort::Private::addHanRun(const QString& run, Reading& out)
{
    QString pending;
    auto flush = [&] {
        for (const QString& syllable : transliterate(pending)) {
            out.initials += syllable.front().toUpper();
            out.key += syllable;
        }
        pending.clear();
    };
    for (int i = 0; i < run.size();) {
        int matched = 0;
        for (int length = qMin(longestWord, int(run.size()) - i); length >= 2 && !matched; --length) {
            const auto word = words.constFind(run.mid(i, length));
            if (word == words.constEnd())
                continue;
            flush();
            for (const QString& syllable : word->split(' ', Qt::SkipEmptyParts)) {
                out.initials += syllable.front().toUpper();
                out.key += syllable;
            }
            matched = length;
        }
        if (!matched)
            pending += run.at(i);
        i += matched ? matched : 1;
    }
    flush();
}

Reading MPinYinSort::Private::compute(const QString& text)
{
    Reading out;
    QString hanRun;
    // Full-width letters and digits become plain ones first.
    const QString normalized = text.normalized(QString::NormalizationForm_KC);
    for (int i = 0; i < normalized.size(); ++i) {
        const QChar c = normalized.at(i);
        if (c.script() == QChar::Script_Han) {
            hanRun += c;
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < normalized.size()
            && QChar::script(QChar::surrogateToUcs4(c, normalized.at(i + 1))) == QChar::Script_Han) {
            hanRun += c;
            hanRun += normalized.at(++i);
            continue;
        }
        if (!hanRun.isEmpty()) {
            addHanRun(hanRun, out);
            hanRun.clear();
        }
        if (c.isDigit() || (c.isLetter() && c.script() == QChar::Script_Latin))
            out.initials += c.toUpper();
        out.key += c.toLower();
    }
    if (!hanRun.isEmpty())
        addHanRun(hanRun, out);
    return out;
}

QString MPinYinSort::GetPYString(const QString& text)
{
    d->syncWords();
    return d->reading(text).initials;
}

QString MPinYinSort::GetPYString(const QByteArray& local8Bit)
{
    return GetPYString(QString::fromLocal8Bit(local8Bit));
}

QString MPinYinSort::SortKey(const QString& text)
{
    d->syncWords();
    return d->reading(text).key;
}

void MPinYinSort::SortByPY(QStringList& names, bool ascending)
{
    d->syncWords();
    // Keys are copied (shared, not duplicated): the cache may grow meanwhile.
    std::vector<std::pair<QString, int>> keyed;
    keyed.reserve(names.size());
    for (int i = 0; i < names.size(); ++i)
        keyed.emplace_back(d->reading(names.at(i)).key, i);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        const int byKey = QString::compare(a.first, b.first);
        const int order = byKey != 0 ? byKey : QString::compare(names.at(a.second), names.at(b.second));
        return ascending ? order < 0 : order > 0;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto& [key, index] : keyed)
        sorted << names.at(index);
    names = sorted;
}
