#include "observation/xdev/XDevState.h"

#include <QJsonArray>

namespace {

const QString kTimestamp = QStringLiteral("timestamp");
const QString kOperationalMode = QStringLiteral("operational_mode");
const QString kOperationalModeDescription = QStringLiteral("operational_mode_description");
const QString kMapViewUrl = QStringLiteral("map_view_url");
const QString kPhasesViewUrl = QStringLiteral("phases_view_url");
const QString kPosition = QStringLiteral("position");
const QString kLat = QStringLiteral("lat");
const QString kLon = QStringLiteral("lon");
const QString kPhaseIds = QStringLiteral("phase_ids");
const QString kPhaseNames = QStringLiteral("phase_names");
const QString kPhaseStatuses = QStringLiteral("phase_statuses");

QJsonArray stringArray(const QList<QString> &texts)
{
    QJsonArray array;
    for (const QString &text : texts)
        array.append(text);
    return array;
}

} // namespace

bool XDevState::read(const QJsonObject &json)
{
    // The block sends the time as a text; toString() of a JSON number is empty and so gives 0.
    timestamp = json.value(kTimestamp).toString().toLongLong(nullptr, 10);
    operationalMode = json.value(kOperationalMode).toString();
    operationalModeDescription = json.value(kOperationalModeDescription).toString();
    mapViewUrl = QUrl(json.value(kMapViewUrl).toString());
    phasesViewUrl = QUrl(json.value(kPhasesViewUrl).toString());
    const QJsonObject position = json.value(kPosition).toObject();
    lat = position.value(kLat).toDouble(0.0);
    lon = position.value(kLon).toDouble(0.0);
    for (const QJsonValue &value : json.value(kPhaseIds).toArray())
        phaseIds.append(value.toString());
    for (const QJsonValue &value : json.value(kPhaseNames).toArray())
        phaseNames.append(value.toString());
    for (const QJsonValue &value : json.value(kPhaseStatuses).toArray())
        phaseStatuses.append(value.toInt(0));
    return true;
}

QJsonObject XDevState::write() const
{
    QJsonArray statuses;
    for (int status : phaseStatuses)
        statuses.append(status);
    return QJsonObject{
        {kTimestamp, QString::number(timestamp)},
        {kOperationalMode, operationalMode},
        {kOperationalModeDescription, operationalModeDescription},
        {kMapViewUrl, mapViewUrl.toString()},
        {kPhasesViewUrl, phasesViewUrl.toString()},
        {kPosition, QJsonObject{{kLat, lat}, {kLon, lon}}},
        {kPhaseIds, stringArray(phaseIds)},
        {kPhaseNames, stringArray(phaseNames)},
        {kPhaseStatuses, statuses},
    };
}

bool XDevState::operator==(const XDevState &other) const
{
    return timestamp == other.timestamp && operationalMode == other.operationalMode
           && operationalModeDescription == other.operationalModeDescription && lat == other.lat && lon == other.lon
           && phaseIds == other.phaseIds && phaseNames == other.phaseNames && phaseStatuses == other.phaseStatuses
           && mapViewUrl == other.mapViewUrl && phasesViewUrl == other.phasesViewUrl;
}
