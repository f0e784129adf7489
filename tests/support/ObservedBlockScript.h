#pragma once

#include "support/SimulatedBlock.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// Scripts a SimulatedBlock as a block that lets itself be observed: block information, a
// successful log-in, a cube list, and poll replies built from each request's body (every cube
// asked for is answered with a full "analytic_info" and a running "camera_info").
//
//     SimulatedBlock block(SimulatedBlock::Scheme::Https);
//     ObservedBlockScript script;
//     script.cubeCount = 4;
//     script.install(block);
struct ObservedBlockScript
{
    QString blockVersion = QStringLiteral("1.19.11");
    QString apiVersion = QStringLiteral("1.19.0");
    QString deviceType = QStringLiteral("enterprise");
    QString serialNumber = QStringLiteral("ORVA-0001");
    QString accessToken = QStringLiteral("token-1");
    QString sessionIdentifier = QStringLiteral("session-1");
    int cubeCount = 2;
    int firstCubeId = 1;
    int camerasPerCube = 1;
    QString nodeAddress;          // "vellorin_node_server_address" of every camera; none when empty
    int nodePort = 0;             // "vellorin_node_server_port"; none when 0
    QString processingState = QStringLiteral("Processing");
    QString sourceState = QStringLiteral("running");

    void install(SimulatedBlock &block) const;

    QJsonObject blockInfo() const;
    QJsonObject cubeObject(int cubeId) const;
    QJsonArray cubes() const;
    static QJsonObject analyticInfo(quint64 timestamp, const QString &processingState);
    static QJsonObject cameraInfo(const QString &sourceState, qint64 dataTimestampMs);
    // A reply to an analytics or cameras poll: every requested cube with the given member.
    static QByteArray pollReply(const QByteArray &requestBody, const QString &member,
                                const QJsonObject &value);
};
