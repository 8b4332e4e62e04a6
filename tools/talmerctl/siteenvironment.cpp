#include "siteenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include "brelmmidataagent.h"
#include "command.h"
#include "databaseurl.h"
#include "safefile.h"

namespace {

const QStringList kVariables{"TALMER_DEPLOY_DIR", "TALMER_HMI_DB", "TALMER_FILE_SERVER", "TALMER_OUTER_DB",
                             "IS_IN_OUTER_NET", "TALMER_FTP_CONNECT_TO"};

} // namespace

bool SiteEnvironment::IsSite(const QString& directory)
{
    return QFileInfo(QDir(directory).filePath(FileName())).isFile();
}

QMap<QString, QString> SiteEnvironment::For(const QString& directory, const QString& database)
{
    const QDir site(QFileInfo(directory).absoluteFilePath());
    return {{"TALMER_DEPLOY_DIR", site.filePath("deployment")},
            {"TALMER_HMI_DB", database.isEmpty() ? site.filePath("hmi.sqlite") : database},
            {"TALMER_FILE_SERVER", site.filePath("server")}};
}

// Single quotes keep everything literal in a shell; a quote itself is closed,
// escaped and reopened.
QString SiteEnvironment::ShellQuoted(const QString& value)
{
    return "'" + QString(value).replace("'", "'\\''") + "'";
}

bool SiteEnvironment::Unquoted(const QString& text, QString& value)
{
    if (text.size() < 2 || !text.startsWith('\'') || !text.endsWith('\''))
        return false;
    QString inner = text.mid(1, text.size() - 2);
    if (QString(inner).remove("'\\''").contains('\''))
        return false;
    value = inner.replace("'\\''", "'");
    return true;
}

bool SiteEnvironment::Write(const QString& file, const QMap<QString, QString>& environment, QString& error)
{
    QByteArray text = "# The environment of this site's hosts: source this file, or give talmerctl --site.\n";
    bool secret = false;
    for (auto it = environment.cbegin(); it != environment.cend(); ++it) {
        text += "export " + it.key().toUtf8() + "=" + ShellQuoted(it.value()).toUtf8() + "\n";
        secret = secret || DatabaseUrl::HasPassword(it.value());
    }
    if (!SafeFile::WriteFile(file, text, &error)) {
        error = "cannot write " + file + ": " + error;
        return false;
    }
    // A password in it: for its owner's eyes only.
    const QFile::Permissions mode = secret ? QFile::ReadOwner | QFile::WriteOwner
                                           : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (!QFile::setPermissions(file, mode)) {
        QFile::remove(file);
        error = "cannot set the permissions of " + file;
        return false;
    }
    return true;
}

QString SiteEnvironment::s_directory;

bool SiteEnvironment::Load(const QString& directory, QString& error)
{
    QFile file(QDir(directory).filePath(FileName()));
    if (!QFileInfo(directory).isDir() || !file.exists()) {
        error = directory + " is not a site (it has no " + FileName() + ")";
        return false;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = "cannot read " + file.fileName() + ": " + file.errorString();
        return false;
    }
    static const QRegularExpression line("^export ([A-Z_]+)=(.*)$");
    QTextStream in(&file);
    int number = 0;
    while (!in.atEnd()) {
        const QString text = in.readLine().trimmed();
        ++number;
        if (text.isEmpty() || text.startsWith('#'))
            continue;
        const QRegularExpressionMatch match = line.match(text);
        QString value;
        if (!match.hasMatch() || !kVariables.contains(match.captured(1)) || !Unquoted(match.captured(2), value)) {
            error = QString("%1, line %2: not a setting of a site").arg(file.fileName()).arg(number);
            return false;
        }
        qputenv(match.captured(1).toUtf8().constData(), value.toUtf8());
    }
    s_directory = QFileInfo(directory).absoluteFilePath();
    return true;
}

QString SiteEnvironment::DatabaseName(const QString& database)
{
    return DatabaseUrl::Masked(database);
}

QString SiteEnvironment::SqliteProblem(const QString& file)
{
    QFile in(file);
    if (!in.exists())
        return {};
    if (!in.open(QIODevice::ReadOnly))
        return "cannot read it: " + in.errorString();
    // An empty file would silently become a new empty library.
    const QByteArray header = in.read(16);
    if (header.isEmpty())
        return "the file is empty (0 bytes): not a database";
    if (header != QByteArray("SQLite format 3\0", 16))
        return "not a database";
    return {};
}

bool SiteEnvironment::CheckLibrary(QString& error)
{
    const QString root = qEnvironmentVariable("TALMER_DEPLOY_DIR");
    if (root.isEmpty()) {
        error = "no site: give --site DIR or set TALMER_DEPLOY_DIR";
        return false;
    }
    if (!QFileInfo(root).isDir()) {
        error = "the deployment tree " + root + " does not exist";
        return false;
    }
    // Opened only to see that it is there: the agent would create a missing one.
    const QString database = BrelMmiDataAgent::ConfiguredDatabase();
    const QString problem = database.contains("://") ? QString() : SqliteProblem(database);
    if (!problem.isEmpty()) {
        error = "cannot open the HMI database " + database + ": " + problem;
        return false;
    }
    MSqlDataAgent probe;
    if (!probe.Open(database, MSqlDataAgent::OpenMode::MustExist)) {
        error = Command::withReason("cannot open the HMI database " + DatabaseName(database));
        return false;
    }
    return true;
}
