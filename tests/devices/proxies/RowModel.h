#pragma once

#include "devices/models/ListModelBase.h"

#include <QMap>
#include <QVariant>

// A list model whose rows are plain role-to-value maps, for driving the proxies in tests.
class RowModel : public ListModelBase<QMap<int, QVariant>>
{
public:
    using Row = QMap<int, QVariant>;
    using ListModelBase::ListModelBase;

    QVariant data(const QModelIndex &index, int role) const override
    {
        return isRow(index) ? m_items.at(index.row()).value(role) : QVariant();
    }
    QHash<int, QByteArray> roleNames() const override { return {{Qt::DisplayRole, "display"}}; }

    void insertAt(int row, const Row &values)
    {
        beginInsertRows(QModelIndex(), row, row);
        m_items.insert(row, values);
        endInsertRows();
    }

    void setRow(int row, const Row &values)
    {
        m_items[row] = values;
        emit dataChanged(index(row, 0), index(row, 0));
    }
};
