#pragma once

#include <QMetaType>

// Element type that QML may name for one marker; the marker's values are those of MapGroupNode.
class MapNode
{
    Q_GADGET
};

Q_DECLARE_METATYPE(MapNode)
