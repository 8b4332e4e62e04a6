#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// A deployment tree of the test's own: TALMER_DEPLOY_DIR points at a fresh
// directory named "deployment" in a temporary directory while the object lives, and the other configuration
// variables are cleared so that nothing of the developer's environment (a real
// file server, an outer database) leaks into a test. Everything is restored and
// the tree removed when the object goes.
class DeployTree
{
public:
    DeployTree();
    ~DeployTree();
    DeployTree(const DeployTree&) = delete;
    DeployTree& operator=(const DeployTree&) = delete;

    bool isValid() const { return m_dir.isValid() && m_rootMade; }
    QString root() const { return m_dir.path() + "/deployment"; }
    // The temporary directory that holds the tree (and room for servers beside it).
    QString base() const { return m_dir.path(); }
    QString path(const QString& relative) const;

    // Writes a file below the root, creating its directories. False on failure.
    bool writeFile(const QString& relative, const QByteArray& data) const;
    QByteArray readFile(const QString& relative) const;

    // The variables the fixture saves, clears and restores.
    static const QList<QByteArray>& configurationVariables();

private:
    QTemporaryDir m_dir;
    bool m_rootMade = false;
    QList<QPair<QByteArray, QByteArray>> m_saved; // variables that were set before
};

} // namespace TestSupport
