#include "pictureversionfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraphdoc.h"
#include "safefile.h"

namespace {

const QStringList kExtensions{"xrg", "brg", "fg"};

// libcurl's numbers for the failures a site meets (negated by the session).
constexpr int kCurlCouldNotConnect = 7;
constexpr int kCurlAccessDenied = 9;
constexpr int kCurlUploadFailed = 25;
constexpr int kCurlTimedOut = 28;
constexpr int kCurlLoginDenied = 67;
constexpr int kCurlRemoteDiskFull = 70;

} // namespace

PictureVersionFiles::PictureVersionFiles(const QString& drawingPath)
    : m_drawing(drawingPath)
{
}

PictureVersionFiles::~PictureVersionFiles()
{
    if (m_touched && !m_kept)
        restore();
    else if (m_madeDirectory && !m_kept)
        QDir().rmdir(QFileInfo(m_drawing).absolutePath());
}

QString PictureVersionFiles::Path(const QString& extension) const
{
    return m_drawing.left(m_drawing.size() - 3) + extension;
}

bool PictureVersionFiles::Prepare(QString* error)
{
    const QString directory = QFileInfo(m_drawing).absolutePath();
    if (!QFileInfo(directory).isDir()) {
        if (QFileInfo::exists(directory) || !QDir().mkpath(directory)) {
            *error = "cannot create the picture folder " + directory;
            return false;
        }
        m_madeDirectory = true;
    }
    m_backup = std::make_unique<QTemporaryDir>();
    for (const QString& extension : kExtensions) {
        const QString path = Path(extension);
        // A link could carry the write out of the deployment tree.
        if (!MDeployPaths::IsInsideGraphStore(path) || QFileInfo(path).isSymLink()) {
            *error = "refusing to write " + path + ": it does not lie inside the graph store";
            return false;
        }
        if (!QFileInfo::exists(path))
            continue;
        QString why;
        if (!m_backup->isValid() || !SafeFile::CopyFile(path, m_backup->filePath(extension), &why)) {
            *error = "cannot keep a copy of " + path + ": " + (why.isEmpty() ? m_backup->errorString() : why);
            return false;
        }
        m_backedUp << extension;
    }
    return true;
}

bool PictureVersionFiles::WriteDrawing(const MGraphDoc& doc, const QString& source, QString* error)
{
    m_touched = true;
    if (!source.isEmpty() && QFileInfo(source).absoluteFilePath() == QFileInfo(m_drawing).absoluteFilePath())
        return true; // the version's own file, imported again as it is
    QString why;
    const bool copied = source.isEmpty() ? doc.WriteXmlFile(m_drawing) : SafeFile::CopyFile(source, m_drawing, &why);
    if (!copied)
        *error = "cannot write " + m_drawing + (why.isEmpty() ? QString() : ": " + why);
    return copied;
}

bool PictureVersionFiles::WriteForms(MGraphDoc& doc, QString* error)
{
    m_touched = true;
    if (!doc.WriteDataFile(Path("brg"))) {
        *error = "cannot write " + Path("brg");
        return false;
    }
    doc.UpdateDataDefine();
    if (!doc.WriteDynamicDataFile(Path("fg"))) {
        *error = "cannot write " + Path("fg");
        return false;
    }
    return true;
}

QStringList PictureVersionFiles::Upload() const
{
    QStringList failures;
    if (qEnvironmentVariable("TALMER_FILE_SERVER").isEmpty())
        return {"no file server is configured (TALMER_FILE_SERVER): the version cannot be shared"};
    MFileSynchronize* sync = MFileSynchronize::Instance();
    for (const QString& extension : kExtensions) {
        const int result = sync->SaveFile(Path(extension), QString());
        if (result < 0)
            failures << QString("%1 did not reach the file server: %2").arg(Path(extension), UploadReason(result));
    }
    return failures;
}

QString PictureVersionFiles::UploadReason(int result)
{
    switch (-result) {
    case 1: return "the local file or the server path was not found";
    case 2: return "the server cannot write the file there";
    case 3: return "the server path is not valid";
    case kCurlCouldNotConnect: return "the server refused the connection or is not running";
    case kCurlAccessDenied: return "the server denied access to the folder";
    case kCurlUploadFailed: return "the server refused the upload";
    case kCurlTimedOut: return "the server did not answer in time";
    case kCurlLoginDenied: return "the server refused the log-in (wrong user or password)";
    case kCurlRemoteDiskFull: return "the server's disk is full";
    default: return QString("transfer error %1").arg(result);
    }
}

void PictureVersionFiles::restore()
{
    for (const QString& extension : kExtensions) {
        const QString path = Path(extension);
        if (m_backedUp.contains(extension))
            SafeFile::CopyFile(m_backup->filePath(extension), path);
        else if (!QFileInfo(path).isSymLink())
            QFile::remove(path);
    }
    if (m_madeDirectory)
        QDir().rmdir(QFileInfo(m_drawing).absolutePath());
}
