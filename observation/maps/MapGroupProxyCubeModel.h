#pragma once

#include "devices/models/ListModelBase.h"
#include "observation/maps/MapGroup.h"

#include <QVector>

// The published group markers. Rows are never removed: a group that disappears leaves a hidden
// row without nodes, so that the map's delegates are reused rather than rebuilt. GUI thread only.
class MapGroupProxyCubeModel : public ListModelBase<MapGroup>
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    // Numbered from 0, like the other observation models.
    enum DisplayRoles {
        IdRole = 0,
        NameRole,
        PositionRole,
        NodesRole,
        VisibleRole,
        CountRole,
        RunningRole,
        FailureRole,
        DisabledRole,
        NodeCountRole,
        RunningNodeRole,
        FailureNodeRole,
        DisabledNodeRole
    };
    Q_ENUM(DisplayRoles)

    explicit MapGroupProxyCubeModel(QObject *parent = nullptr);

    int count() const { return rowCount(); }

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Row i takes group i; surplus rows are hidden and emptied.
    Q_INVOKABLE void update(const QVector<MapGroup> &groups);
    // The first node with that id takes the state of the colour; the manager's maps stay.
    Q_INVOKABLE void updateNodeState(int cubeId, const QString &stateColor);

signals:
    void countChanged();
};
