#pragma once

#include "devices/models/ListModelBase.h"
#include "observation/observers/DeviceObserver.h"

#include <memory>

// One row per started device observer. Roles are numbered from 0, as the observer views use
// them. GUI thread only.
class DeviceObserverModel : public ListModelBase<std::shared_ptr<DeviceObserver>>
{
    Q_OBJECT

public:
    enum DisplayRoles {
        TypeRole = 0,
        TypeNameRole,
        NameRole,
        AddressRole,
        LoginStatusRole,
        StatusInfoRole,
        VersionRole,
        SerialNumberRole,
        DeviceRole,
    };
    Q_ENUM(DisplayRoles)

    explicit DeviceObserverModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The first row whose observed device has that id; invalid when none has.
    QModelIndex indexOfObservedDevice(int id) const;
};
