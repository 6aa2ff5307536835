#include "app/SingleInstanceChannel.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <memory>
#include <unistd.h>

namespace {
// Commands are one line of UTF-8; the answer is "1" or "0" and a line end.
constexpr qint64 kMaxCommand = 64 * 1024;
} // namespace

CSingleInstanceChannel::CSingleInstanceChannel(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name))
{
}

CSingleInstanceChannel::~CSingleInstanceChannel()
{
    if (m_server)
        m_server->close();
}

QString CSingleInstanceChannel::DefaultName()
{
    // Tests run programs side by side: each names its own channel.
    QByteArray own = qgetenv("MARLOX_INSTANCE_NAME");
    if (!own.isEmpty())
        return QString::fromLocal8Bit(own);
    QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime) + "/marlox.sock";
    return QString("marlox-%1.sock").arg(static_cast<qulonglong>(::getuid()));
}

bool CSingleInstanceChannel::IsListening() const { return m_server && m_server->isListening(); }

bool CSingleInstanceChannel::Listen()
{
    if (IsListening())
        return true;
    // Ask first: listening with access options replaces a socket file that
    // exists, so a running copy must be found before that.
    if (IsRunning(m_name))
        return false;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CSingleInstanceChannel::OnNewConnection);
    }
    // Nobody answers: whatever lies under the name is the socket of a copy
    // that ended without closing it.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

void CSingleInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxCommand)
                    socket->abort();
                return;
            }
            QByteArray line = socket->readLine(kMaxCommand);
            if (line.endsWith('\n'))
                line.chop(1);
            std::string command = line.toStdString();
            bool done;
            if (command == kQuery) {
                done = true;
            } else {
                emit commandReceived(QString::fromUtf8(line));
                done = m_handler ? m_handler(command) : false;
            }
            socket->write(done ? "1\n" : "0\n");
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

int CSingleInstanceChannel::Exchange(const QString& name, const std::string& command, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return -1;
    QByteArray data = QByteArray::fromStdString(command);
    data.replace('\n', ' ');
    data += '\n';
    socket.write(data);
    if (!socket.waitForBytesWritten(timeoutMs))
        return -1;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return -1;
    }
    QByteArray answer = socket.readLine().trimmed();
    socket.disconnectFromServer();
    return answer == "1" ? 1 : 0;
}

bool CSingleInstanceChannel::IsRunning(const QString& name, int timeoutMs)
{
    return Exchange(name, kQuery, timeoutMs) == 1;
}

bool CSingleInstanceChannel::Send(const QString& name, const std::string& command, int timeoutMs)
{
    return Exchange(name, command, timeoutMs) == 1;
}
