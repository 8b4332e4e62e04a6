#include "ftptestserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>

namespace TestSupport {

namespace {

const char* kPython = "/usr/bin/python3";

QString script()
{
    return qEnvironmentVariable("TALMER_TEST_SCRIPTS") + "/ftp-test-server.py";
}

} // namespace

FtpTestServer::FtpTestServer(const QString& root, int throttleBytesPerSecond)
    : m_root(root), m_throttle(throttleBytesPerSecond)
{
    QDir().mkpath(root);
}

FtpTestServer::~FtpTestServer()
{
    stop();
}

QString FtpTestServer::unavailableReason()
{
    QProcess probe;
    probe.start(kPython, {"-c", "import pyftpdlib"});
    if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return "python3-pyftpdlib is not installed (scripts/install-deps.sh installs it)";
    if (qEnvironmentVariableIsEmpty("TALMER_TEST_SCRIPTS"))
        return "TALMER_TEST_SCRIPTS is not set (CTest sets it)";
    return {};
}

bool FtpTestServer::start()
{
    stop();
    QFile::remove(m_root + ".fault");
    QStringList args{script(), "--root", m_root, "--port", QString::number(m_port), "--log", m_root + ".received",
                     "--fault-file", m_root + ".fault", "--max-seconds", QString::number(kMaxSeconds)};
    if (m_throttle > 0)
        args << "--throttle" << QString::number(m_throttle);
    if (!m_user.isEmpty())
        args << "--user" << m_user << "--password" << m_password;
    if (m_readOnly)
        args << "--perm" << "elr";
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(kPython, args);
    if (!m_process.waitForStarted(10000))
        return false;
    // The server says where it listens once it does.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000) {
        if (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("PORT ")) {
                m_port = line.mid(5).toInt();
                return m_port > 0;
            }
        }
        if (!m_process.waitForReadyRead(200) && m_process.state() != QProcess::Running)
            return false;
    }
    return false;
}

void FtpTestServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

bool FtpTestServer::isRunning()
{
    if (m_process.state() == QProcess::Running)
        m_process.waitForFinished(1);
    return m_process.state() == QProcess::Running;
}

void FtpTestServer::setUser(const QString& user, const QString& password)
{
    m_user = user;
    m_password = password;
}

bool FtpTestServer::armFault(const QString& fault) const
{
    QFile file(m_root + ".fault");
    const QByteArray line = fault.toUtf8() + "\n";
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(line) == line.size() && file.flush();
}

bool FtpTestServer::faultPending() const
{
    return QFile::exists(m_root + ".fault");
}

QStringList FtpTestServer::received() const
{
    QFile log(m_root + ".received");
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
}

QString FtpTestServer::url(const QString& base) const
{
    return QString("ftp://127.0.0.1:%1%2").arg(m_port).arg(base);
}

bool writeFile(const QString& path, const QByteArray& data, const QDateTime& modified)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    // Flushed before the time is set: a later flush would move it to now.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size() || !f.flush())
        return false;
    return !modified.isValid() || f.setFileTime(modified, QFileDevice::FileModificationTime);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace TestSupport
