#include "observation/models/DeviceObserverModel.h"

#include "devices/entries/Configuration.h"

DeviceObserverModel::DeviceObserverModel(QObject *parent)
    : ListModelBase<std::shared_ptr<DeviceObserver>>(parent)
{
}

QVariant DeviceObserverModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const std::shared_ptr<DeviceObserver> &observer = m_items.at(index.row());
    if (!observer)
        return QVariant();
    switch (role) {
    case TypeRole: return observer->observedDevice().type();
    case TypeNameRole: return deviceTypeToString(observer->observedDevice().type());
    case NameRole: return observer->observedDevice().name();
    case AddressRole: return observer->observedDevice().address();
    case LoginStatusRole: return observer->loginStatus();
    case StatusInfoRole: return QVariant::fromValue(observer->blockStatus());
    case VersionRole: return observer->currentVersionNumber();
    case SerialNumberRole: return observer->orvaSerialNumber();
    case DeviceRole: return QVariant::fromValue(observer->observedDevice());
    default: return QVariant();
    }
}

QHash<int, QByteArray> DeviceObserverModel::roleNames() const
{
    return {{TypeRole, "TypeRole"},
            {TypeNameRole, "TypeNameRole"},
            {NameRole, "NameRole"},
            {AddressRole, "AddressRole"},
            {LoginStatusRole, "LoginStatusRole"},
            {StatusInfoRole, "StatusInfoRole"},
            {VersionRole, "VersionRole"},
            {SerialNumberRole, "SerialNumberRole"},
            {DeviceRole, "DeviceRole"}};
}

QModelIndex DeviceObserverModel::indexOfObservedDevice(int id) const
{
    return findIndex([id](const std::shared_ptr<DeviceObserver> &observer) {
        return observer && observer->observedDevice().id() == id;
    });
}
