#pragma once

#include <QMetaType>
#include <QPointF>
#include <QString>

// One marker of the map: a cube or an external device, where the view drew it and its state.
struct MapGroupNode
{
    enum Kind { Cube = 1, Object = 2 };
    enum State { Running = 0, Failure = 1, Disabled = 2 };

    // The map views report states as the colours they paint (StateColors): exact texts, case
    // included; any other text is disabled.
    static int stateFromColor(const QString &color);

    int id = 0;            // cube id or object id
    bool flag = false;     // carried, never read
    QString name;          // carried, always empty
    QPointF position;      // in the map view, as the view reported it
    QPointF coordinate;    // x = latitude, y = longitude, degrees
    int kind = Cube;
    int state = Running;
};

Q_DECLARE_METATYPE(MapGroupNode)
