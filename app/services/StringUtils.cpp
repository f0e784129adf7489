#include "app/services/StringUtils.h"

#include <QRegularExpression>
#include <QStringList>

bool splitAddressPorts(QString &address, int *port1, int *port2, int *port3)
{
    if (!address.contains(QLatin1Char(':')))
        return false;
    const QStringList parts = address.split(QLatin1Char(':'));
    address = parts.first();
    int *ports[] = {port1, port2, port3};
    for (int i = 1; i < parts.size() && i <= 3; ++i) {
        if (ports[i - 1])
            *ports[i - 1] = parts.at(i).toInt(); // 0 when not a number
    }
    return true;
}

QString removeLastVersionPart(const QString &version)
{
    const int dot = version.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : version.left(dot);
}

namespace {

QString camelCase(const QString &text)
{
    const QStringList parts = text.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString result;
    for (const QString &part : parts)
        result += part.at(0).toUpper() + part.mid(1);
    return result;
}

QString snakeCase(QString text)
{
    static const QRegularExpression first(QStringLiteral("(.)([A-Z][a-z]+)"));
    static const QRegularExpression second(QStringLiteral("([a-z0-9])([A-Z])"));
    text.replace(first, QStringLiteral("\\1_\\2"));
    text.replace(second, QStringLiteral("\\1_\\2"));
    return text.toLower();
}

} // namespace

QString convertKeyCase(const QString &text, int style)
{
    switch (style) {
    case 0: return snakeCase(camelCase(text));
    case 1: return camelCase(text);
    default: return text;
    }
}
