#include "devices/proxies/PagingFilterProxyModel.h"

#include "core/property/AssignProperty.h"

#include <QRegularExpression>

#include <limits>

PagingFilterProxyModel::PagingFilterProxyModel(QObject *parent)
    : SortingFilterProxyModel(parent)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &PagingFilterProxyModel::onRowsInserted);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &PagingFilterProxyModel::onRowsRemoved);
}

void PagingFilterProxyModel::setPageSize(int size)
{
    assignProperty(this, m_pageSize, size, &PagingFilterProxyModel::pageSizeChanged);
}

void PagingFilterProxyModel::setCurrentPage(int page)
{
    assignProperty(this, m_currentPage, page, &PagingFilterProxyModel::currentPageChanged);
}

void PagingFilterProxyModel::back()
{
    setCurrentPage(qMax(m_currentPage - 1, 0));
}

void PagingFilterProxyModel::next()
{
    setCurrentPage(qMin(m_currentPage + 1, m_pageCount));
}

void PagingFilterProxyModel::start()
{
    setCurrentPage(0);
}

void PagingFilterProxyModel::end()
{
    setCurrentPage(m_pageCount);
}

void PagingFilterProxyModel::jump(int page)
{
    const int target = page - 1;
    if (target < 0 || target > m_pageCount)
        return;
    setCurrentPage(target);
}

void PagingFilterProxyModel::update(bool filterOnly)
{
    if (!filterOnly)
        setCurrentPage(0);
    updatePaging();
    updateVisiblePage();
    emit countChanged();
}

void PagingFilterProxyModel::updatePaging()
{
    invalidate();
    setFilterRegularExpression(QRegularExpression(filteredString(), QRegularExpression::CaseInsensitiveOption));
    pageCountStep();
}

void PagingFilterProxyModel::pageCountStep()
{
    const int count = m_pageSize > 0 ? rowCount() / m_pageSize : 0;
    if (!assignProperty(this, m_pageCount, count, &PagingFilterProxyModel::pageCountChanged))
        return;
    if (m_currentPage > count)
        setCurrentPage(count);
}

void PagingFilterProxyModel::pageBounds(int &first, int &end) const
{
    const int rows = rowCount();
    qint64 start = 0;
    qint64 stop = 0;
    pageRange(start, stop);
    first = int(qBound<qint64>(0, start, rows));
    end = int(qBound<qint64>(first, stop, rows));
}

void PagingFilterProxyModel::updateVisiblePage()
{
    int first = 0;
    int end = 0;
    pageBounds(first, end);
    QModelIndexList indices;
    for (int row = first; row < end; ++row)
        indices.append(getTrueIndex(index(row, 0)));
    m_pageIndices = indices;
    emit pageReset();
}

void PagingFilterProxyModel::rebuildPage()
{
    int first = 0;
    int end = 0;
    pageBounds(first, end);
    m_pageProxyIndices.clear();
    m_pageIndices.clear();
    for (int row = first; row < end; ++row) {
        const QModelIndex proxyIndex = index(row, 0);
        m_pageProxyIndices.append(proxyIndex);
        m_pageIndices.append(getTrueIndex(proxyIndex));
    }
}

void PagingFilterProxyModel::pageRange(qint64 &start, qint64 &end) const
{
    constexpr qint64 beyond = std::numeric_limits<qint64>::max();
    if (m_pageSize > 0) {
        start = qint64(m_currentPage) * m_pageSize;
        end = start + m_pageSize;
    } else {
        start = m_currentPage == 0 ? 0 : beyond;
        end = beyond;
    }
}

void PagingFilterProxyModel::onRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    for (int row = first; row <= last; ++row) {
        const QModelIndex changed = index(row, filterKeyColumn());
        rebuildPage();
        qint64 start = 0;
        qint64 end = 0;
        pageRange(start, end);
        const int position = m_pageProxyIndices.indexOf(changed);
        if (position >= 0) {
            emit pageRowInserted(getTrueIndex(changed), position);
        } else if (row < start && !m_pageIndices.isEmpty()) {
            // Everything on the page moved down one: the row now in the first slot is new to it.
            // A page beyond the rows has no slot to fill and hears nothing.
            emit pageRowInserted(m_pageIndices.first(), 0);
        }
    }
    pageCountStep();
}

void PagingFilterProxyModel::setSourceModel(QAbstractItemModel *sourceModel)
{
    for (const QMetaObject::Connection &connection : qAsConst(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    m_sourceRemoving = false;
    m_pendingRemovals.clear();
    // The base class takes the rows out of the proxy while the source is about to remove them,
    // so its source indexes are about to go stale: our flag must be up before its handler runs,
    // and the page is looked up after its handler for the finished removal has renumbered them.
    if (sourceModel) {
        m_sourceConnections.append(connect(sourceModel, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                                           [this] { m_sourceRemoving = true; }));
    }
    SortingFilterProxyModel::setSourceModel(sourceModel);
    if (sourceModel) {
        m_sourceConnections.append(connect(sourceModel, &QAbstractItemModel::rowsRemoved, this,
                                           &PagingFilterProxyModel::finishSourceRemoval));
    }
}

void PagingFilterProxyModel::finishSourceRemoval()
{
    m_sourceRemoving = false;
    const QVector<QPair<int, int>> pending = m_pendingRemovals;
    m_pendingRemovals.clear();
    for (const auto &range : pending)
        pageRowsRemoved(range.first, range.second);
}

void PagingFilterProxyModel::onRowsRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    if (m_sourceRemoving) {
        m_pendingRemovals.append({first, last});
        return;
    }
    pageRowsRemoved(first, last);
}

void PagingFilterProxyModel::pageRowsRemoved(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        rebuildPage();
        qint64 start = 0;
        qint64 end = 0;
        pageRange(start, end);
        if (row >= end || (m_pageSize <= 0 && m_currentPage != 0))
            continue;
        // The removed row's old slot on the page, also for the last row of all (which has no
        // successor to look up); a row before the page shifts the page's first slot.
        const int slot = row < start ? 0 : int(row - start);
        // The row that now fills the page's last slot is new to the page (none on a short page).
        const QModelIndex filler = m_pageSize > 0 && m_pageIndices.size() >= m_pageSize
            ? m_pageIndices.at(m_pageSize - 1)
            : QModelIndex();
        emit pageRowRemoved(filler, slot);
    }
    pageCountStep();
}
