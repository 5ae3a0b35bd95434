#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

// One kelto window per working folder and user. The first kelto started on a folder holds a
// lock file and listens on a local socket beside it; a later one hands its paths over that
// socket, waits until the first has them, and ends without a window. Two windows on one folder
// would overwrite each other's Settings.ini and FileList.m3u.
class CSingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        First,       // this is the folder's instance: it listens (see GetError when it cannot)
        HandedOver,  // the running instance has the paths
        NoAnswer,    // another instance holds the folder but did not take the paths in time
        Failed,      // the lock could not be taken or probed at all (GetError says why)
    };

    // The socket of folder (a canonical path) for the user uid: named from a hash of both, in
    // runtimeFolder unless its full path would come near the limit of a socket's name, then in
    // the temporary folder, then in /tmp.
    static std::string SocketPath(const std::string& folder, unsigned uid,
                                  const std::string& runtimeFolder);
    // The same for this user, under $XDG_RUNTIME_DIR when set, else the temporary folder.
    static std::string SocketPathOf(const std::string& folder);

    explicit CSingleInstance(std::string socketPath);
    ~CSingleInstance() override;

    // Becomes the folder's instance, or hands paths to the one that is; gives up after
    // timeoutMilliseconds when that one does not take them (it may be ending: its lock is then
    // taken over).
    Outcome Start(const std::vector<std::string>& paths, int timeoutMilliseconds);
    // Takes the paths of every later start (none: only come to the front). Paths that came
    // before a receiver was given are handed to it at once.
    void SetReceiver(std::function<void(const std::vector<std::string>&)> receiver);
    // Takes no more paths: the window is about to save its list for the last time. The lock
    // stays until this object goes; a later start waits for that and becomes the instance.
    void StopListening();
    const std::string& GetError() const { return m_error; }
    const std::string& GetSocketPath() const { return m_socketPath; }

private:
    // A later start talking to this one: what it sent so far, and whether it has been told
    // that its paths were taken (they are then added once it confirms).
    struct Connection {
        QByteArray Received;
        std::vector<std::string> Paths;
        bool Taken = false;
    };

    void Listen();
    void OnConnection();
    void OnReadable(QLocalSocket* socket);
    void Forget(QLocalSocket* socket);
    void Deliver(std::vector<std::string> paths);

    std::string m_socketPath;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
    std::map<QLocalSocket*, Connection> m_connections;
    std::function<void(const std::vector<std::string>&)> m_receiver;
    std::vector<std::string> m_waiting;
    std::string m_error;
};

// The hand-over on the wire: "kelto\x01", the number of paths, then each path's length and its
// bytes (any bytes: a name may hold a line break or be no UTF-8 at all); numbers as 4 bytes,
// most significant first. The receiver answers with one byte, kTaken, once it has the whole
// message; the sender confirms with kConfirmed and ends, and only then are the paths added. A
// sender that gave up before it heard kTaken (and said so) thus never has its paths added later.
namespace handover {

constexpr char kTaken = 0x06;
constexpr char kConfirmed = 0x04;

QByteArray Encode(const std::vector<std::string>& paths);

enum class Decoded { Incomplete, Complete, Bad };
// Reads a whole message from the start of data into paths.
Decoded Decode(const QByteArray& data, std::vector<std::string>* paths);

// Sends paths to the instance listening at socketPath and waits until it has taken them; false
// when nobody listens there, it cut the connection or did not answer in time. Needs no event loop:
// any thread may call it.
bool Send(const std::string& socketPath, const std::vector<std::string>& paths,
          int timeoutMilliseconds);

}  // namespace handover
