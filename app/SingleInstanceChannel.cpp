#include "app/SingleInstanceChannel.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// Commands are one line of UTF-8; the answer is "1" or "0" and a line end.
constexpr qsizetype kMaxCommand = 64 * 1024;
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
bool PeerIsThisUser(int fd)
{
    struct ucred cred {};
    socklen_t size = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && size == sizeof cred
        && cred.uid == ::geteuid();
}

// The address of a socket at path; false when the path is too long for one.
bool AddressOf(const QString& path, sockaddr_un& address)
{
    const QByteArray bytes = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || std::size_t(bytes.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, bytes.constData(), std::size_t(bytes.size()));
    return true;
}

// What is left of timeoutMs since start (-1, forever, when it is negative).
int TimeLeft(int timeoutMs, std::chrono::steady_clock::time_point start)
{
    if (timeoutMs < 0)
        return -1;
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return std::max(0, timeoutMs - int(spent.count()));
}

// Whether a call on fd that failed may go again: it was interrupted, or fd
// becomes ready for events within what is left of timeoutMs since start.
bool MayRetry(int fd, short events, int timeoutMs, std::chrono::steady_clock::time_point start)
{
    if (errno == EINTR)
        return true;
    if (errno != EAGAIN && errno != EWOULDBLOCK)
        return false;
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, TimeLeft(timeoutMs, start));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

// One connected sender: its request is read as it comes, without waiting on
// it, and a peer that says nothing is let go after a while.
class CSingleInstanceChannel::CPeer : public QObject {
public:
    CPeer(int fd, CSingleInstanceChannel* channel) : QObject(channel), m_fd(fd), m_reading(fd, QSocketNotifier::Read)
    {
        connect(&m_reading, &QSocketNotifier::activated, this, [this, channel] { Read(channel); });
        QTimer::singleShot(kIdlePeerMs, this, [this] { Close(); });
    }
    ~CPeer() override
    {
        m_reading.setEnabled(false);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    // Answers (the sender may have gone meanwhile: nothing then) and lets go.
    void Answer(bool done)
    {
        if (m_fd >= 0)
            [[maybe_unused]] ssize_t sent = ::send(m_fd, done ? "1\n" : "0\n", 2, MSG_NOSIGNAL);
        Close();
    }
    void Close()
    {
        m_reading.setEnabled(false);
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        deleteLater();
    }

private:
    void Read(CSingleInstanceChannel* channel)
    {
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n > 0) {
                m_line.append(chunk, qsizetype(n));
                const qsizetype end = m_line.indexOf('\n');
                if (end > kMaxCommand || (end < 0 && m_line.size() > kMaxCommand))
                    return Close();
                if (end >= 0) {
                    // One request a connection: nothing more is read from it.
                    m_reading.setEnabled(false);
                    channel->OnLine(this, m_line.left(end));
                    return;
                }
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            // The sender has gone without a whole request.
            return Close();
        }
    }

    int m_fd;
    QSocketNotifier m_reading;
    QByteArray m_line;
};

CSingleInstanceChannel::CSingleInstanceChannel(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name))
{
}

CSingleInstanceChannel::~CSingleInstanceChannel()
{
    if (m_listenFd >= 0) {
        delete m_listening;
        ::close(m_listenFd);
        // The socket goes with the copy that listened on it.
        ::unlink(QFile::encodeName(SocketPath(m_name)).constData());
    }
    // The lock file stays: removing it could let two later starts lock two different files.
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString CSingleInstanceChannel::SocketPath(const QString& name)
{
    return name.startsWith('/') ? name : QDir::tempPath() + "/" + name;
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

QString CSingleInstanceChannel::LockPath() const { return SocketPath(m_name) + ".lock"; }

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

bool CSingleInstanceChannel::IsListening() const { return m_listenFd >= 0; }

bool CSingleInstanceChannel::Listen()
{
    if (IsListening())
        return true;
    if (!Claim())
        return false;
    sockaddr_un address;
    if (!AddressOf(SocketPath(m_name), address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // The name is ours: whatever lies under it is the socket of a copy that
    // ended without closing it.
    ::unlink(address.sun_path);
    // Only this user may connect (and the peer's user is checked as well).
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(address.sun_path, S_IRWXU) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        return false;
    }
    m_listenFd = fd;
    m_listening = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_listening, &QSocketNotifier::activated, this, &CSingleInstanceChannel::OnNewConnection);
    return true;
}

void CSingleInstanceChannel::OnNewConnection()
{
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        if (!PeerIsThisUser(fd)) {
            // Another user's program: no word is read from it and none is sent.
            ::close(fd);
            continue;
        }
        new CPeer(fd, this);
    }
}

void CSingleInstanceChannel::OnLine(CPeer* peer, const QByteArray& line)
{
    const std::string command = line.toStdString();
    QPointer<CPeer> alive(peer);
    bool done = true;
    if (command != kQuery) {
        emit commandReceived(QString::fromUtf8(line));
        done = m_handler ? m_handler(command) : false;
    }
    if (alive)
        alive->Answer(done);
}

int CSingleInstanceChannel::Exchange(const QString& name, const std::string& command, int connectTimeoutMs,
                                     int answerTimeoutMs)
{
    sockaddr_un address;
    if (!AddressOf(SocketPath(name), address))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    auto start = std::chrono::steady_clock::now();
    // A full backlog (the running copy busy) refuses for now: ask again until the time runs out.
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN || TimeLeft(connectTimeoutMs, start) == 0)
            return -1;
        ::poll(nullptr, 0, 5);
    }
    std::string data = command;
    std::replace(data.begin(), data.end(), '\n', ' ');
    data += '\n';
    start = std::chrono::steady_clock::now();
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n > 0)
            done += std::size_t(n);
        else if (n == 0 || !MayRetry(fd, POLLOUT, answerTimeoutMs, start))
            return -1;
    }
    // Ends early when the running copy goes away.
    std::string answer;
    start = std::chrono::steady_clock::now();
    while (answer.find('\n') == std::string::npos) {
        char chunk[64];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0)
            answer.append(chunk, std::size_t(n));
        else if (n == 0 || !MayRetry(fd, POLLIN, answerTimeoutMs, start))
            return -1;
        if (answer.size() > 64)
            return -1;
    }
    answer.resize(answer.find('\n'));
    while (!answer.empty() && (answer.back() == '\r' || answer.back() == ' '))
        answer.pop_back();
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
