#include "app/VersionBranchModel.h"

#include "app/VersionInfoModel.h"

#include <QQmlEngine>

VersionBranchModel::VersionBranchModel(QObject *parent)
    : ListModelBase<VersionBranch>(parent)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &VersionBranchModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &VersionBranchModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &VersionBranchModel::countChanged);
}

int VersionBranchModel::rowOf(int id) const
{
    const QModelIndex found = findIndex([id](const VersionBranch &branch) { return branch.id() == id; });
    return found.isValid() ? found.row() : -1;
}

QObject *VersionBranchModel::versionsAt(int row) const
{
    if (row < 0 || row >= m_items.size())
        return nullptr;
    VersionInfoModel *versions = m_items.at(row).versions();
    // Owned by the branch; QML must never delete it.
    QQmlEngine::setObjectOwnership(versions, QQmlEngine::CppOwnership);
    return versions;
}

QVariant VersionBranchModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const VersionBranch &branch = m_items.at(index.row());
    switch (role) {
    case IdRole: return branch.id();
    case Qt::DisplayRole:
    case NameRole: return branch.name();
    case VersionsRole: return QVariant::fromValue<QObject *>(versionsAt(index.row()));
    default: return {};
    }
}

QHash<int, QByteArray> VersionBranchModel::roleNames() const
{
    return {{IdRole, "IdRole"}, {NameRole, "NameRole"}, {VersionsRole, "VersionsRole"}};
}
