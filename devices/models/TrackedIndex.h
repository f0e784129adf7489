#pragma once

#include <QModelIndex>
#include <QPersistentModelIndex>

// An index a model keeps for QML (current row, log-in row): it follows its row through
// insertions and removals, and tells its owner once when it moved or went away, so the
// owner can emit the property's change signal.
class TrackedIndex
{
public:
    QModelIndex index() const { return m_index; }

    // Stores the index; true when it differs from the one held.
    bool set(const QModelIndex &index)
    {
        if (m_index == index)
            return false;
        m_index = index;
        m_announced = m_index;
        return true;
    }

    // True once after the row moved or was removed since the last announcement.
    bool announce()
    {
        if (m_index == m_announced)
            return false;
        m_announced = m_index;
        return true;
    }

private:
    QPersistentModelIndex m_index;
    QModelIndex m_announced;
};
