#include "support/SimulatedTileServer.h"

#include <QBuffer>
#include <QColor>
#include <QHostAddress>
#include <QImage>
#include <QNetworkProxyFactory>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace {

const QString kOwnHost = QStringLiteral("127.0.0.1");

// "host:port" or "host" -> host; "[::1]:80" -> "::1".
QString hostOf(const QByteArray &hostAndPort)
{
    const QUrl url(QStringLiteral("http://") + QString::fromLatin1(hostAndPort.trimmed()));
    return url.isValid() ? url.host() : QString::fromLatin1(hostAndPort.trimmed());
}

// Direct to 127.0.0.1, everything else to the tile server, which records and refuses it.
class ForeignHostCatcher : public QNetworkProxyFactory
{
public:
    explicit ForeignHostCatcher(quint16 port)
        : m_port(port)
    {
    }

    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        if (query.peerHostName() == kOwnHost)
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return {QNetworkProxy(QNetworkProxy::HttpProxy, kOwnHost, m_port)};
    }

private:
    quint16 m_port;
};

} // namespace

SimulatedTileServer::SimulatedTileServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SimulatedTileServer::onNewConnection);
}

SimulatedTileServer::~SimulatedTileServer()
{
    if (m_catching)
        QNetworkProxyFactory::setApplicationProxyFactory(nullptr);
}

void SimulatedTileServer::catchForeignRequests()
{
    QNetworkProxyFactory::setApplicationProxyFactory(new ForeignHostCatcher(port()));
    m_catching = true;
}

bool SimulatedTileServer::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

quint16 SimulatedTileServer::port() const
{
    return m_server->serverPort();
}

QString SimulatedTileServer::baseUrl() const
{
    return QStringLiteral("http://%1:%2/").arg(kOwnHost).arg(port());
}

QStringList SimulatedTileServer::foreignHosts() const
{
    QStringList hosts;
    for (const Request &request : m_requests) {
        if (request.host != kOwnHost && !hosts.contains(request.host))
            hosts << request.host;
    }
    return hosts;
}

QStringList SimulatedTileServer::tilePaths() const
{
    QStringList paths;
    for (const Request &request : m_requests) {
        if (request.served)
            paths << QUrl(QString::fromLatin1(request.target)).toString(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    }
    return paths;
}

QByteArray SimulatedTileServer::tileImage()
{
    static const QByteArray png = [] {
        // Land with a grid of streets, so that a screenshot shows where tiles were drawn.
        QImage image(256, 256, QImage::Format_RGB32);
        image.fill(QColor(0xe9, 0xe5, 0xdc));
        QPainter painter(&image);
        painter.setPen(QPen(QColor(0xff, 0xff, 0xff), 6));
        for (int at = 32; at < 256; at += 64) {
            painter.drawLine(at, 0, at, 255);
            painter.drawLine(0, at, 255, at);
        }
        painter.setPen(QPen(QColor(0xc8, 0xc2, 0xb4), 1));
        painter.drawRect(0, 0, 255, 255);
        painter.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }();
    return png;
}

void SimulatedTileServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void SimulatedTileServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    // GET and CONNECT carry no body: a request ends with its empty line.
    int end;
    while ((end = buffer.indexOf("\r\n\r\n")) >= 0) {
        const QByteArray head = buffer.left(end);
        buffer.remove(0, end + 4);
        answer(socket, head);
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
}

void SimulatedTileServer::answer(QTcpSocket *socket, const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    if (request.method == "CONNECT") {
        request.host = hostOf(request.target);
    } else if (request.target.startsWith("http://") || request.target.startsWith("https://")) {
        request.host = QUrl(QString::fromLatin1(request.target)).host();
    } else {
        for (const QByteArray &line : lines) {
            if (line.toLower().startsWith("host:"))
                request.host = hostOf(line.mid(5));
        }
    }

    if (request.method != "GET" || request.host != kOwnHost) {
        m_requests << request;
        emit requested();
        socket->write("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    request.served = true;
    m_requests << request;
    ++m_tileCount;
    const QByteArray png = tileImage();
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " + QByteArray::number(png.size())
                  + "\r\nConnection: keep-alive\r\n\r\n");
    socket->write(png);
    emit requested();
}
