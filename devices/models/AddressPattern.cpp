#include "devices/models/AddressPattern.h"

QStringList AddressPattern::pieces(const QString &pattern, Cut cut)
{
    QStringList parts;
    if (cut == Cut::AtEverySeparator) {
        parts = pattern.split(Separator);
    } else {
        const int separator = pattern.indexOf(Separator);
        parts = separator < 0 ? QStringList{pattern}
                              : QStringList{pattern.left(separator), pattern.mid(separator + Separator.size())};
    }
    QStringList kept;
    for (const QString &part : qAsConst(parts)) {
        QString cleaned = part.trimmed();
        if (cleaned.endsWith(QLatin1Char(')'))) {
            cleaned.chop(1);
            cleaned = cleaned.trimmed();
        }
        if (!cleaned.isEmpty())
            kept.append(cleaned);
    }
    return kept;
}
