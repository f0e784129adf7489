#include "observation/status/StateColors.h"

StateColors::StateColors(QObject *parent)
    : QObject(parent)
{
}
