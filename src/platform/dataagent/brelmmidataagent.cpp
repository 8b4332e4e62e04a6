#include "brelmmidataagent.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <string>

#include "dataagentlog.h"

BrelMmiDataAgent* BrelMmiDataAgent::m_pInstance = nullptr;

BrelMmiDataAgent::BrelMmiDataAgent() = default;

BrelMmiDataAgent::~BrelMmiDataAgent() = default;

BrelMmiDataAgent* BrelMmiDataAgent::Instance()
{
    if (!m_pInstance)
        m_pInstance = new BrelMmiDataAgent;
    return m_pInstance;
}

QString BrelMmiDataAgent::ConfiguredDatabase()
{
    // Asked before every service call: the answer is rebuilt only when one of
    // the two variables changed (read without copying them).
    static std::string lastDatabase, lastDeploy;
    static QString answer;
    static bool known = false;
    const char* database = std::getenv("TALMER_HMI_DB");
    const char* deploy = std::getenv("TALMER_DEPLOY_DIR");
    if (known && lastDatabase == (database ? database : "") && lastDeploy == (deploy ? deploy : ""))
        return answer;
    lastDatabase = database ? database : "";
    lastDeploy = deploy ? deploy : "";
    known = true;
    if (!lastDatabase.empty())
        answer = QString::fromLocal8Bit(lastDatabase.c_str());
    else
        answer = lastDeploy.empty() ? QString() : QDir(QString::fromLocal8Bit(lastDeploy.c_str())).filePath("var/hmi.sqlite");
    return answer;
}

bool BrelMmiDataAgent::ConfiguredDatabaseMayBeCreated()
{
    const QString deploy = qEnvironmentVariable("TALMER_DEPLOY_DIR");
    const QString spec = ConfiguredDatabase();
    if (deploy.isEmpty() || spec.isEmpty() || spec.contains("://"))
        return false;
    const QString standard = QDir::cleanPath(QDir(deploy).absoluteFilePath("var/hmi.sqlite"));
    return QDir::cleanPath(QFileInfo(spec).absoluteFilePath()) == standard;
}

bool BrelMmiDataAgent::EnsureConnected()
{
    const QString spec = ConfiguredDatabase();
    if (spec.isEmpty()) {
        if (!m_warnedUnconfigured)
            qCWarning(lcDataAgent) << "no HMI database: set TALMER_HMI_DB or TALMER_DEPLOY_DIR";
        m_warnedUnconfigured = true;
        Close();
        return false;
    }
    m_warnedUnconfigured = false;
    if (spec == ConnectionSpec())
        return MSqlDataAgent::EnsureConnected();
    return Open(spec, ConfiguredDatabaseMayBeCreated() ? OpenMode::CreateIfMissing : OpenMode::MustExist);
}

bool BrelMmiDataAgent::Connect(const QString&)
{
    return EnsureConnected();
}

GlobalDefine BrelMmiDataAgent::QueryGlobalDefineByName(const QString& name)
{
    return GlobalDefine{name, GlobalDefineValue(name)};
}
