#include "mgraphnotebook.h"

#include <QFile>
#include <QStringDecoder>

#include "mdeploypaths.h"

MGraphNoteBook* MGraphNoteBook::m_note = nullptr;

namespace {

// Option lines are short; a longer one (or a binary file) is skipped whole
// rather than read into memory.
constexpr qint64 kMaxLineBytes = 64 * 1024;

int toInt(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

// The text from the first "=" to the next one, or to the end of the line.
QString valueOf(const QString& line)
{
    const int first = line.indexOf('=');
    if (first < 0)
        return {};
    const int second = line.indexOf('=', first + 1);
    return line.mid(first + 1, second < 0 ? -1 : second - first - 1);
}

} // namespace

MGraphNoteBook::MGraphNoteBook() = default;

MGraphNoteBook::~MGraphNoteBook() = default;

MGraphNoteBook* MGraphNoteBook::Instance()
{
    if (!m_note)
        m_note = new MGraphNoteBook;
    return m_note;
}

QString MGraphNoteBook::GraphKey(const QString& application, const QString& picture)
{
    return application.toLower() + "_" + picture;
}

bool MGraphNoteBook::readLines(const QString& fileName, const std::function<void(const QString&)>& apply)
{
    if (fileName.isEmpty())
        return true;
    QFile file(MDeployPaths::OptionDir() + "/" + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QStringDecoder decode(QStringConverter::System);
    while (!file.atEnd()) {
        QByteArray line = file.readLine(kMaxLineBytes);
        if (!line.endsWith('\n') && !file.atEnd()) {
            // Too long: drop it up to its end.
            while (!file.atEnd() && !file.readLine(kMaxLineBytes).endsWith('\n')) {
            }
            continue;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        apply(decode(line));
    }
    return true;
}

bool MGraphNoteBook::ReadImportOption(const QString& fileName)
{
    m_statusDecisions.clear();
    return readLines(fileName, [this](const QString& line) { applyOption(line); });
}

bool MGraphNoteBook::ReadWhite(const QString& fileName)
{
    m_notedKeys.clear();
    m_notedIds.clear();
    return readLines(fileName, [this](const QString& line) { applyListEntry(line); });
}

void MGraphNoteBook::applyOption(const QString& line)
{
    if (line.isEmpty() || line.startsWith('#'))
        return;
    // Recognised by their beginning, in this order: "svg_dir2=x" is svg_dir.
    if (line.startsWith("inc_ver")) {
        m_increaseVersion = toInt(valueOf(line)) != 0;
    } else if (line.startsWith("svg_import")) {
        m_svgImport = toInt(valueOf(line)) != 0;
    } else if (line.startsWith("svg_dir")) {
        m_svgDir = valueOf(line);
    } else if (line.startsWith("svg_export")) {
        m_svgExport = toInt(valueOf(line)) != 0;
    } else if (line.startsWith("svg_exdir")) {
        m_exportDir = valueOf(line);
    } else if (line.startsWith("svg_exnode")) {
        m_svgNodes = valueOf(line).split(',', Qt::SkipEmptyParts);
    } else if (line.startsWith("svg_get")) {
        m_svgServerFetching = toInt(valueOf(line)) != 0;
    } else if (line.startsWith("svg_server")) {
        m_svgServer = valueOf(line);
    } else if (line.startsWith("svg_path")) {
        m_svgServerPath = valueOf(line);
    } else if (line.startsWith("svg_timer")) {
        m_svgServerTimer = toInt(valueOf(line));
    } else if (line.startsWith("white_on")) {
        m_whiteNoteEnabled = toInt(valueOf(line)) != 0;
    } else if (line.startsWith("daemon_timer")) {
        m_daemonTime = toInt(valueOf(line));
    } else if (line.startsWith("black_on")) {
        m_blackNoteEnabled = toInt(valueOf(line)) != 0;
    } else if (line.startsWith("status")) {
        const QStringList fields = line.split(',');
        if (fields.size() >= 3)
            m_statusDecisions.insert(fields.at(1), toInt(fields.at(2)));
    } else if (line.startsWith("cr_decision")) {
        const QStringList fields = line.split(',');
        if (fields.size() >= 4)
            m_statusDecisions.insert(fields.at(1) + ":" + fields.at(2), toInt(fields.at(3)));
    }
}

void MGraphNoteBook::applyListEntry(QString line)
{
    if (line.isEmpty() || line.startsWith('#'))
        return;
    const bool blacked = line.startsWith('!');
    if (blacked)
        line.remove('!');
    if (line.isEmpty())
        return;
    QList<int>& ids = blacked ? m_blackedIds : m_notedIds;
    QStringList& keys = blacked ? m_blackedKeys : m_notedKeys;
    const QChar first = line.front();
    if (first >= '0' && first <= '9') {
        ids.append(first.digitValue()); // one digit: "12" notes 1
        return;
    }
    const QStringList pieces = line.split(' ');
    if (pieces.size() >= 2)
        keys.append(GraphKey(pieces.at(0), pieces.at(1)));
}

bool MGraphNoteBook::IsNoted(int id) const
{
    return m_notedIds.contains(id);
}

bool MGraphNoteBook::IsNoted(const QString& application, const QString& picture) const
{
    return m_notedKeys.contains(GraphKey(application, picture));
}

bool MGraphNoteBook::IsBlacked(int id) const
{
    return m_blackedIds.contains(id);
}

bool MGraphNoteBook::IsBlacked(const QString& application, const QString& picture) const
{
    return m_blackedKeys.contains(GraphKey(application, picture));
}

int MGraphNoteBook::GetStatusDecisionId(const QString& key) const
{
    return m_statusDecisions.value(key, 0);
}
