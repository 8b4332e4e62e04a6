#include "mdeploypaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Links deeper than this are taken for a loop, as the kernel does.
constexpr int kMaxLinkDepth = 40;

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith('/') ? folder + name : folder + "/" + name;
}

QString parentOf(const QString& folder)
{
    const int slash = folder.lastIndexOf('/');
    return slash <= 0 ? QStringLiteral("/") : folder.left(slash);
}

// Walks path one name at a time from "/", the way open() does; empty when it
// cannot be followed (a link loop, ".." below a missing folder).
QString resolveOnDisk(const QString& path, int depth)
{
    if (depth > kMaxLinkDepth)
        return {};
    const QString absolute = QDir::isRelativePath(path) ? QDir::current().absoluteFilePath(path) : path;
    const QStringList names = absolute.split('/', Qt::SkipEmptyParts);
    QString current = QStringLiteral("/");
    bool missing = false;
    for (const QString& name : names) {
        if (name == ".")
            continue;
        if (name == "..") {
            if (missing)
                return {};
            current = parentOf(current);
            continue;
        }
        const QString next = joined(current, name);
        const QFileInfo info(next);
        if (!missing && info.isSymLink()) {
            current = resolveOnDisk(info.symLinkTarget(), depth + 1);
            if (current.isEmpty())
                return {};
            missing = !QFileInfo::exists(current);
        } else {
            missing = missing || !info.exists();
            current = next;
        }
    }
    return current;
}

// path with its folder resolved by the file system (so that ".." after a link
// goes where the file system goes) and its own name kept, which may be a link;
// empty unless that lies strictly below the canonical base.
QString resolvedEntryBelow(const QString& base, const QString& path)
{
    if (base.isEmpty() || path.isEmpty())
        return {};
    const QString absolute = QDir::isRelativePath(path) ? QDir::current().absoluteFilePath(path) : path;
    const int slash = absolute.lastIndexOf('/');
    const QString name = absolute.mid(slash + 1);
    const QString parent = QFileInfo(absolute.left(qMax(slash, 1))).canonicalFilePath();
    if (parent.isEmpty() || name.isEmpty() || name == "." || name == "..")
        return {};
    if (parent != base && !parent.startsWith(base + "/"))
        return {};
    return parent + "/" + name;
}

} // namespace

QString MDeployPaths::Root()
{
    return qEnvironmentVariable("TALMER_DEPLOY_DIR");
}

QString MDeployPaths::SafeRoot()
{
    const QString root = Root();
    if (root.isEmpty() || QDir::isRelativePath(root))
        return {};
    const QString cleaned = QDir::cleanPath(root);
    return QDir(cleaned).isRoot() ? QString() : cleaned;
}

QString MDeployPaths::GraphStore()
{
    return Root() + "/pic";
}

QString MDeployPaths::PictureDir(const QString& application, const QString& picture)
{
    return Root() + "/pic/" + application + "/" + picture;
}

QString MDeployPaths::VersionFile(const QString& application, const QString& picture, int version,
                                  const QString& extension)
{
    return PictureDir(application, picture) + "/" + QString::number(version) + "." + extension;
}

QString MDeployPaths::CommonDataFile(const QString& picture, const QString& application)
{
    return Root() + "/pic/common/" + picture + "/" + application + ".db";
}

QString MDeployPaths::HoldingDir(const QString& picture)
{
    return Root() + "/pic/temporary/" + picture;
}

QString MDeployPaths::IconFile(const QString& iconType, const QString& uuid)
{
    return Root() + "/icon/" + iconType + "/" + uuid + ".xco";
}

QString MDeployPaths::TemplateFile(const QString& typeAlias, const QString& templateName)
{
    return Root() + "/template/" + typeAlias + "/" + templateName + ".xtp";
}

QString MDeployPaths::CurveDir()
{
    return Root() + "/curve";
}

QString MDeployPaths::OptionDir()
{
    return Root() + "/etc/mmi";
}

QString MDeployPaths::BinDir()
{
    return Root() + "/bin/mmi";
}

QString MDeployPaths::ResolvedTarget(const QString& path)
{
    const QString root = SafeRoot();
    if (root.isEmpty() || path.isEmpty())
        return {};
    const QString resolvedRoot = resolveOnDisk(root, 0);
    const QString target = resolveOnDisk(path, 0);
    if (resolvedRoot.isEmpty() || resolvedRoot == "/" || target.isEmpty())
        return {};
    return target.startsWith(joined(resolvedRoot, QString())) ? target : QString();
}

QString MDeployPaths::RelativePath(const QString& path)
{
    const QString root = SafeRoot();
    if (root.isEmpty() || path.isEmpty() || QDir::isRelativePath(path))
        return {};
    const QString cleaned = QDir::cleanPath(path);
    const QString prefix = joined(root, QString());
    return cleaned.startsWith(prefix) ? cleaned.mid(prefix.size()) : QString();
}

QString MDeployPaths::GraphStoreEntry(const QString& path)
{
    const QString root = SafeRoot();
    return root.isEmpty() ? QString() : resolvedEntryBelow(QFileInfo(root + "/pic").canonicalFilePath(), path);
}

QString MDeployPaths::DeployTreeEntry(const QString& path)
{
    const QString root = SafeRoot();
    return root.isEmpty() ? QString() : resolvedEntryBelow(QFileInfo(root).canonicalFilePath(), path);
}
