#pragma once

#include "app/VersionInfo.h"
#include "devices/models/ListModelBase.h"

// The versions of one branch; the version manager replaces all rows at once (resetItems).
class VersionInfoModel : public ListModelBase<VersionInfo>
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles { IdRole = Qt::UserRole + 1, NameRole, DownloadLinksRole, DownloadedRole };
    Q_ENUM(Roles)

    explicit VersionInfoModel(QObject *parent = nullptr);

    int count() const { return rowCount(); }
    // Row of the version with this name, -1 when there is none.
    Q_INVOKABLE int rowOf(const QString &name) const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void countChanged();
};
