#include "deploytree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TestSupport {

const QList<QByteArray>& DeployTree::configurationVariables()
{
    static const QList<QByteArray> names = {
        "TALMER_DEPLOY_DIR", "TALMER_HMI_DB", "TALMER_OUTER_DB", "IS_IN_OUTER_NET",
        "TALMER_FILE_SERVER", "TALMER_FTP_CONNECT_TO"};
    return names;
}

DeployTree::DeployTree()
    : m_dir(QDir::tempPath() + "/talmer-test-XXXXXX")
{
    for (const QByteArray& name : configurationVariables()) {
        if (qEnvironmentVariableIsSet(name.constData()))
            m_saved.append({name, qgetenv(name.constData())});
        qunsetenv(name.constData());
    }
    m_rootMade = m_dir.isValid() && QDir().mkpath(root());
    if (m_rootMade)
        qputenv("TALMER_DEPLOY_DIR", QFile::encodeName(root()));
}

DeployTree::~DeployTree()
{
    for (const QByteArray& name : configurationVariables())
        qunsetenv(name.constData());
    for (const auto& [name, value] : m_saved)
        qputenv(name.constData(), value);
}

QString DeployTree::path(const QString& relative) const
{
    return QDir(root()).filePath(relative);
}

bool DeployTree::writeFile(const QString& relative, const QByteArray& data) const
{
    const QString file = path(relative);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray DeployTree::readFile(const QString& relative) const
{
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace TestSupport
