#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/UserId.h"

namespace {

constexpr char kMagic[] = "kelto\x01";
constexpr int kMagicSize = 6;
constexpr std::uint32_t kMostPaths = 1u << 20;
constexpr std::uint32_t kLongestPath = 1u << 16;
constexpr qsizetype kLargestMessage = qsizetype{64} << 20;
// A socket's name holds at most 107 bytes; well under it, whatever the folder.
constexpr std::size_t kLongestSocketPath = 99;
// How long a start waits between two tries while the running instance does not listen yet
// (it is starting) or any more (it is ending).
constexpr unsigned long kRetryMilliseconds = 50;
// How long an ending instance waits for the word of a start it has told that it took its paths.
constexpr int kLastWordMilliseconds = 200;

void Put32(QByteArray& data, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) data.append(static_cast<char>(value >> shift));
}

std::uint32_t Get32(const QByteArray& data, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    return value;
}

int Remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

}  // namespace

std::string CSingleInstance::SocketPath(const std::string& folder, unsigned uid,
                                        const std::string& runtimeFolder) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(uid));
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(QByteArrayView(folder.data(), static_cast<qsizetype>(folder.size())));
    const std::string name = "kelto-" + hash.result().toHex().left(16).toStdString();
    for (std::string place : {runtimeFolder, QDir::tempPath().toStdString(), std::string("/tmp")}) {
        while (place.size() > 1 && place.back() == '/') place.pop_back();
        if (place.empty() || place.size() + 1 + name.size() > kLongestSocketPath) continue;
        return (place == "/" ? "" : place) + "/" + name;
    }
    return "/tmp/" + name;
}

std::string CSingleInstance::SocketPathOf(const std::string& folder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return SocketPath(folder, platform::UserId(), runtime ? runtime : "");
}

CSingleInstance::CSingleInstance(std::string socketPath)
    : m_socketPath(std::move(socketPath)), m_lock(QString::fromStdString(m_socketPath + ".lock")) {
    // kelto runs for days: only a holder that is gone makes its lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

CSingleInstance::~CSingleInstance() {
    // Whoever received the paths may be gone already: a word still collected now is dropped.
    m_receiver = nullptr;
    // The socket goes before the lock, so that whoever takes the lock finds no socket to try.
    StopListening();
    m_lock.unlock();
}

void CSingleInstance::StopListening() {
    if (!m_server) return;
    m_server->close();
    // A start told that its paths were taken may have sent its word already: it ended
    // believing them taken. Any other start is cut off and tries again until this one has gone.
    std::vector<QLocalSocket*> told;
    for (const auto& [socket, connection] : m_connections) {
        if (connection.Taken) told.push_back(socket);
    }
    for (QLocalSocket* socket : told) {
        if (m_connections.count(socket) && socket->bytesAvailable() == 0) {
            socket->waitForReadyRead(kLastWordMilliseconds);
        }
        OnReadable(socket);
    }
    for (const auto& [socket, connection] : m_connections) {
        disconnect(socket, nullptr, this, nullptr);
        socket->abort();
        socket->deleteLater();
    }
    m_connections.clear();
}

CSingleInstance::Outcome CSingleInstance::Start(const std::vector<std::string>& paths,
                                                int timeoutMilliseconds) {
    const QDeadlineTimer deadline(timeoutMilliseconds);
    for (;;) {
        if (m_lock.tryLock(0)) {
            Listen();
            return Outcome::First;
        }
        if (m_lock.error() != QLockFile::LockFailedError) {
            m_error = "the lock file " + m_socketPath + ".lock cannot be made";
            return Outcome::Failed;
        }
        if (handover::Send(m_socketPath, paths, Remaining(deadline))) return Outcome::HandedOver;
        if (deadline.hasExpired()) return Outcome::NoAnswer;
        QThread::msleep(kRetryMilliseconds);
    }
}

void CSingleInstance::Listen() {
    const QString name = QString::fromStdString(m_socketPath);
    // This process holds the lock: a socket found there was left by a kelto that is gone.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnConnection);
    if (!m_server->listen(name)) {
        m_error = "cannot listen on " + m_socketPath + ": " + m_server->errorString().toStdString();
    }
}

void CSingleInstance::OnConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        m_connections[socket] = {};
        // Gone before its word: it gave up waiting (and said so), so its paths are not taken.
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { Forget(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        OnReadable(socket);
    }
}

void CSingleInstance::Forget(QLocalSocket* socket) {
    m_connections.erase(socket);
    socket->deleteLater();
}

void CSingleInstance::OnReadable(QLocalSocket* socket) {
    const auto found = m_connections.find(socket);
    if (found == m_connections.end()) return;
    Connection& connection = found->second;
    connection.Received.append(socket->readAll());
    if (connection.Taken) {
        if (connection.Received.isEmpty()) return;
        const bool confirmed = connection.Received == QByteArray(1, handover::kConfirmed);
        std::vector<std::string> paths = std::move(connection.Paths);
        Forget(socket);
        socket->abort();
        if (confirmed) Deliver(std::move(paths));
        return;
    }
    switch (handover::Decode(connection.Received, &connection.Paths)) {
        case handover::Decoded::Incomplete:
            return;
        case handover::Decoded::Bad:
            Forget(socket);
            socket->abort();
            return;
        case handover::Decoded::Complete:
            break;
    }
    connection.Received.clear();
    connection.Taken = true;
    socket->write(&handover::kTaken, 1);
    socket->flush();
}

void CSingleInstance::Deliver(std::vector<std::string> paths) {
    if (m_receiver) {
        m_receiver(paths);
    } else {
        m_waiting.insert(m_waiting.end(), paths.begin(), paths.end());
    }
}

void CSingleInstance::SetReceiver(std::function<void(const std::vector<std::string>&)> receiver) {
    m_receiver = std::move(receiver);
    if (m_receiver && !m_waiting.empty()) {
        const std::vector<std::string> waiting = std::move(m_waiting);
        m_waiting.clear();
        m_receiver(waiting);
    }
}

namespace handover {

QByteArray Encode(const std::vector<std::string>& paths) {
    QByteArray data(kMagic, kMagicSize);
    Put32(data, static_cast<std::uint32_t>(paths.size()));
    for (const std::string& path : paths) {
        Put32(data, static_cast<std::uint32_t>(path.size()));
        data.append(path.data(), static_cast<qsizetype>(path.size()));
    }
    return data;
}

Decoded Decode(const QByteArray& data, std::vector<std::string>* paths) {
    const qsizetype head = std::min<qsizetype>(data.size(), kMagicSize);
    if (data.left(head) != QByteArray(kMagic, head) || data.size() > kLargestMessage) {
        return Decoded::Bad;
    }
    if (data.size() < kMagicSize + 4) return Decoded::Incomplete;
    const std::uint32_t count = Get32(data, kMagicSize);
    if (count > kMostPaths) return Decoded::Bad;
    paths->clear();
    qsizetype at = kMagicSize + 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (data.size() < at + 4) return Decoded::Incomplete;
        const std::uint32_t length = Get32(data, at);
        if (length > kLongestPath) return Decoded::Bad;
        at += 4;
        if (data.size() < at + static_cast<qsizetype>(length)) return Decoded::Incomplete;
        paths->emplace_back(data.constData() + at, length);
        at += length;
    }
    return Decoded::Complete;
}

bool Send(const std::string& socketPath, const std::vector<std::string>& paths,
          int timeoutMilliseconds) {
    const QDeadlineTimer deadline(timeoutMilliseconds);
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    if (!socket.waitForConnected(Remaining(deadline))) return false;
    socket.write(Encode(paths));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(Remaining(deadline))) return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(Remaining(deadline))) return false;
    }
    char answer = 0;
    if (socket.read(&answer, 1) != 1 || answer != kTaken) return false;
    // From here on the paths are the running instance's: it adds them once it reads this word,
    // which it waits for even when it is ending. Without it, it drops them.
    socket.write(&kConfirmed, 1);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kLastWordMilliseconds)) break;
    }
    return true;
}

}  // namespace handover
