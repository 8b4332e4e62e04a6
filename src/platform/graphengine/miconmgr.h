#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

class MIconTemplate;

// The icon library as the engine sees it: the ".xco" files below
// $TALMER_DEPLOY_DIR/icon/{catalog}/{uuid}.xco.
class MIconMgr
{
public:
    static MIconMgr* Instance();

    // A new template (the caller owns it) for the icon uuidText of the catalog,
    // when the library holds it: its file exists, is readable and carries that
    // uuid. useCache reuses a template read before while its file is unchanged;
    // warnIfMissing says on the engine's category what was missing.
    bool CreateTemplate(const QString& catalog, const QString& uuidText, MIconTemplate*& out, bool useCache,
                        bool warnIfMissing);

    // Where the library keeps an icon; empty for names that would leave it.
    static QString IconFilePath(const QString& catalog, const QString& uuidText);

protected:
    MIconMgr() = default;
    ~MIconMgr();

private:
    struct Cached
    {
        QDateTime modified;
        MIconTemplate* iconTemplate; // owned
    };
    static MIconMgr* m_pInstance;
    QHash<QString, Cached> m_cache;
};
