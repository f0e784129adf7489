#include "devices/models/DeviceListModel.h"

#include "core/property/AssignProperty.h"
#include "devices/entries/FavoriteDevice.h"

DeviceListModel::DeviceListModel(QObject *parent)
    : QAbstractListModel(parent)
{
    // Whoever changes the rows (own operations or the list base's append/remove/clear), the
    // count follows.
    auto syncCount = [this]() { setDataCount(rowCount()); };
    connect(this, &QAbstractItemModel::rowsInserted, this, syncCount);
    connect(this, &QAbstractItemModel::rowsRemoved, this, syncCount);
    connect(this, &QAbstractItemModel::modelReset, this, syncCount);
    // A stored index that moved or went away with its row is announced.
    connect(this, &QAbstractItemModel::rowsInserted, this, &DeviceListModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &DeviceListModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::rowsMoved, this, &DeviceListModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::modelReset, this, &DeviceListModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::layoutChanged, this, &DeviceListModel::announceStoredIndexes);
}

QString DeviceListModel::keyString(Qt::Key key, bool trim) const
{
    return FavoriteDevice::keyText(key, trim);
}

Qt::Key DeviceListModel::keyEnum(const QString &text) const
{
    return FavoriteDevice::keyFromString(text);
}

QString DeviceListModel::modifiersString(Qt::KeyboardModifiers modifiers, bool trim) const
{
    return FavoriteDevice::modifiersText(modifiers, trim);
}

Qt::KeyboardModifiers DeviceListModel::modifiersEnum(const QString &text) const
{
    return FavoriteDevice::modifiersFromString(text);
}

void DeviceListModel::setCurrentIndex(const QModelIndex &index)
{
    if (m_currentIndex.set(index))
        emit currentIndexChanged();
}

void DeviceListModel::setLoginIndex(const QModelIndex &index)
{
    if (m_loginIndex.set(index))
        emit loginIndexChanged();
}

void DeviceListModel::announceStoredIndexes()
{
    if (m_currentIndex.announce())
        emit currentIndexChanged();
    if (m_loginIndex.announce())
        emit loginIndexChanged();
}

void DeviceListModel::setPageFlag(bool flag)
{
    assignProperty(this, m_pageFlag, flag, &DeviceListModel::pageFlagChanged);
}

void DeviceListModel::setReconnectFlag(bool flag)
{
    assignProperty(this, m_reconnectFlag, flag, &DeviceListModel::reconnectFlagChanged);
}

void DeviceListModel::setDataCount(int count)
{
    assignProperty(this, m_dataCount, count, &DeviceListModel::dataCountChanged);
}
