#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

namespace utils::gui {

class TimeConverter
{
public:
    // One time window of a user account. days: seven characters, Monday first, "1" = allowed.
    struct TimeSettings
    {
        QString fromDate = QStringLiteral("-");
        QString fromTime = QStringLiteral("00:00:00");
        QString toDate = QStringLiteral("+1d");
        QString toTime = QStringLiteral("00:00:00");
        bool recurrence = true;
        QString days = QStringLiteral("0000011");

        bool operator==(const TimeSettings &other) const;
        bool operator!=(const TimeSettings &other) const { return !(*this == other); }
    };

    // "%1d%2h%3m%4s"; with zeros the hours, minutes and seconds take two digits.
    static QString millisecondsToDHMS(qint64 value, bool zeros);

    // Normalises the four texts of a window in place (see User::isExpired).
    static void processTimeFormat(QString &dateFrom, QString &timeFrom, QString &dateTo, QString &timeTo,
                                  bool offset);

    static bool compareTimeSettings(const std::vector<TimeSettings> &left, const std::vector<TimeSettings> &right);

    // Local wall clock used by the rules above; tests pin it.
    static QDateTime currentDateTime();
    static void setClock(std::function<QDateTime()> clock);
    static void resetClock();
};

} // namespace utils::gui
