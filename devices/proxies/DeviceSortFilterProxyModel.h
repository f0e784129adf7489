#pragma once

#include <QMap>
#include <QSortFilterProxyModel>
#include <QStringList>

// What the favourite-device and network-device proxies share: a type selector, a search text,
// sorting by a page-header column (the same column again turns the order round) and paging of
// the unfiltered source rows. The subclasses supply the type captions, the row test and the
// order of texts. Roles are the source model's DisplayRoles; role 2 holds the whole entry.
class DeviceSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(QStringList availableTypes READ availableTypes CONSTANT)
    Q_PROPERTY(int sortingRole READ sortingRole WRITE setSortingRole NOTIFY sortingRoleChanged)
    Q_PROPERTY(bool ascending READ ascending NOTIFY ascendingChanged)
    Q_PROPERTY(int pageIndex READ pageIndex WRITE setPageIndex NOTIFY pageIndexChanged)
    Q_PROPERTY(int pageSize READ pageSize WRITE setSizeIndex NOTIFY pageSizeChanged)
    // getLastPageIndex() as a value views bind to; follows the page, the page size and the source rows.
    Q_PROPERTY(int lastPageIndex READ getLastPageIndex NOTIFY lastPageIndexChanged)

public:
    static constexpr int DeviceRole = 2;

    explicit DeviceSortFilterProxyModel(QObject *parent = nullptr);

    QStringList availableTypes() const { return m_availableTypes; }
    QMap<int, QString> typeDictionary() const { return m_typeDictionary; }
    int sortingRole() const { return m_sortingRole; }
    bool ascending() const { return m_ascending; }
    int filteredType() const { return m_filteredType; }
    QString filteredString() const { return m_filteredString; }
    int pageIndex() const { return m_pageIndex; }   // -1 = no paging
    int pageSize() const { return m_pageSize; }     // 0 or less = one page holding everything

    Q_INVOKABLE QModelIndex getTrueIndex(const QModelIndex &proxyModelIndex) const;
    Q_INVOKABLE bool isCurrentPageLast() const;
    Q_INVOKABLE int getLastPageIndex() const;
    // The caption of a kind, "Unknown" for a kind without one.
    Q_INVOKABLE QString typeName(int deviceType) const;

    void setSourceModel(QAbstractItemModel *sourceModel) override;

public slots:
    // `index` is a position in availableTypes (the type selector's current index).
    void setFilteredType(int index);
    void setFilteredString(const QString &text);
    void setSortingRole(int role);
    void setPageIndex(int pageIndex);
    void setSizeIndex(int pageSize);

signals:
    void availableTypesChanged(const QStringList &availableTypes);   // declared for QML, never emitted
    void sortingRoleChanged(int sortingRole);
    void ascendingChanged(bool ascending);
    void pageIndexChanged(int pageIndex);
    void pageSizeChanged(int pageSize);
    void lastPageIndexChanged(int lastPageIndex);

protected:
    // For the subclass's constructor.
    void setTypes(const QMap<int, QString> &dictionary, const QStringList &availableTypes);
    int sourceCount() const;

    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    // The type and text tests of one source row; paging is added by this class.
    virtual bool acceptsDevice(const QModelIndex &sourceIndex) const = 0;
    bool lessThan(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const override;
    // How two texts of the sorting role are ordered.
    virtual bool lessString(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const;

private:
    // Pages are cut from source row numbers, which shift as rows come and go before them.
    void refilterPage(int firstChangedRow);
    // Announces a new last page index; called after everything it depends on.
    void updateLastPageIndex();

    int m_sortingRole = 0;
    bool m_ascending = true;
    int m_filteredType = -1;
    QString m_filteredString;
    QStringList m_availableTypes;
    QMap<int, QString> m_typeDictionary;
    int m_pageIndex = -1;
    int m_pageSize = 100;
    int m_lastPageIndex = -1;   // as last announced
    QList<QMetaObject::Connection> m_sourceConnections;
};
