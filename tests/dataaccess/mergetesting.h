#pragma once

#include <QMap>
#include <QString>

#include "librarymerge.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"

namespace MergeTesting {

// The application record of a test site.
inline MDBRecordApplication Application(const QString& oid, const QString& name = "A")
{
    MDBRecordApplication app;
    app.oid = oid;
    app.name = name;
    return app;
}

// Version -> modification time of each local picture, read afresh.
inline QMap<QString, QMap<int, QString>> Library(const MDBRecordApplication& app)
{
    LibraryMerge local(MDBInterfaceHolder::Instance()->GetInterface(), app);
    local.LoadLocal();
    QMap<QString, QMap<int, QString>> pictures;
    for (const MergePicture& picture : local.LocalPictures()) {
        QMap<int, QString>& versions = pictures[picture.name()];
        for (const auto& edition : picture.editions)
            versions.insert(edition->version, edition->modifyTime);
    }
    return pictures;
}

} // namespace MergeTesting
