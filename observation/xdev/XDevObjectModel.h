#pragma once

#include "devices/models/ListModelBase.h"
#include "observation/xdev/XDevObject.h"

// The external devices of a block, one row per device, in reply order. GUI thread only.
class XDevObjectModel : public ListModelBase<XDevObject>
{
    Q_OBJECT

public:
    // Numbered from 0, like the other observation models.
    enum DisplayRoles { GadgetRole = 0, StateRole = 1, PatternRole = 2 };
    Q_ENUM(DisplayRoles)

    explicit XDevObjectModel(QObject *parent = nullptr);

    // GadgetRole: the XDevObject; StateRole: its XDevState; PatternRole: the lower-case texts
    // a search matches against (name, type, manufacturer, product, serial number).
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // A copy of the first object with that id, or one with a negative id when there is none.
    XDevObject objectById(int id) const;
};
