#pragma once

#include "devices/entries/FavoriteDevice.h"

#include <QMetaType>
#include <QModelIndex>

// A favourite device under observation: the favourite's record plus the number the observer
// manager gives the observation, the favourite's row in its model, and whether the block's
// version can be observed. `id` is the observation's number and hides the favourite's own
// running id, which observation never uses.
class ObservedDevice : public FavoriteDevice
{
    Q_GADGET
    Q_PROPERTY(int id READ id CONSTANT)
    Q_PROPERTY(QModelIndex sourceIndex READ sourceIndex CONSTANT)
    Q_PROPERTY(bool compatible READ compatible WRITE setCompatible)
    Q_PROPERTY(ObservedDevice self READ getSelf)

public:
    ObservedDevice();
    ObservedDevice(int id, const QModelIndex &sourceIndex, const FavoriteDevice &device);

    int id() const { return m_id; }
    QModelIndex sourceIndex() const { return m_sourceIndex; }
    bool compatible() const { return m_compatible; }
    void setCompatible(bool compatible) { m_compatible = compatible; }

    Q_INVOKABLE ObservedDevice getSelf() const { return *this; }

private:
    int m_id = -1;
    QPersistentModelIndex m_sourceIndex;
    bool m_compatible = false;
};

Q_DECLARE_METATYPE(ObservedDevice)
