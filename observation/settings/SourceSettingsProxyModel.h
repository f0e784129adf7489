#pragma once

#include "devices/models/ListModelBase.h"
#include "observation/settings/SourceSettingsProxy.h"

// The entries of every section of a settings page, in the order the page added them.
class SourceSettingsProxyModel : public ListModelBase<SourceSettingsProxy>
{
    Q_OBJECT

public:
    enum DisplayRoles { NameRole = 0 };
    Q_ENUM(DisplayRoles)

    explicit SourceSettingsProxyModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
};
