#include "devices/proxies/FavoriteDeviceSortFilterProxyModel.h"

#include "devices/entries/Configuration.h"
#include "devices/entries/FavoriteDevice.h"

FavoriteDeviceSortFilterProxyModel::FavoriteDeviceSortFilterProxyModel(QObject *parent)
    : DeviceSortFilterProxyModel(parent)
{
    // Each kind goes under the first group whose bits hold it; Brimvale and unknown fit none.
    const QList<QPair<int, QString>> groups{
        {0x3, tr("Camera")},
        {0x71C, tr("Tarnvale")},
        {0x20, tr("Enterprise")},
        {0x880, tr("Aerial")},
    };
    QMap<int, QString> dictionary;
    QStringList captions{tr("All types")};
    const auto &kinds = Configuration::deviceTypeTable();
    for (auto it = kinds.cbegin(); it != kinds.cend(); ++it) {
        const int kind = it.key();
        if (kind == Configuration::UnknownDevice)
            continue;
        for (const auto &group : groups) {
            if ((kind & group.first) == kind) {
                dictionary.insert(kind, group.second);
                if (!captions.contains(group.second))
                    captions.append(group.second);
                break;
            }
        }
    }
    setTypes(dictionary, captions);
}

bool FavoriteDeviceSortFilterProxyModel::acceptsDevice(const QModelIndex &sourceIndex) const
{
    const FavoriteDevice device = sourceIndex.data(DeviceRole).value<FavoriteDevice>();
    bool accept = true;
    if (filteredType() >= 0) {
        // A kind without a group has no caption and never passes a type filter.
        accept = typeDictionary().value(filteredType()) == typeDictionary().value(device.type());
    }
    const QString text = filteredString();
    if (!text.isEmpty() && !device.name().contains(text, Qt::CaseInsensitive)
        && !device.address().contains(text, Qt::CaseInsensitive)) {
        accept = false;
    }
    return accept;
}
