#include "app/StartupOptions.h"

#include <QByteArray>

namespace {

// "--key value" or "--key=value"; returns false when the option is not `key`.
bool takeValue(const QStringList &arguments, int &i, const QString &key, QString *value, bool *missing)
{
    const QString &argument = arguments.at(i);
    *missing = false;
    if (argument == key) {
        if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1String("--"))) {
            *value = arguments.at(++i);
        } else {
            value->clear();
            *missing = true;
        }
        return true;
    }
    if (argument.startsWith(key + QLatin1Char('='))) {
        *value = argument.mid(key.size() + 1);
        return true;
    }
    return false;
}

} // namespace

double StartupOptions::scaleFactorForPercent(const QString &percent)
{
    bool ok = false;
    const int value = percent.trimmed().toInt(&ok);
    if (!ok)
        return 0.0;
    switch (value) {
    case 100: return 1.0;
    case 125: return 1.25;
    case 150: return 1.5;
    case 175: return 1.75;
    case 200: return 2.0;
    default: return 0.0;
    }
}

StartupOptions StartupOptions::parse(const QStringList &arguments)
{
    StartupOptions options;
    QString value;
    bool missing = false;
    // The first argument is the program itself.
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (takeValue(arguments, i, QStringLiteral("-log"), &value, &missing)) {
            if (missing)
                options.problems << QStringLiteral("Option -log needs a list of key=value flags.");
            else
                options.logOptions = options.logOptions.isEmpty() ? value : options.logOptions + QLatin1Char(',') + value;
        } else if (takeValue(arguments, i, QStringLiteral("--scale"), &value, &missing)) {
            const double factor = scaleFactorForPercent(value);
            if (factor > 0.0) {
                options.scaleFactor = factor;
                options.scaleGiven = true;
            } else {
                options.problems << QStringLiteral("Invalid value \"%1\" for --scale (allowed: 100, 125, 150, 175, 200); using 100.")
                                        .arg(value);
            }
        } else if (takeValue(arguments, i, QStringLiteral("--brand-package"), &value, &missing)) {
            if (missing)
                options.problems << QStringLiteral("Option --brand-package needs a file; the built-in brand is used.");
            else
                options.brandPackage = value;
        } else if (takeValue(arguments, i, QStringLiteral("--screen"), &value, &missing)) {
            bool ok = false;
            const int screen = value.toInt(&ok);
            if (ok && screen >= 0)
                options.screen = screen;
            else
                options.problems << QStringLiteral("Invalid value \"%1\" for --screen (a screen number from 0); the default screen is used.")
                                        .arg(value);
        } else if (takeValue(arguments, i, QStringLiteral("--login"), &value, &missing)) {
            if (missing)
                options.problems << QStringLiteral("Option --login needs user:password@address:port.");
            else
                options.login = value;
        } else if (argument == QLatin1String("--console")) {
            options.console = true;
        } else if (argument == QLatin1String("--show-all")) {
            options.showAll = true;
        } else if (argument == QLatin1String("--live-favorite-list")) {
            options.liveFavoriteList = true;
        } else if (argument == QLatin1String("--fullscreen") || argument == QLatin1String("--fs")) {
            options.fullScreen = true;
        }
        // Anything else belongs to Qt (-platform, -style, ...) and is left to it.
    }
    return options;
}

void StartupOptions::applyScale() const
{
    if (scaleGiven)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scaleFactor, 'f', 2));
}
