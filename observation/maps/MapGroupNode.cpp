#include "observation/maps/MapGroupNode.h"

int MapGroupNode::stateFromColor(const QString &color)
{
    if (color == QLatin1String("#4b79c6"))
        return Running;
    if (color == QLatin1String("#f08a24"))
        return Failure;
    return Disabled;
}
