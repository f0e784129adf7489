#pragma once

#include "observation/maps/MapGroupNode.h"

#include <QMetaType>
#include <QPointF>
#include <QVector>

// Markers drawn as one group marker, and where the marker goes.
class MapGroup
{
    Q_GADGET
    Q_PROPERTY(QPointF position READ position WRITE setPosition)

public:
    QPointF position() const { return m_position; }
    // Keeps the old point when the new one is equal by Qt's fuzzy comparison.
    void setPosition(const QPointF &position);

    // Nodes of one kind in one state.
    int count(int kind, int state) const;
    int count(int kind) const;

    QVector<MapGroupNode> nodes;
    bool visible = true;

private:
    QPointF m_position;
};

Q_DECLARE_METATYPE(MapGroup)
