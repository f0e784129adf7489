#pragma once

#include "app/VersionBranch.h"
#include "devices/models/ListModelBase.h"

// The release branches of the version catalogue; each row carries its version model.
class VersionBranchModel : public ListModelBase<VersionBranch>
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles { IdRole = Qt::UserRole + 1, NameRole, VersionsRole };
    Q_ENUM(Roles)

    explicit VersionBranchModel(QObject *parent = nullptr);

    int count() const { return rowCount(); }
    // Row of the branch with this id, -1 when there is none.
    Q_INVOKABLE int rowOf(int id) const;
    // The version model of a row, null for a row that does not exist.
    Q_INVOKABLE QObject *versionsAt(int row) const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void countChanged();
};
