#include "graphedition.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

#include "mdeploypaths.h"
#include "mgraphdoc.h"

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("GraphEdition", text);
}

// A name that stays one folder below its parent: no separators, no "." or
// "..", no control characters.
bool isPlainName(const QString& name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains('\\'))
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

bool readsAs(MGraphDoc& doc, const QString& binary, const QString& text)
{
    return (QFileInfo(binary).isFile() && doc.ReadDataFile(binary))
        || (QFileInfo(text).isFile() && doc.ReadXmlFile(text));
}

} // namespace

bool GraphEdition::checkPicture(const QString& application, const QString& picture, QString& error)
{
    if (MDeployPaths::Root().isEmpty()) {
        error = tr("no deployment tree: TALMER_DEPLOY_DIR is not set");
        return false;
    }
    if (!isPlainName(application) || !isPlainName(picture)) {
        error = tr("'%1/%2' is not a picture name").arg(application, picture);
        return false;
    }
    if (!QFileInfo(MDeployPaths::PictureDir(application, picture)).isDir()) {
        error = tr("no picture %1/%2 in the deployment tree").arg(application, picture);
        return false;
    }
    return true;
}

bool GraphEdition::Load(const QString& application, const QString& picture, int version, MGraphDoc& doc,
                        QString& error)
{
    doc.Clear();
    if (!checkPicture(application, picture, error))
        return false;
    const QString binary = MDeployPaths::VersionFile(application, picture, version, "brg");
    const QString text = MDeployPaths::VersionFile(application, picture, version, "xrg");
    if (version < 0 || (!QFileInfo::exists(binary) && !QFileInfo::exists(text))) {
        error = tr("%1/%2 has no %3").arg(application, picture, Name(version));
        return false;
    }
    if (!readsAs(doc, binary, text)) {
        doc.Clear();
        error = tr("the %1 of %2/%3 does not read as a drawing").arg(Name(version), application, picture);
        return false;
    }
    return true;
}

bool GraphEdition::Versions(const QString& application, const QString& picture, QList<int>& versions,
                            QString& error)
{
    versions.clear();
    if (!checkPicture(application, picture, error))
        return false;
    static const QRegularExpression versionFile("^(\\d{1,9})\\.(brg|xrg)$");
    const QStringList names = QDir(MDeployPaths::PictureDir(application, picture)).entryList(QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = versionFile.match(name);
        if (match.hasMatch())
            versions << match.captured(1).toInt();
    }
    std::sort(versions.begin(), versions.end());
    versions.erase(std::unique(versions.begin(), versions.end()), versions.end());
    return true;
}

QString GraphEdition::Name(int version)
{
    return version == 0 ? tr("draft") : tr("version %1").arg(version);
}

bool GraphEdition::ParseVersion(const QString& text, int& version)
{
    if (text == "draft") {
        version = 0;
        return true;
    }
    static const QRegularExpression number("^\\d{1,9}$");
    if (!number.match(text).hasMatch())
        return false;
    version = text.toInt();
    return true;
}
