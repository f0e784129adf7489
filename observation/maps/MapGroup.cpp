#include "observation/maps/MapGroup.h"

#include <algorithm>

void MapGroup::setPosition(const QPointF &position)
{
    if (m_position != position)
        m_position = position;
}

int MapGroup::count(int kind, int state) const
{
    return int(std::count_if(nodes.cbegin(), nodes.cend(), [&](const MapGroupNode &node) {
        return node.kind == kind && node.state == state;
    }));
}

int MapGroup::count(int kind) const
{
    return int(std::count_if(nodes.cbegin(), nodes.cend(), [&](const MapGroupNode &node) {
        return node.kind == kind;
    }));
}
