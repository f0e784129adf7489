#pragma once

#include <QAbstractListModel>
#include <QVector>

#include <functional>

// A flat list model over a vector of values. Concrete models add roles, data() and their own
// operations; every structural change goes through the begin/end calls here, so proxies and
// views never see an unannounced change. `Base` is QAbstractListModel or a QObject class
// between it and the rows that holds state several models share (DeviceListModel).
// GUI thread only.
template <typename T, typename Base = QAbstractListModel>
class ListModelBase : public Base
{
public:
    explicit ListModelBase(QObject *parent = nullptr)
        : Base(parent)
    {
    }
    ~ListModelBase() override = default;

    // A flat list has no children: a valid parent has no rows (views and proxies rely on it).
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_items.size();
    }

    // Rows change only through the model's own operations.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override
    {
        Q_UNUSED(index)
        Q_UNUSED(value)
        Q_UNUSED(role)
        return false;
    }

    QVariant data(const QModelIndex &index, int role) const override = 0;
    QHash<int, QByteArray> roleNames() const override = 0;

    virtual void append(const T &item)
    {
        const int row = m_items.size();
        this->beginInsertRows(QModelIndex(), row, row);
        m_items.append(item);
        this->endInsertRows();
    }

    // False, and no signal, for an index that names no row.
    virtual bool remove(const QModelIndex &index)
    {
        if (!isRow(index))
            return false;
        const int row = index.row();
        this->beginRemoveRows(QModelIndex(), row, row);
        m_items.remove(row);
        this->endRemoveRows();
        return true;
    }

    // A copy of the row, or a default-constructed element for an index that names no row.
    T at(const QModelIndex &index) const
    {
        return isRow(index) ? m_items.at(index.row()) : T();
    }

    QVector<T> items() const { return m_items; }

    void clear()
    {
        this->beginResetModel();
        m_items.clear();
        this->endResetModel();
    }

    void resetItems(const QVector<T> &items)
    {
        this->beginResetModel();
        if (!m_items.isSharedWith(items))
            m_items = items;
        this->endResetModel();
    }

    QModelIndex findIndex(const std::function<bool(const T &)> &predicate) const
    {
        for (int row = 0; row < m_items.size(); ++row) {
            if (predicate(m_items.at(row)))
                return this->index(row, 0);
        }
        return QModelIndex();
    }

protected:
    // An index of another model (a proxy's, handed over unmapped) names no row here, even
    // when its row number happens to exist.
    bool isRow(const QModelIndex &index) const
    {
        return index.isValid() && index.model() == this && index.column() == 0 && index.row() < m_items.size();
    }

    QVector<T> m_items;
};
