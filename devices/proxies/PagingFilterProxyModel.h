#pragma once

#include "devices/proxies/SortingFilterProxyModel.h"

// Cuts the sorted and filtered rows into pages. Every row stays a row of the proxy; the page is
// a window published as numbers and as the source indexes of its rows, and insertions and
// removals are reported row by row as they change the page. Setters and navigation change only
// the numbers: call updateVisiblePage() (or update()) after them.
// pageCount is the number of FULL pages; currentPage runs from 0 to pageCount inclusive.
// A pageSize of 0 or less means one page holding every row.
class PagingFilterProxyModel : public SortingFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int pageSize READ pageSize WRITE setPageSize NOTIFY pageSizeChanged)
    Q_PROPERTY(int currentPage READ currentPage WRITE setCurrentPage NOTIFY currentPageChanged)
    Q_PROPERTY(int pageCount READ pageCount NOTIFY pageCountChanged)
    // The page that next() and end() stop at, for views that show "page x of y".
    Q_PROPERTY(int lastPageIndex READ pageCount NOTIFY pageCountChanged)
    Q_PROPERTY(QModelIndexList pageIndices READ pageIndices)

public:
    explicit PagingFilterProxyModel(QObject *parent = nullptr);

    int pageSize() const { return m_pageSize; }
    int currentPage() const { return m_currentPage; }
    int pageCount() const { return m_pageCount; }
    QModelIndexList pageIndices() const { return m_pageIndices; }   // source indexes, shown order

    Q_INVOKABLE void back();
    Q_INVOKABLE void next();
    Q_INVOKABLE void start();
    Q_INVOKABLE void end();
    // `page` counts from 1.
    Q_INVOKABLE void jump(int page);
    Q_INVOKABLE void updatePaging();
    // Unlike the base, does not sort; a full update (filterOnly false) returns to page 0.
    Q_INVOKABLE void update(bool filterOnly) override;
    using SortingFilterProxyModel::update;
    Q_INVOKABLE void updateVisiblePage();

    void setSourceModel(QAbstractItemModel *sourceModel) override;

public slots:
    void setPageSize(int size);
    void setCurrentPage(int page);
    void onRowsInserted(const QModelIndex &parent, int first, int last);
    void onRowsRemoved(const QModelIndex &parent, int first, int last);

signals:
    void pageSizeChanged();
    void currentPageChanged();
    void pageCountChanged();
    void pageReset();
    void pageRowInserted(const QModelIndex &sourceIndex, int newRowIndex);
    void pageRowRemoved(const QModelIndex &sourceIndex, int oldRowIndex);

private:
    // Proxy rows [start, end) of the current page, unclipped; 64-bit as a page set from QML can be anything.
    void pageRange(qint64 &start, qint64 &end) const;
    // The same clipped to the rows there are.
    void pageBounds(int &first, int &end) const;
    void rebuildPage();
    void pageCountStep();
    void pageRowsRemoved(int first, int last);
    void finishSourceRemoval();

    int m_pageSize = 100;
    int m_currentPage = 0;
    int m_pageCount = 0;
    QModelIndexList m_pageIndices;
    QModelIndexList m_pageProxyIndices;
    // While the source removes rows, the proxy announces its removals before the source rows
    // behind them are renumbered; page rows are looked up once the source is done.
    bool m_sourceRemoving = false;
    QVector<QPair<int, int>> m_pendingRemovals;
    QList<QMetaObject::Connection> m_sourceConnections;
};
