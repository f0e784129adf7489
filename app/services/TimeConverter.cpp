#include "app/services/TimeConverter.h"

#include <QRegularExpression>

namespace utils::gui {

namespace {

std::function<QDateTime()> &clock()
{
    static std::function<QDateTime()> c;
    return c;
}

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");

bool holdsDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return re.match(text).hasMatch() && QDate::fromString(text, kDateFormat).isValid();
}

bool holdsTime(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\d{2}:\\d{2}:\\d{2}$"));
    return re.match(text).hasMatch() && QTime::fromString(text, kTimeFormat).isValid();
}

} // namespace

bool TimeConverter::TimeSettings::operator==(const TimeSettings &other) const
{
    return fromDate == other.fromDate && fromTime == other.fromTime && toDate == other.toDate
        && toTime == other.toTime && recurrence == other.recurrence && days == other.days;
}

QDateTime TimeConverter::currentDateTime()
{
    return clock() ? clock()() : QDateTime::currentDateTime();
}

void TimeConverter::setClock(std::function<QDateTime()> c)
{
    clock() = std::move(c);
}

void TimeConverter::resetClock()
{
    clock() = nullptr;
}

QString TimeConverter::millisecondsToDHMS(qint64 value, bool zeros)
{
    const qint64 totalSeconds = qMax<qint64>(0, value) / 1000;
    const qint64 days = totalSeconds / 86400;
    const qint64 hours = (totalSeconds / 3600) % 24;
    const qint64 minutes = (totalSeconds / 60) % 60;
    const qint64 seconds = totalSeconds % 60;
    const int width = zeros ? 2 : 0;
    const QChar fill = QLatin1Char('0');
    return QStringLiteral("%1d%2h%3m%4s")
        .arg(days)
        .arg(hours, width, 10, fill)
        .arg(minutes, width, 10, fill)
        .arg(seconds, width, 10, fill);
}

void TimeConverter::processTimeFormat(QString &dateFrom, QString &timeFrom, QString &dateTo, QString &timeTo,
                                      bool offset)
{
    dateFrom = dateFrom.simplified();
    timeFrom = timeFrom.simplified();
    dateTo = dateTo.simplified();
    timeTo = timeTo.simplified();

    const QDateTime now = currentDateTime();
    const QString today = now.date().toString(kDateFormat);
    if (!holdsDate(dateFrom))
        dateFrom = today;

    static const QRegularExpression offsetRe(QStringLiteral("^\\+(\\d+)([dmy])$"));
    const QRegularExpressionMatch m = offsetRe.match(dateTo);
    if (offset && m.hasMatch()) {
        const int amount = m.captured(1).toInt();
        const QDate start = QDate::fromString(dateFrom, kDateFormat);
        const QString unit = m.captured(2);
        QDate end;
        if (unit == QLatin1String("d"))
            end = start.addDays(amount);
        else if (unit == QLatin1String("m"))
            end = start.addMonths(amount);
        else
            end = start.addYears(amount);
        dateTo = end.toString(kDateFormat);
    } else if (!holdsDate(dateTo)) {
        dateTo = today;
    }

    const QString time = now.time().toString(kTimeFormat);
    if (!holdsTime(timeFrom))
        timeFrom = time;
    if (!holdsTime(timeTo))
        timeTo = time;
}

bool TimeConverter::compareTimeSettings(const std::vector<TimeSettings> &left, const std::vector<TimeSettings> &right)
{
    return left == right;
}

} // namespace utils::gui
