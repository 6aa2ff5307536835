// One running Marlox per user: the first copy claims a lock and, once it has
// started, listens on a local socket; a later start hands its request (open,
// print or new-from-template, in the shell's command form) to that copy and
// exits. The channel also answers the question "Is Marlox running?".
//
// The socket and its lock live where only this user can reach them, and a
// peer of another user is refused; a request is answered as soon as it is
// read, so the sender never waits on anything the running copy shows.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QSocketNotifier;

class CSingleInstanceChannel : public QObject {
    Q_OBJECT
public:
    // The text that asks whether a copy runs; the running copy answers 1.
    static constexpr const char* kQuery = "Is Marlox running?";

    // The handler gets each command and says whether it was taken. It is
    // called while the sender waits: it must only take note of the request
    // (carried out later), never run anything modal.
    using Handler = std::function<bool(const std::string& command)>;

    explicit CSingleInstanceChannel(QString name = DefaultName(), QObject* parent = nullptr);
    ~CSingleInstanceChannel() override;

    // This user's socket: "marlox.sock" in $XDG_RUNTIME_DIR when that is a
    // folder of this user's that nobody else may enter, else in the folder
    // "marlox-<uid>" of the temporary folder, made with mode 0700. Empty when
    // neither is safe: the program then runs without a channel.
    static QString DefaultName();
    // The per-user folder below base (made when missing); empty when it is
    // not a folder of this user's closed to others and cannot be made one.
    static QString PrivateFolder(const QString& base);
    const QString& GetName() const { return m_name; }
    // The lock beside the socket.
    QString LockPath() const;

    // Claims the name for this copy until it ends: false while another copy
    // (running or still starting) holds it.
    bool Claim();
    bool IsClaimed() const { return m_lockFd >= 0; }
    // Becomes the running copy: claims the name and listens. False when
    // another copy holds it. A socket left behind by a copy that died is
    // removed and taken over.
    bool Listen();
    bool IsListening() const;
    void SetHandler(Handler handler) { m_handler = std::move(handler); }

    // Whether a copy answers on the name (from any thread).
    static bool IsRunning(const QString& name, int timeoutMs = 1000);
    // Hands a command to the running copy and waits for its answer as long as
    // that copy lives (from any thread that is not the running copy's own).
    enum class Sent { Taken, Refused, NoAnswer };
    static Sent Send(const QString& name, const std::string& command, int connectTimeoutMs = 1000);

signals:
    void commandReceived(const QString& command);

private:
    class CPeer;
    void OnNewConnection();
    void OnLine(CPeer* peer, const QByteArray& line);
    // The socket's path: the name itself when it has a folder, else the
    // name in the temporary folder.
    static QString SocketPath(const QString& name);
    static int Exchange(const QString& name, const std::string& command, int connectTimeoutMs, int answerTimeoutMs);

    QString m_name;
    int m_listenFd = -1;
    QSocketNotifier* m_listening = nullptr;
    Handler m_handler;
    int m_lockFd = -1;
};
