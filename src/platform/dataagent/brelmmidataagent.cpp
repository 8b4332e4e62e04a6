#include "brelmmidataagent.h"

#include <QDir>

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
    const QString configured = qEnvironmentVariable("TALMER_HMI_DB");
    if (!configured.isEmpty())
        return configured;
    const QString deploy = qEnvironmentVariable("TALMER_DEPLOY_DIR");
    return deploy.isEmpty() ? QString() : QDir(deploy).filePath("var/hmi.sqlite");
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
    return Open(spec, OpenMode::CreateIfMissing);
}

bool BrelMmiDataAgent::Connect(const QString&)
{
    return EnsureConnected();
}

GlobalDefine BrelMmiDataAgent::QueryGlobalDefineByName(const QString& name)
{
    return GlobalDefine{name, GlobalDefineValue(name)};
}
