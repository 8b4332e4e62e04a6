#include "ftpconnection.h"

#include <QDate>
#include <QIODevice>
#include <QRandomGenerator>
#include <QUrl>

#include <curl/curl.h>

namespace FtpCore {

namespace {

constexpr long kPollMs = 10;

struct CurlGlobal
{
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

size_t writeToDevice(char* data, size_t size, size_t count, void* device)
{
    const qint64 wanted = qint64(size * count);
    return static_cast<QIODevice*>(device)->write(data, wanted) == wanted ? size_t(wanted) : 0;
}

size_t readFromDevice(char* data, size_t size, size_t count, void* device)
{
    const qint64 got = static_cast<QIODevice*>(device)->read(data, qint64(size * count));
    return got < 0 ? CURL_READFUNC_ABORT : size_t(got);
}

size_t appendToBuffer(char* data, size_t size, size_t count, void* buffer)
{
    static_cast<QByteArray*>(buffer)->append(data, qsizetype(size * count));
    return size * count;
}

curl_slist* commandList(const QStringList& commands)
{
    curl_slist* list = nullptr;
    for (const QString& c : commands)
        list = curl_slist_append(list, c.toUtf8().constData());
    return list;
}

QString parentOf(const QString& path)
{
    return path.left(path.lastIndexOf('/'));
}

} // namespace

FtpConnection::FtpConnection()
{
    static CurlGlobal global;
    m_easy = curl_easy_init();
    m_multi = curl_multi_init();
}

FtpConnection::~FtpConnection()
{
    curl_easy_cleanup(static_cast<CURL*>(m_easy));
    curl_multi_cleanup(static_cast<CURLM*>(m_multi));
    curl_slist_free_all(static_cast<curl_slist*>(m_connectToList));
}

void FtpConnection::SetServer(const QString& serverUrl, const QStringList& connectTo)
{
    QUrl u(serverUrl);
    u.setPath(QString());
    u.setQuery(QString());
    u.setFragment(QString());
    m_base = u.toEncoded(QUrl::StripTrailingSlash);
    curl_slist_free_all(static_cast<curl_slist*>(m_connectToList));
    m_connectToList = commandList(connectTo);
}

bool FtpConnection::safe(const QString& path)
{
    for (QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    // libcurl drops "." and ".." from URLs: a path holding them would name a
    // place above the base directory the caller built it in.
    const QStringList segments = path.split('/');
    return path.startsWith('/') && !segments.contains("..") && !segments.contains(".");
}

bool FtpConnection::IsTemporaryName(const QString& name)
{
    return name.startsWith('.') && name.contains(".part-");
}

QByteArray FtpConnection::url(const QString& path, bool directory) const
{
    // Each segment escaped on its own; "%2F" first makes the path absolute.
    QByteArray u = m_base + "/%2F";
    const QStringList segments = path.split('/', Qt::SkipEmptyParts);
    for (int i = 0; i < segments.size(); ++i) {
        const QByteArray utf8 = segments.at(i).toUtf8();
        char* escaped = curl_easy_escape(static_cast<CURL*>(m_easy), utf8.constData(), int(utf8.size()));
        u += (i ? "/" : "") + QByteArray(escaped);
        curl_free(escaped);
    }
    if (directory && !u.endsWith('/'))
        u += '/';
    return u;
}

void FtpConnection::prepare(const QString& path, bool directory, int waitMs)
{
    CURL* easy = static_cast<CURL*>(m_easy);
    curl_easy_reset(easy);
    m_error.clear();
    m_lastDirectory = directory ? path : parentOf(path);
    curl_easy_setopt(easy, CURLOPT_URL, url(path, directory).constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECT_TO, static_cast<curl_slist*>(m_connectToList));
    const long seconds = qMax(1L, long(waitMs + 999) / 1000);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(qMax(waitMs, 100)));
    // No progress for the wait limit fails the transfer; a slow but moving one goes on.
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, seconds);
    curl_easy_setopt(easy, CURLOPT_FTP_RESPONSE_TIMEOUT, seconds);
}

int FtpConnection::perform()
{
    CURL* easy = static_cast<CURL*>(m_easy);
    CURLM* multi = static_cast<CURLM*>(m_multi);
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_multi_add_handle(multi, easy);
    int running = 1;
    CURLcode result = CURLE_OK;
    while (running) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running)
            curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
            result = message->data.result;
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    if (result != CURLE_OK)
        m_error = QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(result));
    return result == CURLE_OK ? 0 : -int(result);
}

int FtpConnection::Login(int waitMs)
{
    prepare("/", true, waitMs);
    curl_easy_setopt(static_cast<CURL*>(m_easy), CURLOPT_NOBODY, 1L);
    return perform();
}

int FtpConnection::Download(const QString& path, QIODevice* sink, int waitMs)
{
    if (!safe(path))
        return kBadName;
    prepare(path, false, waitMs);
    CURL* easy = static_cast<CURL*>(m_easy);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeToDevice);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, sink);
    const int result = perform();
    return result == -int(CURLE_WRITE_ERROR) ? kLocalFile : result;
}

int FtpConnection::Upload(const QString& path, QIODevice* source, int waitMs)
{
    const QString name = path.mid(path.lastIndexOf('/') + 1);
    if (!safe(path) || name.isEmpty())
        return kBadName;
    // libcurl skips CWD (and so MKD) when a transfer names the folder of the
    // last one: if another workstation removed that folder since, the STOR
    // fails. The clean-up of a failed upload moves the connection to "/", so
    // one more try goes through CWD and MKD again.
    const bool cwdSkipped = parentOf(path) == m_lastDirectory;
    int result = store(path, source, waitMs);
    if (result == -int(CURLE_UPLOAD_FAILED) && cwdSkipped && source->seek(0))
        result = store(path, source, waitMs);
    return result;
}

int FtpConnection::store(const QString& path, QIODevice* source, int waitMs)
{
    const QString name = path.mid(path.lastIndexOf('/') + 1);
    const QString temporary = parentOf(path) + "/." + name + ".part-"
        + QString::number(QRandomGenerator::global()->generate(), 16);
    prepare(temporary, false, waitMs);
    CURL* easy = static_cast<CURL*>(m_easy);
    curl_slist* rename = commandList({"RNFR " + temporary, "RNTO " + path});
    curl_easy_setopt(easy, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(easy, CURLOPT_READFUNCTION, readFromDevice);
    curl_easy_setopt(easy, CURLOPT_READDATA, source);
    curl_easy_setopt(easy, CURLOPT_INFILESIZE_LARGE, curl_off_t(source->size()));
    curl_easy_setopt(easy, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_RETRY));
    curl_easy_setopt(easy, CURLOPT_POSTQUOTE, rename);
    const int result = perform();
    curl_slist_free_all(rename);
    if (result != 0) {
        const QString why = m_error;
        quote({"DELE " + temporary}, waitMs); // what arrived of the temporary file, if any
        m_error = why;
    }
    return result;
}

int FtpConnection::List(const QString& directory, QList<FtpEntry>& out, int waitMs)
{
    if (!safe(directory))
        return kBadName;
    QByteArray listing;
    prepare(directory, true, waitMs);
    CURL* easy = static_cast<CURL*>(m_easy);
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "MLSD");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, appendToBuffer);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &listing);
    const int result = perform();
    if (result != 0)
        return result;
    for (const QByteArray& line : listing.split('\n')) {
        FtpEntry entry;
        if (ParseListingLine(line, entry))
            out.append(entry);
    }
    return 0;
}

bool FtpConnection::ParseListingLine(const QByteArray& line, FtpEntry& entry)
{
    const int space = line.indexOf("; ");
    if (space < 0)
        return false;
    const QString name = QString::fromUtf8(line.mid(space + 2)).remove('\r');
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    QByteArray type;
    entry = FtpEntry();
    entry.name = name;
    for (const QByteArray& fact : line.left(space).split(';')) {
        const int equals = fact.indexOf('=');
        const QByteArray key = fact.left(equals).toLower(), value = fact.mid(equals + 1);
        if (equals < 0)
            continue;
        if (key == "type") {
            type = value.toLower();
        } else if (key == "size") {
            bool ok = false;
            const qint64 size = value.toLongLong(&ok);
            entry.size = ok && size >= 0 ? size : -1;
        } else if (key == "modify") {
            // YYYYMMDDHHMMSS[.sss], always UTC; fractions are dropped.
            // Read as date and time apart: a UTC time may not exist in local time.
            const QString digits = QString::fromLatin1(value.left(14));
            const QDate date = QDate::fromString(digits.left(8), "yyyyMMdd");
            const QTime time = QTime::fromString(digits.mid(8), "HHmmss");
            entry.modified = date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
        }
    }
    entry.isDirectory = type == "dir";
    return type == "dir" || type == "file";
}

int FtpConnection::quote(const QStringList& commands, int waitMs)
{
    prepare("/", true, waitMs);
    curl_slist* list = commandList(commands);
    CURL* easy = static_cast<CURL*>(m_easy);
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(easy, CURLOPT_QUOTE, list);
    const int result = perform();
    curl_slist_free_all(list);
    return result;
}

int FtpConnection::RemoveFile(const QString& path, int waitMs)
{
    return safe(path) ? quote({"DELE " + path}, waitMs) : kBadName;
}

int FtpConnection::Rename(const QString& from, const QString& to, int waitMs)
{
    return safe(from) && safe(to) ? quote({"RNFR " + from, "RNTO " + to}, waitMs) : kBadName;
}

int FtpConnection::RemoveDirectory(const QString& path, int waitMs)
{
    QList<FtpEntry> entries;
    const int listed = List(path, entries, waitMs);
    if (listed != 0)
        return listed;
    const QString prefix = path.endsWith('/') ? path : path + "/";
    for (const FtpEntry& entry : std::as_const(entries)) {
        const int removed = entry.isDirectory ? RemoveDirectory(prefix + entry.name, waitMs)
                                              : RemoveFile(prefix + entry.name, waitMs);
        if (removed != 0)
            return removed;
    }
    return quote({"RMD " + path}, waitMs);
}

} // namespace FtpCore
