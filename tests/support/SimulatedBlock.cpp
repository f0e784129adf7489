#include "support/SimulatedBlock.h"

#include <QFile>
#include <QHostAddress>
#include <QSslSocket>
#include <QTcpServer>
#include <QtEndian>

#include <zlib.h>

// The certificate and key in tests/support/data were made once with
//   openssl req -x509 -newkey rsa:2048 -nodes -keyout simulated-block.key -out simulated-block.crt
//       -days 36500 -subj "/CN=127.0.0.1" -addext "subjectAltName=IP:127.0.0.1"
// (one command line)
// Run it again in that folder to replace them.

class SimulatedBlock::Server : public QTcpServer
{
public:
    std::function<void(qintptr)> onIncoming;

protected:
    void incomingConnection(qintptr descriptor) override { onIncoming(descriptor); }
};

struct SimulatedBlock::Connection
{
    QTcpSocket *socket = nullptr;
    QByteArray buffer;
    // When the headers of the request at the buffer's start were whole; -1 before.
    qint64 headersMs = -1;
    // Answers in request order; an entry that is not ready blocks the ones after it.
    struct Pending
    {
        QByteArray bytes;
        bool ready = false;
    };
    QList<Pending> queue;
    // One chunk of an endless answer, written again whenever the client has taken the last.
    QByteArray streamChunk;
};

namespace {

QByteArray readDataFile(const char *name)
{
    QFile file(QStringLiteral(ORVA_TESTSUPPORT_DATA_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("SimulatedBlock: cannot read %s", qPrintable(file.fileName()));
    return file.readAll();
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 406: return "Not Acceptable";
    case 409: return "Conflict";
    case 410: return "Gone";
    case 415: return "Unsupported Media Type";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

QByteArray withoutApiPrefix(const QByteArray &path)
{
    static const QByteArray prefix = "/api/";
    return path.startsWith(prefix) ? path.mid(prefix.size() - 1) : path;
}

} // namespace

QByteArray SimulatedBlock::Request::header(const QByteArray &name) const
{
    for (const Header &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return QByteArray();
}

bool SimulatedBlock::Request::hasHeader(const QByteArray &name) const
{
    for (const Header &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QList<QByteArray> SimulatedBlock::Request::headerNames() const
{
    QList<QByteArray> names;
    for (const Header &h : headers)
        names << h.first;
    return names;
}

SimulatedBlock::SimulatedBlock(Scheme scheme, QObject *parent)
    : QObject(parent), m_scheme(scheme), m_server(new Server)
{
    m_server->onIncoming = [this](qintptr descriptor) { handleIncoming(descriptor); };
    m_clock.start();
}

SimulatedBlock::~SimulatedBlock()
{
    close();
}

bool SimulatedBlock::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

void SimulatedBlock::close()
{
    m_server->close();
    const auto connections = m_connections;
    for (Connection *connection : connections)
        dropConnection(connection);
}

quint16 SimulatedBlock::port() const
{
    return m_server->serverPort();
}

QList<QByteArray> SimulatedBlock::blockPaths()
{
    return {"/block_info", "/block_ssl_info", "/block_status_info", "/cubes/all",
            "/cubes/analytics/info", "/cubes/cameras/info", "/users/auth", "/users/logout"};
}

void SimulatedBlock::setReply(const QByteArray &path, const Reply &reply)
{
    m_replies.insert(path, reply);
}

void SimulatedBlock::setReply(const QByteArray &path, int status, const QByteArray &contentType,
                              const QByteArray &body)
{
    Reply r;
    r.status = status;
    r.contentType = contentType;
    r.body = body;
    setReply(path, r);
}

void SimulatedBlock::setAction(const QByteArray &path, Action action)
{
    Reply r = reply(path);
    r.action = action;
    setReply(path, r);
}

SimulatedBlock::Reply SimulatedBlock::reply(const QByteArray &path) const
{
    const auto it = m_replies.constFind(path);
    if (it != m_replies.constEnd())
        return it.value();
    Reply r;
    if (!blockPaths().contains(path)) {
        r.status = 404;
        r.body = R"({"error":{"code":404,"reason":"not_found","message":"No such path."}})";
    }
    return r;
}

void SimulatedBlock::resetReplies()
{
    m_replies.clear();
    m_responders.clear();
    m_noAnswer.clear();
}

void SimulatedBlock::setResponder(const QByteArray &path, const Responder &responder)
{
    m_responders.insert(path, responder);
}

void SimulatedBlock::setNoAnswer(const QByteArray &path, bool noAnswer)
{
    if (noAnswer)
        m_noAnswer.insert(path);
    else
        m_noAnswer.remove(path);
}

namespace {

QVector<SimulatedBlock::Request> ofPath(const QVector<SimulatedBlock::Request> &requests, const QByteArray &path)
{
    QVector<SimulatedBlock::Request> found;
    for (const SimulatedBlock::Request &request : requests) {
        if (withoutApiPrefix(request.path) == path)
            found.append(request);
    }
    return found;
}

} // namespace

QVector<SimulatedBlock::Request> SimulatedBlock::requests(const QByteArray &path) const
{
    return ofPath(m_requests, path);
}

QVector<SimulatedBlock::Request> SimulatedBlock::cutOffRequests(const QByteArray &path) const
{
    return ofPath(m_cutOff, path);
}

qint64 SimulatedBlock::elapsedMs() const
{
    return m_clock.elapsed();
}

int SimulatedBlock::heldCount() const
{
    int count = 0;
    for (const Connection *connection : m_connections) {
        for (const auto &pending : connection->queue)
            count += pending.ready ? 0 : 1;
    }
    return count;
}

void SimulatedBlock::releaseHeld()
{
    const auto connections = m_connections;
    for (Connection *connection : connections) {
        for (auto &pending : connection->queue)
            pending.ready = true;
        flush(connection);
    }
}

int SimulatedBlock::connectionCount() const
{
    return m_connections.size();
}

QSslCertificate SimulatedBlock::certificate()
{
    static const QSslCertificate certificate(readDataFile("simulated-block.crt"), QSsl::Pem);
    return certificate;
}

QSslKey SimulatedBlock::privateKey()
{
    static const QSslKey key(readDataFile("simulated-block.key"), QSsl::Rsa, QSsl::Pem);
    return key;
}

void SimulatedBlock::handleIncoming(qintptr descriptor)
{
    auto *connection = new Connection;
    if (m_scheme == Scheme::Https) {
        auto *socket = new QSslSocket(this);
        connection->socket = socket;
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            delete connection;
            return;
        }
        socket->setLocalCertificate(certificate());
        socket->setPrivateKey(privateKey());
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        // A client that rejects the certificate ends the handshake; the socket then disconnects.
        connect(socket, QOverload<const QList<QSslError> &>::of(&QSslSocket::sslErrors), socket,
                [socket](const QList<QSslError> &) { socket->ignoreSslErrors(); });
        socket->startServerEncryption();
    } else {
        connection->socket = new QTcpSocket(this);
        if (!connection->socket->setSocketDescriptor(descriptor)) {
            delete connection->socket;
            delete connection;
            return;
        }
    }
    m_connections.append(connection);
    connect(connection->socket, &QTcpSocket::readyRead, this, [this, connection]() { handleReadyRead(connection); });
    auto *tls = qobject_cast<QSslSocket *>(connection->socket);
    connect(connection->socket, &QTcpSocket::bytesWritten, this, [this, connection, tls](qint64 bytes) {
        if (!tls)
            m_sentBytes += bytes;
        feed(connection);
    });
    if (tls) {
        connect(tls, &QSslSocket::encryptedBytesWritten, this, [this, connection](qint64 bytes) {
            m_sentBytes += bytes;
            feed(connection);
        });
    }
    connect(connection->socket, &QTcpSocket::disconnected, this, [this, connection]() {
        if (m_connections.contains(connection))
            onClientClosed(connection);
    });
}

void SimulatedBlock::dropConnection(Connection *connection)
{
    m_connections.removeAll(connection);
    connection->socket->disconnect(this);
    connection->socket->abort();
    connection->socket->deleteLater();
    delete connection;
}

void SimulatedBlock::onClientClosed(Connection *connection)
{
    // What came with the close is read first; a request that is still short of its body then
    // was cut off by the client.
    handleReadyRead(connection);
    if (!m_connections.contains(connection))
        return;
    Request request;
    int headerEnd = 0;
    if (parseHead(connection->buffer, &request, &headerEnd)) {
        request.body = connection->buffer.mid(headerEnd + 4);
        request.headersMs = connection->headersMs;
        request.receivedMs = m_clock.elapsed();
        m_cutOff.append(request);
    }
    dropConnection(connection);
}

void SimulatedBlock::handleReadyRead(Connection *connection)
{
    // A write error makes Qt abort the socket, which closes it before it says so.
    if (connection->socket->isReadable())
        connection->buffer += connection->socket->readAll();
    while (m_connections.contains(connection) && parseOne(connection)) {
    }
}

// Takes one complete request off the buffer and queues (or refuses) its answer; false when the
// buffer holds no complete request or the connection was dropped.
bool SimulatedBlock::parseHead(const QByteArray &buffer, Request *request, int *headerEnd)
{
    *headerEnd = buffer.indexOf("\r\n\r\n");
    if (*headerEnd < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(*headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request->method = requestLine.value(0);
    request->path = requestLine.value(1);
    for (int i = 1; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        // Only the blank after the colon goes; trailing blanks stay so tests see the value as sent.
        QByteArray value = line.mid(colon + 1);
        while (value.startsWith(' ') || value.startsWith('\t'))
            value.remove(0, 1);
        request->headers.append({line.left(colon).trimmed(), value});
    }
    return true;
}

bool SimulatedBlock::parseOne(Connection *connection)
{
    Request request;
    int headerEnd = 0;
    if (!parseHead(connection->buffer, &request, &headerEnd))
        return false;
    if (connection->headersMs < 0)
        connection->headersMs = m_clock.elapsed();
    const int length = request.header("Content-Length").toInt();
    const int total = headerEnd + 4 + length;
    if (connection->buffer.size() < total)
        return false;
    request.body = connection->buffer.mid(headerEnd + 4, length);
    request.headersMs = connection->headersMs;
    connection->headersMs = -1;
    request.receivedMs = m_clock.elapsed();
    connection->buffer.remove(0, total);

    m_requests.append(request);
    const QByteArray path = withoutApiPrefix(request.path);
    const auto responder = m_responders.constFind(path);
    Reply answer = reply(path);
    if (responder != m_responders.constEnd()) {
        // setAction() still holds or drops the answers a responder builds.
        const Action action = answer.action;
        answer = responder.value()(request);
        if (action != Action::Answer)
            answer.action = action;
    }
    if (m_noAnswer.contains(path))
        answer.action = Action::Close;
    if (answer.action == Action::Close) {
        dropConnection(connection);
        emit requestReceived(m_requests.size() - 1);
        return false;
    }
    // Behind an answer that never ends, a pipelined request waits for ever.
    if (!connection->streamChunk.isEmpty()) {
        emit requestReceived(m_requests.size() - 1);
        return true;
    }
    connection->queue.append({buildResponse(answer, request), answer.action != Action::Hold});
    if (answer.action == Action::Stream)
        connection->streamChunk = QByteArray::number(answer.body.size(), 16) + "\r\n" + answer.body + "\r\n";
    flush(connection);
    emit requestReceived(m_requests.size() - 1);
    return true;
}

void SimulatedBlock::flush(Connection *connection)
{
    while (!connection->queue.isEmpty() && connection->queue.first().ready)
        connection->socket->write(connection->queue.takeFirst().bytes);
    feed(connection);
}

void SimulatedBlock::feed(Connection *connection)
{
    const QByteArray &chunk = connection->streamChunk;
    if (chunk.isEmpty() || !connection->queue.isEmpty())
        return;
    // TLS reports plain bytes as written once they are encrypted, not once they are sent.
    auto *tls = qobject_cast<QSslSocket *>(connection->socket);
    const auto pending = [&]() {
        return connection->socket->bytesToWrite() + (tls ? tls->encryptedBytesToWrite() : 0);
    };
    while (connection->socket->state() == QAbstractSocket::ConnectedState && pending() < chunk.size()) {
        if (connection->socket->write(chunk) < 0)
            return;
    }
}

QByteArray SimulatedBlock::buildResponse(const Reply &answer, const Request &request) const
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonPhrase(answer.status) + "\r\n";
    if (!answer.contentType.isEmpty())
        out += "Content-Type: " + answer.contentType + "\r\n";
    const bool chunked = answer.chunked || answer.action == Action::Stream;
    if (chunked)
        out += "Transfer-Encoding: chunked\r\n";
    else
        out += "Content-Length: "
            + QByteArray::number(answer.declaredLength >= 0 ? answer.declaredLength : answer.body.size()) + "\r\n";
    bool ownRequestId = false;
    for (const Header &h : answer.headers)
        ownRequestId = ownRequestId || h.first.compare("RequestId", Qt::CaseInsensitive) == 0;
    if (answer.echoRequestId && !ownRequestId && request.hasHeader("RequestID"))
        out += "RequestId: " + request.header("RequestID") + "\r\n";
    for (const Header &h : answer.headers)
        out += h.first + ": " + h.second + "\r\n";
    out += "Connection: keep-alive\r\n\r\n";
    if (answer.action == Action::Stream)
        return out;
    if (!chunked)
        return out + answer.body;
    constexpr int ChunkBytes = 64 * 1024;
    for (int at = 0; at < answer.body.size(); at += ChunkBytes) {
        const QByteArray chunk = answer.body.mid(at, ChunkBytes);
        out += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return out + "0\r\n\r\n";
}

SimulatedBlock::Reply SimulatedBlock::movedTo(const QByteArray &location)
{
    Reply moved;
    moved.status = 301;
    moved.contentType = "text/html";
    moved.body = "<html>moved</html>";
    moved.headers = {{"Location", location}};
    return moved;
}

QByteArray SimulatedBlock::gzipOfZeros(qint64 inflatedSize)
{
    // Deflate blocks ended by a full flush reach back to nothing before them: one such run,
    // repeated, is a valid stream.
    constexpr int UnitBytes = 16 * 1024 * 1024;
    const QByteArray zeros(UnitBytes, '\0');
    QByteArray unit(UnitBytes, '\0');
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
    stream.avail_in = UnitBytes;
    stream.next_out = reinterpret_cast<Bytef *>(unit.data());
    stream.avail_out = UnitBytes;
    deflate(&stream, Z_FULL_FLUSH);
    unit.resize(UnitBytes - int(stream.avail_out));
    deflateEnd(&stream);

    const qint64 units = inflatedSize / UnitBytes;
    const uLong unitCrc = crc32(0, reinterpret_cast<const Bytef *>(zeros.constData()), UnitBytes);
    uLong crc = unitCrc;
    for (qint64 i = 1; i < units; ++i)
        crc = crc32_combine(crc, unitCrc, UnitBytes);
    const auto littleEndian = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    // Header (no name, no time), the runs, an empty final block, CRC-32 and size modulo 2^32.
    return QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff", 10) + unit.repeated(int(units))
        + QByteArray("\x03\x00", 2) + littleEndian(quint32(crc)) + littleEndian(quint32(units * UnitBytes));
}
