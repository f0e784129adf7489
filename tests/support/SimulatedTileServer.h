#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

// A map tile server for tests: HTTP/1.1 on 127.0.0.1 (port chosen by the system) that answers
// every GET with one and the same PNG tile. catchForeignRequests makes it the proxy of every
// connection that Qt's network classes open to a host other than 127.0.0.1: such requests are
// recorded and refused (never forwarded, never resolved), so a test can show that nothing but
// 127.0.0.1 was contacted while the peers on 127.0.0.1 are reached directly.
//
//     SimulatedTileServer tiles;
//     QVERIFY(tiles.listen());
//     tiles.catchForeignRequests();
//     ... load a map whose tile address is tiles.baseUrl() ...
//     QVERIFY(tiles.foreignHosts().isEmpty());
//
// Lives in the thread that creates it and works from that thread's event loop.
class SimulatedTileServer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int tileCount READ tileCount NOTIFY requested)
    Q_PROPERTY(QString baseUrl READ baseUrl CONSTANT)

public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // as sent: a path, an absolute URL (proxied) or host:port (CONNECT)
        QString host;      // the host the request was meant for
        bool served = false;
    };

    explicit SimulatedTileServer(QObject *parent = nullptr);
    ~SimulatedTileServer() override;

    bool listen();
    // Installs the application's proxy factory (until the server is destroyed).
    void catchForeignRequests();
    quint16 port() const;
    // "http://127.0.0.1:<port>/"
    QString baseUrl() const;

    QList<Request> requests() const { return m_requests; }
    // Tiles served so far.
    int tileCount() const { return m_tileCount; }
    // Every host other than 127.0.0.1 that a request was meant for, once each.
    Q_INVOKABLE QStringList foreignHosts() const;
    // The paths (with query) of the tiles served, in order.
    Q_INVOKABLE QStringList tilePaths() const;
    // The PNG every tile request gets.
    static QByteArray tileImage();

signals:
    void requested();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &head);

    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<Request> m_requests;
    int m_tileCount = 0;
    bool m_catching = false;
};
