#include "observation/maps/GeoPointType.h"

#include <QCoreApplication>

GeoPointType::GeoPointType()
    : typeName(QCoreApplication::translate("GeoTableModel", "unknown"))
{
}
