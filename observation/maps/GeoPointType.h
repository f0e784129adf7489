#pragma once

#include <QColor>
#include <QPointF>
#include <QString>

// How a table row is drawn: icon key, colour and display name. The numbered fields and the
// anchor are carried for the map pins and are not read by the launcher.
struct GeoPointType
{
    GeoPointType();

    int typeId = 0;
    int level = 1;
    QString icon = QStringLiteral("unknown");
    QColor color{0, 0, 0, 255};
    QString typeName; // translated "unknown"
    int order = 0;
    QPointF anchor{0.5, 0.5};
};
