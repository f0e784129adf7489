#pragma once

#include "observation/maps/GeoPoint.h"
#include "observation/maps/GeoPointType.h"

#include <QMetaType>

// One row of a geo table: the point, the id of what it stands for (a cube's observer id on the
// map) and how it is drawn. A default row has id -1 and coordinate (0, 0).
struct GeoTableCoordinate : GeoPoint
{
    int id = -1;
    GeoPointType type;
};

Q_DECLARE_METATYPE(GeoTableCoordinate)
