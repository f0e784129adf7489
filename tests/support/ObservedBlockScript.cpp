#include "support/ObservedBlockScript.h"

#include <QJsonDocument>

namespace {

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QJsonObject ObservedBlockScript::blockInfo() const
{
    return {{QStringLiteral("Block_Version"), blockVersion},
            {QStringLiteral("Api_Version"), apiVersion},
            {QStringLiteral("block_host_device_type"), deviceType},
            {QStringLiteral("orva_serial_number"), serialNumber}};
}

QJsonObject ObservedBlockScript::cubeObject(int cubeId) const
{
    QJsonArray cameras;
    for (int i = 0; i < camerasPerCube; ++i) {
        const int sourceId = cubeId * 100 + i;
        QJsonObject definition{
            {QStringLiteral("version"), 2},
            {QStringLiteral("data"),
             QJsonObject{{QStringLiteral("source_definition_name"), QStringLiteral("Camera %1").arg(sourceId)},
                         {QStringLiteral("source_definition_type"), QStringLiteral("Video")},
                         {QStringLiteral("source_id"), sourceId}}}};
        QJsonObject camera{{QStringLiteral("source_definition"), definition},
                           {QStringLiteral("camera_location"),
                            QJsonObject{{QStringLiteral("name"), QStringLiteral("Camera %1").arg(sourceId)},
                                        {QStringLiteral("latitude"), 48.0 + cubeId / 100.0},
                                        {QStringLiteral("longitude"), 17.0 + i / 100.0}}}};
        if (!nodeAddress.isEmpty())
            camera.insert(QStringLiteral("vellorin_node_server_address"), nodeAddress);
        if (nodePort != 0)
            camera.insert(QStringLiteral("vellorin_node_server_port"), nodePort);
        cameras.append(camera);
    }
    return {{QStringLiteral("id"), cubeId},
            {QStringLiteral("name"), QStringLiteral("Cube %1").arg(cubeId)},
            {QStringLiteral("enabled"), true},
            {QStringLiteral("cameras"), cameras}};
}

QJsonArray ObservedBlockScript::cubes() const
{
    QJsonArray list;
    for (int i = 0; i < cubeCount; ++i)
        list.append(cubeObject(firstCubeId + i));
    return list;
}

QJsonObject ObservedBlockScript::analyticInfo(quint64 timestamp, const QString &processingState)
{
    const QString stamp = QString::number(timestamp);
    return {{QStringLiteral("cache_capacity"), 100},
            {QStringLiteral("cache_count"), 5},
            {QStringLiteral("cache_start_timestamp"), stamp},
            {QStringLiteral("first_cached_trajectory_timestamp"), stamp},
            {QStringLiteral("georegistered"), true},
            {QStringLiteral("last_cached_trajectory_timestamp"), stamp},
            {QStringLiteral("state"),
             QJsonObject{{QStringLiteral("processing_state"), processingState},
                         {QStringLiteral("visibility_state"), QStringLiteral("Good")}}},
            {QStringLiteral("timestamp"), stamp}};
}

QJsonObject ObservedBlockScript::cameraInfo(const QString &sourceState, qint64 dataTimestampMs)
{
    return {{QStringLiteral("connection_string"), QStringLiteral("rtsp://127.0.0.1/stream")},
            {QStringLiteral("source_state"), sourceState},
            {QStringLiteral("source_info_set"), true},
            {QStringLiteral("source_timestamp"),
             QJsonObject{{QStringLiteral("version"), 1},
                         {QStringLiteral("data"), QJsonObject{{QStringLiteral("data_ts_ms"), dataTimestampMs}}}}}};
}

QByteArray ObservedBlockScript::pollReply(const QByteArray &requestBody, const QString &member,
                                          const QJsonObject &value)
{
    QJsonArray answered;
    const QJsonArray asked = QJsonDocument::fromJson(requestBody).object().value(QStringLiteral("cubes")).toArray();
    for (const QJsonValue &entry : asked) {
        answered.append(QJsonObject{{QStringLiteral("id"), entry.toObject().value(QStringLiteral("id"))},
                                    {member, value}});
    }
    return json({{QStringLiteral("cubes"), answered}});
}

void ObservedBlockScript::install(SimulatedBlock &block) const
{
    block.setReply("/block_info", 200, "application/json", json(blockInfo()));
    block.setReply("/users/auth", 200, "application/json",
                   json({{QStringLiteral("username"), QStringLiteral("operator")},
                         {QStringLiteral("access_tokens"), QJsonArray{accessToken}},
                         {QStringLiteral("session_identifier"), sessionIdentifier}}));
    block.setReply("/cubes/all", 200, "application/json", json({{QStringLiteral("cubes"), cubes()}}));
    block.setReply("/block_status_info", 200, "application/json",
                   json({{QStringLiteral("current_block_time"), QStringLiteral("1700000000000")},
                         {QStringLiteral("online_since"), QStringLiteral("1690000000000")},
                         {QStringLiteral("uptime"), QStringLiteral("10000000")}}));
    block.setReply("/users/logout", 200, "application/json", "{}");
    const QString processing = processingState;
    SimulatedBlock *target = &block;
    block.setResponder("/cubes/analytics/info", [processing, target](const SimulatedBlock::Request &request) {
        SimulatedBlock::Reply reply;
        reply.body = pollReply(request.body, QStringLiteral("analytic_info"),
                               analyticInfo(quint64(1700000000000LL + target->elapsedMs()), processing));
        return reply;
    });
    const QString state = sourceState;
    block.setResponder("/cubes/cameras/info", [state, target](const SimulatedBlock::Request &request) {
        SimulatedBlock::Reply reply;
        reply.body = pollReply(request.body, QStringLiteral("camera_info"),
                               cameraInfo(state, 1700000000000LL + target->elapsedMs()));
        return reply;
    });
}
