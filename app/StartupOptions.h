#pragma once

#include <QString>
#include <QStringList>

// The command line as main reads it before the application object exists (the scale factor
// has to be in the environment by then). Bad values never stop the start: they are named in
// `problems` and the default stands.
class StartupOptions
{
public:
    static StartupOptions parse(const QStringList &arguments);

    // "--scale" percent (100, 125, 150, 175, 200) as the factor for "QT_SCALE_FACTOR";
    // 0 when the text is none of them.
    static double scaleFactorForPercent(const QString &percent);

    // Sets "QT_SCALE_FACTOR" when a scale was given.
    void applyScale() const;

    double scaleFactor = 1.0;
    bool scaleGiven = false;
    QString logOptions;          // "-log" key=value list, applied once the logger is set up
    QString brandPackage;        // "--brand-package"
    bool console = false;        // "--console"
    bool showAll = false;        // "--show-all"
    int screen = -1;             // "--screen", -1 for the window's own choice
    QString login;               // "--login" user:password@address:port
    bool liveFavoriteList = false; // "--live-favorite-list"
    bool fullScreen = false;     // "--fullscreen" / "--fs"
    QStringList problems;
};
