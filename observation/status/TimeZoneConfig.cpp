#include "observation/status/TimeZoneConfig.h"

#include "core/log/Log.h"
#include "core/property/AssignProperty.h"

#include <QByteArray>
#include <QList>
#include <QLocale>

namespace {

struct ZoneTables
{
    QList<QByteArray> ids;
    QStringList texts;
};

// Built on first use rather than during static initialisation: the zone database and the
// default locale are then ready, and a program that never shows a zone pays nothing.
const ZoneTables &zoneTables()
{
    static const ZoneTables tables = [] {
        ZoneTables built;
        built.ids = QTimeZone::availableTimeZoneIds();
        built.texts.reserve(built.ids.size());
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (const QByteArray &id : qAsConst(built.ids))
            built.texts << TimeZoneConfig::timeZoneText(QTimeZone(id), now);
        return built;
    }();
    return tables;
}

} // namespace

TimeZoneConfig::TimeZoneConfig(QObject *parent)
    : QObject(parent)
    , m_selectedTimezone(QTimeZone::utc())
{
}

QStringList TimeZoneConfig::timezones() const
{
    return zoneTables().texts;
}

QString TimeZoneConfig::selectedTimezone() const
{
    return timeZoneText(m_selectedTimezone, QDateTime::currentDateTimeUtc());
}

int TimeZoneConfig::selectedTimezoneIdx() const
{
    return zoneTables().ids.indexOf(m_selectedTimezone.id());
}

void TimeZoneConfig::setSelectedTimezoneIdx(int index)
{
    const ZoneTables &tables = zoneTables();
    if (index < 0 || index >= tables.ids.size()) {
        LOG_WRN(QStringLiteral("TimeZoneConfig doesn't contain the position %1").arg(index));
        return;
    }
    setSelectedTimezone(QTimeZone(tables.ids.at(index)));
}

void TimeZoneConfig::setSelectedTimezone(const QTimeZone &zone)
{
    assignProperty(this, m_selectedTimezone, zone, &TimeZoneConfig::selectedTimezoneChanged);
}

void TimeZoneConfig::setSelectedTimezoneStr(const QString &text)
{
    const ZoneTables &tables = zoneTables();
    const int index = tables.texts.indexOf(text);
    if (index < 0) {
        LOG_WRN(QStringLiteral("TimeZoneConfig doesn't contain the option \"%1\"").arg(text));
        return;
    }
    const QByteArray &id = tables.ids.at(index);
    if (!id.isEmpty() && QTimeZone::isTimeZoneIdAvailable(id))
        setSelectedTimezone(QTimeZone(id));
}

void TimeZoneConfig::read(const QJsonObject &object)
{
    const auto zone = object.constFind(QLatin1String("time_zone"));
    if (zone == object.constEnd())
        return;
    const QByteArray id = zone.value().toString().toLocal8Bit();
    if (QTimeZone::isTimeZoneIdAvailable(id)) {
        setSelectedTimezone(QTimeZone(id));
        return;
    }
    LOG_WRN(QStringLiteral("Unknown QTimeZone ID: ") + QString::fromLocal8Bit(id));
    setSelectedTimezone(QTimeZone::utc());
}

QString TimeZoneConfig::timeZoneText(const QTimeZone &zone, const QDateTime &utcTime)
{
    const QLocale locale;
    const QString shortName = zone.displayName(utcTime, QTimeZone::ShortName, locale);
    const QString longName = zone.displayName(utcTime, QTimeZone::LongName, locale);
    const QString offsetName = zone.displayName(utcTime, QTimeZone::OffsetName, locale);
    const QString id = QString::fromUtf8(zone.id());
    if (shortName.startsWith(QLatin1String("GMT")))
        return QStringLiteral("%1 - %2 (%3)").arg(id, longName, offsetName);
    if (shortName.startsWith(QLatin1String("UTC")))
        return longName;
    return QStringLiteral("%1 - %2 (%3) (%4)").arg(id, longName, offsetName, shortName);
}
