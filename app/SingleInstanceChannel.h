// One running Marlox per user: the first copy listens on a local socket; a
// later start hands its request (open, print or new-from-template, in the
// shell's command form) to that copy and exits. The channel also answers the
// question "Is Marlox running?".
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QLocalServer;

class CSingleInstanceChannel : public QObject {
    Q_OBJECT
public:
    // The text that asks whether a copy runs; the running copy answers 1.
    static constexpr const char* kQuery = "Is Marlox running?";

    // The handler gets each command and says whether it was carried out.
    using Handler = std::function<bool(const std::string& command)>;

    explicit CSingleInstanceChannel(QString name = DefaultName(), QObject* parent = nullptr);
    ~CSingleInstanceChannel() override;

    // This user's socket: "marlox.sock" in $XDG_RUNTIME_DIR, else a name
    // holding the user id in the temporary folder.
    static QString DefaultName();
    const QString& GetName() const { return m_name; }

    // Becomes the running copy: true when this object now listens. False when
    // another copy answers on the name. A socket left behind by a copy that
    // died is removed and taken over.
    bool Listen();
    bool IsListening() const;
    void SetHandler(Handler handler) { m_handler = std::move(handler); }

    // Whether a copy answers on the name (from any thread).
    static bool IsRunning(const QString& name, int timeoutMs = 1000);
    // Hands a command to the running copy and waits for its answer (from any
    // thread that is not the running copy's own). True when it was carried out.
    static bool Send(const QString& name, const std::string& command, int timeoutMs = 5000);

signals:
    void commandReceived(const QString& command);

private:
    void OnNewConnection();
    static int Exchange(const QString& name, const std::string& command, int timeoutMs);

    QString m_name;
    QLocalServer* m_server = nullptr;
    Handler m_handler;
};
