#include "miconmgr.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include "graphenginelog.h"
#include "micontemplate.h"

MIconMgr* MIconMgr::m_pInstance = nullptr;

MIconMgr* MIconMgr::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MIconMgr;
    return m_pInstance;
}

MIconMgr::~MIconMgr()
{
    for (const Cached& c : std::as_const(m_cache))
        delete c.iconTemplate;
}

QString MIconMgr::IconFilePath(const QString& catalog, const QString& uuidText)
{
    const QString deploy = qEnvironmentVariable("TALMER_DEPLOY_DIR");
    const bool safe = !catalog.isEmpty() && !catalog.contains('/') && !catalog.contains('\\')
        && catalog != "." && catalog != ".." && !QUuid::fromString(uuidText).isNull();
    if (deploy.isEmpty() || !safe)
        return {};
    return QDir(deploy).filePath("icon/" + catalog + "/" + uuidText + ".xco");
}

bool MIconMgr::CreateTemplate(const QString& catalog, const QString& uuidText, MIconTemplate*& out, bool useCache,
                              bool warnIfMissing)
{
    const QString path = IconFilePath(catalog, uuidText);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile()) {
        if (warnIfMissing)
            qCWarning(lcGraphEngine).noquote() << "the icon library has no icon" << uuidText << "in" << catalog;
        return false;
    }
    const auto cached = m_cache.constFind(path);
    if (useCache && cached != m_cache.constEnd() && cached->modified == file.lastModified()) {
        out = new MIconTemplate(*cached->iconTemplate);
        return true;
    }
    auto* loaded = new MIconTemplate;
    if (!loaded->ReadXmlFile(path) || loaded->GetUuid() != QUuid::fromString(uuidText)) {
        if (warnIfMissing)
            qCWarning(lcGraphEngine).noquote() << path << "does not hold icon" << uuidText;
        delete loaded;
        return false;
    }
    if (useCache) {
        if (cached != m_cache.constEnd())
            delete cached->iconTemplate;
        m_cache.insert(path, Cached{file.lastModified(), new MIconTemplate(*loaded)});
    }
    out = loaded;
    return true;
}
