#pragma once

#include <QColor>
#include <QLatin1String>
#include <QObject>

// The state colours of cubes and blocks, defined once: the style paints states with them (the
// QML singleton Client.StateColors) and the map groups count a cube by the colour its pin
// reports (MapGroupNode::stateFromColor). The texts are written as QML writes a colour:
// "#rrggbb", lower case.
class StateColors : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QColor running READ running CONSTANT)
    Q_PROPERTY(QColor failure READ failure CONSTANT)
    Q_PROPERTY(QColor disabled READ disabled CONSTANT)

public:
    explicit StateColors(QObject *parent = nullptr);

    static QLatin1String runningText() { return QLatin1String("#4b79c6"); }
    static QLatin1String failureText() { return QLatin1String("#f08a24"); }
    // Disabled or offline.
    static QLatin1String disabledText() { return QLatin1String("#b3b3b3"); }

    static QColor running() { return QColor(runningText()); }
    static QColor failure() { return QColor(failureText()); }
    static QColor disabled() { return QColor(disabledText()); }
};
