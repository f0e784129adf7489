#include "app/VersionInfoModel.h"

#include <QVariantList>

VersionInfoModel::VersionInfoModel(QObject *parent)
    : ListModelBase<VersionInfo>(parent)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &VersionInfoModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &VersionInfoModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &VersionInfoModel::countChanged);
}

int VersionInfoModel::rowOf(const QString &name) const
{
    const QModelIndex found = findIndex([&name](const VersionInfo &version) { return version.name() == name; });
    return found.isValid() ? found.row() : -1;
}

QVariant VersionInfoModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const VersionInfo &version = m_items.at(index.row());
    switch (role) {
    case IdRole: return version.id();
    case Qt::DisplayRole:
    case NameRole: return version.name();
    case DownloadLinksRole: {
        QVariantList links;
        for (const QUrl &link : version.downloadLinks())
            links.append(link);
        return links;
    }
    case DownloadedRole: return version.isDownloaded();
    default: return {};
    }
}

QHash<int, QByteArray> VersionInfoModel::roleNames() const
{
    return {{IdRole, "IdRole"}, {NameRole, "NameRole"}, {DownloadLinksRole, "DownloadLinksRole"}, {DownloadedRole, "DownloadedRole"}};
}
