#include "observation/models/DeviceObserverSortFilterProxyModel.h"

#include "devices/entries/Configuration.h"
#include "observation/models/DeviceObserverModel.h"

DeviceObserverSortFilterProxyModel::DeviceObserverSortFilterProxyModel(QObject *parent)
    : ListSortFilterProxyModel(parent)
{
    buildTypeFilter();
}

void DeviceObserverSortFilterProxyModel::buildTypeFilter()
{
    const QString camera = tr("Camera");
    const QString embedded = tr("Tarnvale/Embedded");
    const QMap<int, QString> dictionary{{Configuration::Camera, camera},
                                        {Configuration::CameraLight, camera},
                                        {Configuration::EmbeddedNano, embedded},
                                        {Configuration::EmbeddedMicro, embedded},
                                        {Configuration::EmbeddedMacro, embedded},
                                        {Configuration::Enterprise, tr("Enterprise")},
                                        {Configuration::Aerial, tr("Drone")}};
    QStringList available{tr("All types")};
    for (const QString &name : dictionary) {
        if (!available.contains(name))
            available.append(name);
    }
    setTypeDictionary(dictionary);
    setAvailableTypes(available);
}

bool DeviceObserverSortFilterProxyModel::acceptsSourceIndex(const QModelIndex &sourceIndex) const
{
    if (filteredType() < 0)
        return ListSortFilterProxyModel::acceptsSourceIndex(sourceIndex);
    const QMap<int, QString> dictionary = typeDictionary();
    const int rowType = sourceIndex.data(DeviceObserverModel::TypeRole).toInt();
    return dictionary.value(rowType) == dictionary.value(filteredType())
           && ListSortFilterProxyModel::acceptsSourceIndex(sourceIndex);
}
