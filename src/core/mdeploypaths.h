#pragma once

#include <QString>

#include "talmer_export.h"

// The layout of the deployment tree, the one place every path below
// TALMER_DEPLOY_DIR is built from. The root is read at every call.
//
//   pic/{application}/{picture}/{n}.xrg .brg .fg .svg   versions (0: the draft)
//   pic/common/{picture}/{application}.db              per-application data
//   pic/temporary/{picture}/                          deleted pictures, kept aside
//   icon/{icon type}/{uuid}.xco                       icons
//   template/{template type alias}/{template}.xtp     templates
//   curve/                                            curve files
//   etc/mmi/{file}                                    option files
//   bin/mmi/                                          the hosts' programs (plug-in icons)
class TALMER_EXPORT MDeployPaths
{
public:
    static QString Root();
    // The root when it is safe to delete below it: set, absolute and not the
    // file-system root; empty otherwise.
    static QString SafeRoot();

    static QString GraphStore();
    static QString PictureDir(const QString& application, const QString& picture);
    static QString VersionFile(const QString& application, const QString& picture, int version,
                               const QString& extension);
    static QString CommonDataFile(const QString& picture, const QString& application);
    static QString HoldingDir(const QString& picture);
    static QString IconFile(const QString& iconType, const QString& uuid);
    static QString TemplateFile(const QString& typeAlias, const QString& templateName);
    static QString CurveDir();
    static QString OptionDir();
    static QString BinDir();

    // Where path really lies when that is strictly inside the graph store of a
    // safe root: its folder with symbolic links resolved (the store or below
    // it) and its own name, which may be a link. Empty otherwise. Deletions
    // work on this path, so that "link/.." cannot lead out of the store.
    static QString GraphStoreEntry(const QString& path);
    static bool IsInsideGraphStore(const QString& path) { return !GraphStoreEntry(path).isEmpty(); }

    // Where a write to path lands, as the file system resolves it: symbolic
    // links followed (dangling ones too, as QSaveFile and QFile follow them),
    // ".." taken after the link before it, missing folders kept by name. Empty
    // unless that is strictly inside the safe root (resolved the same way), so
    // a link or ".." in the tree cannot lead a write out of it. Missing
    // folders may not hold "..", which mkpath would read differently.
    static QString ResolvedTarget(const QString& path);
    static bool IsInsideRoot(const QString& path) { return !ResolvedTarget(path).isEmpty(); }
    // path relative to the root, both cleaned ("pic/A/P/0.xrg"); empty when
    // path is not below the root or there is no safe root. Text only: it names
    // the file's place in the tree, whatever links the tree holds.
    static QString RelativePath(const QString& path);
    // The same for the whole deployment tree: where path really lies when that
    // is strictly inside a safe root (never the root itself), else empty.
    static QString DeployTreeEntry(const QString& path);
};
