#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QTimeZone>

// One selected time zone (UTC at first) and every zone the platform knows, as display texts
// for a selection list. The zone tables are built on first use and keep the offsets of that
// moment; the selected zone's own text is computed at the current time.
class TimeZoneConfig : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList timezones READ timezones CONSTANT)
    Q_PROPERTY(QString selectedTimezone READ selectedTimezone WRITE setSelectedTimezoneStr NOTIFY selectedTimezoneChanged)
    Q_PROPERTY(int selectedTimezoneIdx READ selectedTimezoneIdx WRITE setSelectedTimezoneIdx NOTIFY selectedTimezoneChanged)

public:
    explicit TimeZoneConfig(QObject *parent = nullptr);

    // Display texts of all zones, in the order of QTimeZone::availableTimeZoneIds().
    QStringList timezones() const;
    QString selectedTimezone() const;
    QTimeZone selectedTimeZone() const { return m_selectedTimezone; }
    // Position of the selected zone in the tables, -1 when it is not there.
    int selectedTimezoneIdx() const;
    // A position outside the tables is refused with a warning.
    void setSelectedTimezoneIdx(int index);
    void setSelectedTimezone(const QTimeZone &zone);
    // Selects the zone whose entry in timezones() is `text`; refuses any other text with a warning.
    void setSelectedTimezoneStr(const QString &text);

    // Applies the object's "time_zone" id; an id the platform does not know selects UTC.
    void read(const QJsonObject &object);

    // "id - long name (offset name)" for GMT-named zones, the long name alone for UTC-named
    // ones, otherwise "id - long name (offset name) (short name)"; names at `utcTime`.
    static QString timeZoneText(const QTimeZone &zone, const QDateTime &utcTime);

signals:
    void selectedTimezoneChanged();

private:
    QTimeZone m_selectedTimezone;
};
