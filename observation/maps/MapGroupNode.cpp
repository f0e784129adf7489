#include "observation/maps/MapGroupNode.h"

#include "observation/status/StateColors.h"

int MapGroupNode::stateFromColor(const QString &color)
{
    if (color == StateColors::runningText())
        return Running;
    if (color == StateColors::failureText())
        return Failure;
    return Disabled;
}
