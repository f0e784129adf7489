#include "observation/settings/SourceSettingsProxyModel.h"

SourceSettingsProxyModel::SourceSettingsProxyModel(QObject *parent)
    : ListModelBase<SourceSettingsProxy>(parent)
{
}

QVariant SourceSettingsProxyModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index) || role != NameRole)
        return QVariant();
    return m_items.at(index.row()).name;
}

QHash<int, QByteArray> SourceSettingsProxyModel::roleNames() const
{
    return {{NameRole, "NameRole"}};
}
