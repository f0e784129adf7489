#pragma once

#include <QList>
#include <QMap>
#include <QSortFilterProxyModel>
#include <QStringList>

// The general sort-and-filter proxy of the QML lists: sorts on typed role values with a primary
// role, tie-break roles and the source order last; keeps a type selector's captions and a
// filter text for subclasses. GUI thread only.
class SortingFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int filteredType READ filteredType WRITE setFilteredType NOTIFY filteredTypeChanged)
    Q_PROPERTY(QString filteredString READ filteredString WRITE setFilteredString NOTIFY filteredStringChanged)
    Q_PROPERTY(int sortingRole READ sortingRole WRITE setSortingRole NOTIFY sortingRoleChanged)
    Q_PROPERTY(QList<int> sortingRoles READ sortingRoles WRITE setSortingRoles NOTIFY sortingRolesChanged)
    Q_PROPERTY(QList<int> secondarySortingRoles READ secondarySortingRoles WRITE setSecondarySortingRoles
                   NOTIFY secondarySortingRolesChanged)
    Q_PROPERTY(QStringList roleTranslations READ roleTranslations WRITE setRoleTranslations NOTIFY roleTranslationsChanged)
    Q_PROPERTY(bool ascending READ ascending WRITE setAscending NOTIFY ascendingChanged)
    Q_PROPERTY(QStringList availableTypes READ availableTypes WRITE setAvailableTypes NOTIFY availableTypesChanged)
    Q_PROPERTY(QModelIndexList filteredIndices READ filteredIndices)

public:
    explicit SortingFilterProxyModel(QObject *parent = nullptr);
    ~SortingFilterProxyModel() override;

    bool isEnabled() const { return m_enabled; }
    int count() const { return rowCount(); }
    int filteredType() const { return m_filteredType; }
    QString filteredString() const { return m_filteredString; }
    int sortingRole() const { return m_sortingRole; }
    QList<int> sortingRoles() const { return m_sortingRoles; }
    QList<int> secondarySortingRoles() const { return m_secondarySortingRoles; }
    QStringList roleTranslations() const { return m_roleTranslations; }
    bool ascending() const { return m_ascending; }
    QStringList availableTypes() const { return m_availableTypes; }
    QMap<int, QString> typeDictionary() const { return m_typeDictionary; }
    // Source indexes of every shown row, in shown order.
    QModelIndexList filteredIndices() const;

    Q_INVOKABLE QModelIndex getTrueIndex(const QModelIndex &proxyModelIndex) const;

    virtual void resetTypes();
    // Re-sorts (unless filterOnly), refilters and announces the count.
    Q_INVOKABLE virtual void update(bool filterOnly);
    Q_INVOKABLE void update() { update(false); }

public slots:
    void setEnabled(bool enabled);
    void setTypeDictionary(const QMap<int, QString> &dictionary);
    void setAvailableTypes(const QStringList &types);
    // `index` is a position in availableTypes (a type selector's current index), not a type key.
    void setFilteredType(int index);
    void setFilteredString(const QString &text);
    // Choosing the current role again turns the direction round.
    void setSortingRole(int role);
    void setSortingRoles(const QList<int> &roles);
    void setSecondarySortingRoles(const QList<int> &roles);
    void setRoleTranslations(const QStringList &translations);
    void setAscending(bool ascending);

signals:
    void enabledChanged();
    void countChanged();
    void filteredTypeChanged();      // for QML; the proxy itself never emits it
    void filteredStringChanged();    // likewise
    void sortingRoleChanged();
    void sortingRolesChanged();
    void secondarySortingRolesChanged();
    void roleTranslationsChanged();
    void ascendingChanged();
    void availableTypesChanged();
    void sorted();
    void beginSort();
    void forceReset();               // for QML; the proxy itself never emits it

protected:
    // Derived proxies fill the type dictionary and availableTypes here, from their constructor.
    virtual void buildTypeFilter() {}
    virtual bool acceptsSourceIndex(const QModelIndex &sourceIndex) const;
    virtual bool lessThanByRole(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool equalByRole(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool lessDateTime(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool equalDateTime(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool lessInt(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool equalInt(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool lessLongLong(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool equalLongLong(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool lessULongLong(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool equalULongLong(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool lessBool(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool equalBool(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool lessDouble(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool equalDouble(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool lessString(const QModelIndex &left, const QModelIndex &right, int role) const;
    virtual bool equalString(const QModelIndex &left, const QModelIndex &right, int role) const;

    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const override;

    // beginSort, sort column 0 in the current direction, sorted.
    void resort();

private:
    int m_filteredType = -1;
    QString m_filteredString;
    QMap<int, QString> m_typeDictionary;
    QStringList m_availableTypes;
    bool m_enabled = true;
    int m_sortingRole = -1;
    QList<int> m_sortingRoles;
    QList<int> m_secondarySortingRoles;
    QStringList m_roleTranslations;
    bool m_ascending = true;
};
