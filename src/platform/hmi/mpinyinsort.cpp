#include "mpinyinsort.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <unicode/uvernum.h>

#include "hmilog.h"
#include "hmistore.h"

MPinYinSort* MPinYinSort::m_pInstance = nullptr;

namespace {

constexpr int kCacheLimit = 500000;
constexpr char32_t kChang = U'长';
// Part of the fingerprint: raise it when the reading rules here change, so
// that initials stored by an older program are computed again.
constexpr int kRulesVersion = 1;

struct Reading
{
    QString initials;
    QString key;
};

bool isHan(char32_t c)
{
    return QChar::script(c) == QChar::Script_Han;
}

// The shipped table: "word syllable syllable ..." a line, '#' starts a comment.
QList<QPair<QString, QString>> loadWordTable(const QString& path)
{
    QList<QPair<QString, QString>> words;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcHmi).noquote() << "no Pinyin word table at" << path;
        return words;
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList parts = line.split(' ', Qt::SkipEmptyParts);
        if (parts.size() < 3 || MPinYinSort::CharacterCount(parts.first()) != parts.size() - 1) {
            qCWarning(lcHmi).noquote() << "malformed Pinyin word table line:" << line.left(80);
            continue;
        }
        words.append({parts.first(), parts.mid(1).join(' ')});
    }
    return words;
}

} // namespace

struct MPinYinSort::Private
{
    std::unique_ptr<icu::Transliterator> transliterator;
    bool transliteratorTried = false;
    QHash<QString, QString> siteWords; // as last read from the store
    QHash<QString, QString> words;     // built-in and site words -> syllables
    int longestWord = 0;               // in characters
    quint64 revision = ~quint64(0);
    QByteArray fingerprint;
    QHash<QString, Reading> cache;

    void syncWords();
    void rebuildWords();
    const Reading& reading(const QString& text);
    Reading compute(const QString& text);
    QStringList transliterate(const QString& hanRun);
    void addSyllable(const QString& syllable, Reading& out);
    void addTransliterated(const QString& hanRun, Reading& out);
    void addHanRun(const QList<char32_t>& run, Reading& out);
};

const QList<QPair<QString, QString>>& MPinYinSort::BuiltInWords()
{
    static const QList<QPair<QString, QString>> words = loadWordTable(":/talmer/pinyin/pinyinwords.txt");
    return words;
}

int MPinYinSort::CharacterCount(const QString& text)
{
    int count = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (!(text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()))
            ++count;
    }
    return count;
}

MPinYinSort::MPinYinSort()
    : d(std::make_unique<Private>())
{
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
    // Any HMI table written moves the revision; only a change of the words
    // themselves may cost the cache.
    if (snapshot.pinyinWords == siteWords && !fingerprint.isEmpty())
        return;
    siteWords = snapshot.pinyinWords;
    rebuildWords();
}

void MPinYinSort::Private::rebuildWords()
{
    words.clear();
    for (const auto& [word, syllables] : BuiltInWords())
        words.insert(word, syllables);
    for (auto it = siteWords.begin(); it != siteWords.end(); ++it)
        words.insert(it.key(), it.value());
    longestWord = 0;
    QStringList lines;
    for (auto it = words.begin(); it != words.end(); ++it) {
        longestWord = qMax(longestWord, CharacterCount(it.key()));
        lines << it.key() + '\t' + it.value();
    }
    lines.sort();
    lines.prepend(QString("rules %1, ICU %2").arg(kRulesVersion).arg(U_ICU_VERSION));
    fingerprint = QCryptographicHash::hash(lines.join('\n').toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
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
    // Made on first use: a process that only reads stored initials never pays for it.
    if (!transliteratorTried) {
        transliteratorTried = true;
        UErrorCode status = U_ZERO_ERROR;
        transliterator.reset(icu::Transliterator::createInstance("Han-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        if (U_FAILURE(status)) {
            qCWarning(lcHmi) << "no Han-Latin transliterator in ICU:" << u_errorName(status);
            transliterator.reset();
        }
    }
    if (!transliterator)
        return {};
    icu::UnicodeString u(reinterpret_cast<const UChar*>(hanRun.utf16()), int32_t(hanRun.size()));
    transliterator->transliterate(u);
    const QString latin = QString::fromUtf16(reinterpret_cast<const char16_t*>(u.getBuffer()), u.length());
    return latin.toLower().split(' ', Qt::SkipEmptyParts);
}

void MPinYinSort::Private::addSyllable(const QString& syllable, Reading& out)
{
    // A character ICU has no reading for comes back as itself: it has no
    // initial, and half of a surrogate pair must never become one.
    const QChar first = syllable.front();
    if (first.isLetterOrNumber() && first.unicode() < 0x80)
        out.initials += first.toUpper();
    if (!out.key.isEmpty() && !out.key.endsWith(' '))
        out.key += ' ';
    out.key += syllable;
}

void MPinYinSort::Private::addTransliterated(const QString& hanRun, Reading& out)
{
    for (const QString& syllable : transliterate(hanRun))
        addSyllable(syllable, out);
}

void MPinYinSort::Private::addHanRun(const QList<char32_t>& run, Reading& out)
{
    QString pending;
    auto flush = [&] {
        addTransliterated(pending, out);
        pending.clear();
    };
    const int size = int(run.size());
    for (int i = 0; i < size;) {
        int matched = 0;
        for (int length = qMin(longestWord, size - i); length >= 2 && !matched; --length) {
            const auto word = words.constFind(QString::fromUcs4(run.constData() + i, length));
            if (word == words.constEnd())
                continue;
            flush();
            for (const QString& syllable : word->split(' ', Qt::SkipEmptyParts))
                addSyllable(syllable, out);
            matched = length;
        }
        if (!matched && run.at(i) == kChang) {
            flush();
            addSyllable("chang", out);
            matched = 1;
        }
        if (!matched)
            pending += QString::fromUcs4(run.constData() + i, 1);
        i += matched ? matched : 1;
    }
    flush();
}

Reading MPinYinSort::Private::compute(const QString& text)
{
    Reading out;
    QList<char32_t> hanRun;
    bool afterHan = false;
    // Full-width letters and digits become plain ones first.
    for (const char32_t c : text.normalized(QString::NormalizationForm_KC).toUcs4()) {
        if (isHan(c)) {
            hanRun.append(c);
            continue;
        }
        if (!hanRun.isEmpty()) {
            addHanRun(hanRun, out);
            hanRun.clear();
            afterHan = true;
        }
        const QString character = QString::fromUcs4(&c, 1);
        if (QChar::isDigit(c) || (QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin))
            out.initials += character.toUpper();
        if (afterHan && c != U' ')
            out.key += ' ';
        afterHan = false;
        out.key += character.toLower();
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

QByteArray MPinYinSort::WordsFingerprint()
{
    d->syncWords();
    return d->fingerprint;
}

int MPinYinSort::CachedNames() const
{
    return int(d->cache.size());
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
