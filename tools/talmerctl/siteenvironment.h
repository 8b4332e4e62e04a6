#pragma once

#include <QMap>
#include <QString>

// A site is a folder holding a deployment tree ("deployment"), a directory file
// server ("server"), usually its SQLite HMI database ("hmi.sqlite"), and
// "site.env": the environment a host needs, as shell lines that can be sourced.
class SiteEnvironment
{
public:
    static QString FileName() { return QStringLiteral("site.env"); }
    static bool IsSite(const QString& directory);

    // The environment of a site that will live in directory; database is a
    // postgresql:// URL, or empty for the site's own SQLite file.
    static QMap<QString, QString> For(const QString& directory, const QString& database);
    static bool Write(const QString& file, const QMap<QString, QString>& environment, QString& error);
    // Reads directory's site.env into the process environment.
    static bool Load(const QString& directory, QString& error);
    // True when the configured deployment tree and HMI database are there;
    // never creates a database.
    static bool CheckLibrary(QString& error);
    // The site folder Load() read, absolute; empty when none was loaded.
    static QString Directory() { return s_directory; }
    // A database as messages show it: its password as "***".
    static QString DatabaseName(const QString& database);
    // Why a SQLite file cannot be a library (empty, not a database); empty
    // when it may be one or does not exist.
    static QString SqliteProblem(const QString& file);
    // value in single quotes, for a shell.
    static QString ShellQuoted(const QString& value);

private:
    static QString s_directory;
    static bool Unquoted(const QString& text, QString& value);
};
