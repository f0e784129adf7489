#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class QTcpSocket;

// A block's REST interface for tests: an HTTP/1.1 server on 127.0.0.1 (port chosen by the
// system), plain or TLS with the self-signed certificate of tests/support/data. It answers the
// block's paths ("/block_info", "/users/auth", ...) with and without the "/api" prefix, each with
// the reply a test sets for that path, and records every request it receives.
//
// Typical use:
//     SimulatedBlock block(SimulatedBlock::Scheme::Https);
//     QVERIFY(block.listen());
//     block.setReply("/users/auth", {401, "application/json", R"({"error":{"reason":"auth_error"}})"});
//     manager.setUrl(block.host(), block.port(), true);
//     ... block.requests().last().header("Authorization") ...
//
// Lives in the thread that creates it and works from that thread's event loop. Pipelined
// requests on one connection are answered in order; a held answer holds back the later ones of
// its connection.
class SimulatedBlock : public QObject
{
    Q_OBJECT

public:
    enum class Scheme { Http, Https };

    enum class Action {
        Answer, // send the reply at once
        Hold,   // keep the reply until releaseHeld()
        Close,  // drop the connection without any answer
        Stream, // send the head, then the body again and again as chunks, without end
    };

    using Header = QPair<QByteArray, QByteArray>;

    struct Reply
    {
        int status = 200;
        QByteArray contentType = "application/json"; // empty: no Content-Type header
        QByteArray body = "{}";
        Action action = Action::Answer;
        QList<Header> headers;       // extra headers, sent after the standard ones
        // Send the request's "RequestID" back as "RequestId", as a block does; a "RequestId"
        // entry in `headers` replaces the echo (to simulate a swapped payload).
        bool echoRequestId = true;
        // The Content-Length sent, when it is not the body's size: a larger one leaves the
        // client waiting for the rest.
        qint64 declaredLength = -1;
        // Sent in chunks, without a Content-Length.
        bool chunked = false;
    };

    struct Request
    {
        QByteArray method;
        QByteArray path;             // as requested, e.g. "/api/block_info"
        QList<Header> headers;       // in the order received
        QByteArray body;
        qint64 receivedMs = 0;       // when it was complete, on a steady clock (ms since the block was made)
        qint64 headersMs = 0;        // when its headers were, on that clock (a body may come later)

        QByteArray header(const QByteArray &name) const;  // case-insensitive; empty when absent
        bool hasHeader(const QByteArray &name) const;
        QList<QByteArray> headerNames() const;
    };

    explicit SimulatedBlock(Scheme scheme = Scheme::Http, QObject *parent = nullptr);
    ~SimulatedBlock() override;

    bool listen();                       // on 127.0.0.1, port 0
    void close();                        // stop listening and drop every connection
    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const;
    Scheme scheme() const { return m_scheme; }

    // Replies per path without "/api" ("/block_info"). Paths without a reply of their own get
    // the default reply: 200 with "{}" for the block's eight paths, 404 with an "error" object
    // for any other path.
    void setReply(const QByteArray &path, const Reply &reply);
    void setReply(const QByteArray &path, int status, const QByteArray &contentType, const QByteArray &body);
    void setAction(const QByteArray &path, Action action); // keeps the rest of the path's reply
    // A reply built from each request (a block that answers what it was asked); replaces the
    // path's fixed reply until resetReplies(), except for an action other than Answer set with
    // setAction(). An Action::Close answer gives the client status 0.
    using Responder = std::function<Reply(const Request &)>;
    void setResponder(const QByteArray &path, const Responder &responder);
    // Status 0 on demand: every request of the path is dropped without an answer while set.
    void setNoAnswer(const QByteArray &path, bool noAnswer);
    // Requests of one path (without "/api") in arrival order.
    QVector<Request> requests(const QByteArray &path) const;
    qint64 elapsedMs() const;            // the clock of Request::receivedMs
    Reply reply(const QByteArray &path) const;
    void resetReplies();

    QVector<Request> requests() const { return m_requests; }
    int requestCount() const { return m_requests.size(); }
    // Requests whose connection the client closed after their headers and before the body
    // they announced was whole (`body` holds what came); never answered, not in requests().
    QVector<Request> cutOffRequests() const { return m_cutOff; }
    QVector<Request> cutOffRequests(const QByteArray &path) const; // of one path, without "/api"
    Request lastRequest() const { return m_requests.isEmpty() ? Request() : m_requests.last(); }
    void clearRequests() { m_requests.clear(); m_cutOff.clear(); }

    // What the sockets handed to the system, heads and bodies of every answer on every
    // connection (encrypted over TLS): what a client that stops reading cannot be sent.
    qint64 sentBytes() const { return m_sentBytes; }

    int heldCount() const;
    void releaseHeld();                  // sends every held answer
    int connectionCount() const;         // open client connections

    static QSslCertificate certificate();
    static QSslKey privateKey();
    static QList<QByteArray> blockPaths(); // the eight paths the launcher uses
    // "Moved permanently" to `location`, with a small page.
    static Reply movedTo(const QByteArray &location);
    // A gzip body of about a thousandth of `inflatedSize` that inflates to that many zero bytes
    // (a multiple of 16 MiB).
    static QByteArray gzipOfZeros(qint64 inflatedSize);

signals:
    void requestReceived(int index);     // index into requests()

private:
    struct Connection;
    class Server;

    void handleIncoming(qintptr descriptor);
    void handleReadyRead(Connection *connection);
    void dropConnection(Connection *connection);
    void onClientClosed(Connection *connection);
    bool parseOne(Connection *connection);
    // The request line and headers of the buffer's first request; false while they are incomplete.
    static bool parseHead(const QByteArray &buffer, Request *request, int *headerEnd);
    void flush(Connection *connection);
    // Writes stream chunks while the socket holds less than one unsent.
    void feed(Connection *connection);
    QByteArray buildResponse(const Reply &reply, const Request &request) const;

    Scheme m_scheme;
    std::unique_ptr<Server> m_server;
    QHash<QByteArray, Reply> m_replies;
    QHash<QByteArray, Responder> m_responders;
    QSet<QByteArray> m_noAnswer;
    QElapsedTimer m_clock;
    QVector<Request> m_requests;
    QVector<Request> m_cutOff;
    QList<Connection *> m_connections;
    qint64 m_sentBytes = 0;
};
