#include "devices/proxies/DeviceSortFilterProxyModel.h"

#include "core/property/AssignProperty.h"

#include <QDateTime>

DeviceSortFilterProxyModel::DeviceSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
    setSortRole(m_sortingRole);
    sort(0, Qt::AscendingOrder);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
}

void DeviceSortFilterProxyModel::setSourceModel(QAbstractItemModel *source)
{
    for (const QMetaObject::Connection &connection : qAsConst(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    QSortFilterProxyModel::setSourceModel(source);
    // Connected after the base class's own handlers, so the rows are already mapped anew.
    if (source) {
        auto changed = [this](const QModelIndex &, int first, int) {
            refilterPage(first);
            updateLastPageIndex();
        };
        m_sourceConnections = {
            connect(source, &QAbstractItemModel::rowsInserted, this, changed),
            connect(source, &QAbstractItemModel::rowsRemoved, this, changed),
            connect(source, &QAbstractItemModel::rowsMoved, this, [this] { refilterPage(0); }),
            connect(source, &QAbstractItemModel::modelReset, this, &DeviceSortFilterProxyModel::updateLastPageIndex),
        };
    }
    updateLastPageIndex();
}

void DeviceSortFilterProxyModel::updateLastPageIndex()
{
    const int last = getLastPageIndex();
    assignProperty(this, m_lastPageIndex, last, &DeviceSortFilterProxyModel::lastPageIndexChanged);
}

void DeviceSortFilterProxyModel::refilterPage(int firstChangedRow)
{
    // A row inserted or removed before the page's end moves the page's window over the rows;
    // rows appended behind it (the usual case) are filtered as they come.
    if (m_filteredType < 0 && m_filteredString.isEmpty() && m_pageIndex >= 0 && m_pageSize > 0
        && firstChangedRow < (qint64(m_pageIndex) + 1) * m_pageSize)
        invalidateFilter();
}

void DeviceSortFilterProxyModel::setTypes(const QMap<int, QString> &dictionary, const QStringList &availableTypes)
{
    m_typeDictionary = dictionary;
    m_availableTypes = availableTypes;
}

int DeviceSortFilterProxyModel::sourceCount() const
{
    return sourceModel() ? sourceModel()->rowCount() : 0;
}

QModelIndex DeviceSortFilterProxyModel::getTrueIndex(const QModelIndex &proxyModelIndex) const
{
    if (!proxyModelIndex.isValid())
        return QModelIndex();
    return mapToSource(proxyModelIndex);
}

bool DeviceSortFilterProxyModel::isCurrentPageLast() const
{
    if (m_pageSize <= 0)
        return true;
    return (qint64(m_pageIndex) + 1) * m_pageSize >= sourceCount();
}

int DeviceSortFilterProxyModel::getLastPageIndex() const
{
    // One page holds everything: the current page is the last (stepping by 0 would never end).
    if (m_pageSize <= 0)
        return m_pageIndex;
    const qint64 rows = sourceCount();
    const qint64 current = m_pageIndex;
    if ((current + 1) * m_pageSize >= rows)
        return m_pageIndex;
    // The first page p >= pageIndex with (p + 1) * pageSize >= rows.
    return int((rows + m_pageSize - 1) / m_pageSize - 1);
}

QString DeviceSortFilterProxyModel::typeName(int deviceType) const
{
    return m_typeDictionary.value(deviceType, tr("Unknown"));
}

void DeviceSortFilterProxyModel::setFilteredType(int index)
{
    // A position outside the list (a selector with nothing chosen gives -1) means no type filter.
    int chosen = -1;
    if (index >= 0 && index < m_availableTypes.size()) {
        const QString caption = m_availableTypes.at(index);
        for (auto it = m_typeDictionary.cbegin(); it != m_typeDictionary.cend(); ++it) {
            if (it.value() == caption) {
                chosen = it.key();
                break;
            }
        }
    }
    m_filteredType = chosen;
    invalidateFilter();
}

void DeviceSortFilterProxyModel::setFilteredString(const QString &text)
{
    m_filteredString = text;
    invalidateFilter();
}

void DeviceSortFilterProxyModel::setSortingRole(int role)
{
    if (role == m_sortingRole) {
        m_ascending = !m_ascending;
        emit ascendingChanged(m_ascending);
        sort(0, m_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        return;
    }
    m_sortingRole = role;
    emit sortingRoleChanged(role);
    setSortRole(role);
}

void DeviceSortFilterProxyModel::setPageIndex(int pageIndex)
{
    if (!assignProperty(this, m_pageIndex, pageIndex, &DeviceSortFilterProxyModel::pageIndexChanged))
        return;
    invalidate();
    updateLastPageIndex();
}

void DeviceSortFilterProxyModel::setSizeIndex(int pageSize)
{
    if (!assignProperty(this, m_pageSize, pageSize, &DeviceSortFilterProxyModel::pageSizeChanged))
        return;
    invalidate();
    updateLastPageIndex();
}

bool DeviceSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (!sourceModel())
        return false;
    if (!acceptsDevice(sourceModel()->index(sourceRow, 0, sourceParent)))
        return false;
    // Pages are cut from source rows before sorting, and only while nothing is filtered:
    // a search shows its matches from every page.
    if (m_filteredType < 0 && m_filteredString.isEmpty() && m_pageIndex >= 0 && m_pageSize > 0) {
        const qint64 first = qint64(m_pageIndex) * m_pageSize;
        if (sourceRow < first || sourceRow >= first + m_pageSize)
            return false;
    }
    return true;
}

bool DeviceSortFilterProxyModel::lessThan(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const
{
    const QVariant left = sourceLeft.data(sortRole());
    switch (left.userType()) {
    case QMetaType::QDateTime:
        return left.toDateTime() < sourceRight.data(sortRole()).toDateTime();
    case QMetaType::QString:
        return lessString(sourceLeft, sourceRight);
    default:
        return sourceLeft < sourceRight;
    }
}

bool DeviceSortFilterProxyModel::lessString(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const
{
    return QString::localeAwareCompare(sourceLeft.data(sortRole()).toString(), sourceRight.data(sortRole()).toString()) < 0;
}
