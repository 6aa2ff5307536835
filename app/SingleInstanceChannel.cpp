#include "app/SingleInstanceChannel.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Commands are one line of UTF-8; the answer is "1" or "0" and a line end.
constexpr qint64 kMaxCommand = 64 * 1024;
// A peer that connects and says nothing is let go after this long.
constexpr int kIdlePeerMs = 10000;

// A folder of this user's that nobody else may enter, not reached through a link.
bool IsPrivateFolder(const QByteArray& path, bool repair)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 077) == 0)
        return true;
    // Ours but open to others: close it (the socket and lock inside are what it guards).
    return repair && ::chmod(path.constData(), 0700) == 0 && IsPrivateFolder(path, false);
}

// Whether the peer of a connected local socket runs as this user.
bool PeerIsThisUser(qintptr fd)
{
    struct ucred cred {};
    socklen_t size = sizeof cred;
    return ::getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && size == sizeof cred
        && cred.uid == ::geteuid();
}

} // namespace

CSingleInstanceChannel::CSingleInstanceChannel(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name))
{
}

CSingleInstanceChannel::~CSingleInstanceChannel()
{
    if (m_server)
        m_server->close();
    // The lock file stays: removing it could let two later starts lock two different files.
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString CSingleInstanceChannel::PrivateFolder(const QString& base)
{
    const QString folder = base + QString("/marlox-%1").arg(static_cast<qulonglong>(::geteuid()));
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    return IsPrivateFolder(path, true) ? folder : QString();
}

QString CSingleInstanceChannel::DefaultName()
{
    // Tests run programs side by side: each names its own channel.
    QByteArray own = qgetenv("MARLOX_INSTANCE_NAME");
    if (!own.isEmpty())
        return QString::fromLocal8Bit(own);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && IsPrivateFolder(runtime, false))
        return QString::fromLocal8Bit(runtime) + "/marlox.sock";
    // Without a runtime folder, a folder of our own in the temporary folder:
    // a name there alone would be reachable by every user of the machine.
    const QString folder = PrivateFolder(QDir::tempPath());
    return folder.isEmpty() ? QString() : folder + "/marlox.sock";
}

QString CSingleInstanceChannel::LockPath() const
{
    // QLocalServer puts a name without a folder in the temporary folder.
    const QString socket = m_name.startsWith('/') ? m_name : QDir::tempPath() + "/" + m_name;
    return socket + ".lock";
}

bool CSingleInstanceChannel::Claim()
{
    if (m_lockFd >= 0)
        return true;
    if (m_name.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(LockPath());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    // The kernel lets go of the lock when the holder ends, however it ends.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
}

bool CSingleInstanceChannel::IsListening() const { return m_server && m_server->isListening(); }

bool CSingleInstanceChannel::Listen()
{
    if (IsListening())
        return true;
    if (!Claim())
        return false;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CSingleInstanceChannel::OnNewConnection);
    }
    // The name is ours: whatever lies under it is the socket of a copy that
    // ended without closing it.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

void CSingleInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(socket->socketDescriptor())) {
            // Another user's program: no word is read from it and none is sent.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        QTimer::singleShot(kIdlePeerMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxCommand)
                    socket->abort();
                return;
            }
            QByteArray line = socket->readLine(kMaxCommand);
            if (line.endsWith('\n'))
                line.chop(1);
            const std::string command = line.toStdString();
            QPointer<QLocalSocket> alive(socket);
            bool done = true;
            if (command != kQuery) {
                emit commandReceived(QString::fromUtf8(line));
                done = m_handler ? m_handler(command) : false;
            }
            // The sender may have gone meanwhile; its socket with it.
            if (!alive || alive->state() != QLocalSocket::ConnectedState)
                return;
            alive->write(done ? "1\n" : "0\n");
            alive->flush();
            alive->disconnectFromServer();
        });
    }
}

int CSingleInstanceChannel::Exchange(const QString& name, const std::string& command, int connectTimeoutMs,
                                     int answerTimeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(connectTimeoutMs))
        return -1;
    QByteArray data = QByteArray::fromStdString(command);
    data.replace('\n', ' ');
    data += '\n';
    socket.write(data);
    if (!socket.waitForBytesWritten(answerTimeoutMs))
        return -1;
    while (!socket.canReadLine()) {
        // Ends early when the running copy goes away.
        if (!socket.waitForReadyRead(answerTimeoutMs))
            return -1;
    }
    QByteArray answer = socket.readLine().trimmed();
    socket.disconnectFromServer();
    return answer == "1" ? 1 : 0;
}

bool CSingleInstanceChannel::IsRunning(const QString& name, int timeoutMs)
{
    return Exchange(name, kQuery, timeoutMs, timeoutMs) == 1;
}

CSingleInstanceChannel::Sent CSingleInstanceChannel::Send(const QString& name, const std::string& command,
                                                          int connectTimeoutMs)
{
    // The running copy answers as soon as it has read the request; it may be
    // busy a while before it reads it (a file it is loading): wait for it.
    switch (Exchange(name, command, connectTimeoutMs, -1)) {
    case 1: return Sent::Taken;
    case 0: return Sent::Refused;
    default: return Sent::NoAnswer;
    }
}
