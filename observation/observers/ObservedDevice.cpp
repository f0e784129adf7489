#include "observation/observers/ObservedDevice.h"

ObservedDevice::ObservedDevice()
    : FavoriteDevice(QString(), QString(), QString())
{
    qRegisterMetaType<ObservedDevice>("ObservedDevice");
}

ObservedDevice::ObservedDevice(int id, const QModelIndex &sourceIndex, const FavoriteDevice &device)
    : FavoriteDevice(device), m_id(id), m_sourceIndex(sourceIndex)
{
    qRegisterMetaType<ObservedDevice>("ObservedDevice");
}
