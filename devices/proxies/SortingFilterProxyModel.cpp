#include "devices/proxies/SortingFilterProxyModel.h"

#include "core/property/AssignProperty.h"

#include <QDateTime>
#include <QRegularExpression>

SortingFilterProxyModel::SortingFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    connect(this, &QAbstractItemModel::modelReset, this, &SortingFilterProxyModel::countChanged);
    connect(this, &QAbstractItemModel::rowsInserted, this, &SortingFilterProxyModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &SortingFilterProxyModel::countChanged);

    resetTypes();

    setDynamicSortFilter(true);
    setSortRole(qMax(m_sortingRole, 0));
    resort();
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
}

SortingFilterProxyModel::~SortingFilterProxyModel() = default;

QModelIndexList SortingFilterProxyModel::filteredIndices() const
{
    QModelIndexList indices;
    const int rows = rowCount();
    indices.reserve(rows);
    for (int row = 0; row < rows; ++row)
        indices.append(mapToSource(index(row, 0)));
    return indices;
}

QModelIndex SortingFilterProxyModel::getTrueIndex(const QModelIndex &proxyModelIndex) const
{
    if (!proxyModelIndex.isValid())
        return QModelIndex();
    return mapToSource(proxyModelIndex);
}

void SortingFilterProxyModel::resetTypes()
{
    m_typeDictionary.clear();
    setAvailableTypes({tr("All types")});
}

void SortingFilterProxyModel::update(bool filterOnly)
{
    if (!filterOnly)
        resort();
    invalidate();
    emit countChanged();
}

void SortingFilterProxyModel::setEnabled(bool enabled)
{
    if (!assignProperty(this, m_enabled, enabled, &SortingFilterProxyModel::enabledChanged))
        return;
    update(false);
}

void SortingFilterProxyModel::setTypeDictionary(const QMap<int, QString> &dictionary)
{
    m_typeDictionary = dictionary;
}

void SortingFilterProxyModel::setAvailableTypes(const QStringList &types)
{
    assignProperty(this, m_availableTypes, types, &SortingFilterProxyModel::availableTypesChanged);
}

void SortingFilterProxyModel::setFilteredType(int index)
{
    // A position outside the list (a selector with nothing chosen gives -1) means no type filter.
    int candidate = -1;
    if (index >= 0 && index < m_availableTypes.size()) {
        const QString caption = m_availableTypes.at(index);
        for (auto it = m_typeDictionary.cbegin(); it != m_typeDictionary.cend(); ++it) {
            if (it.value() == caption) {
                candidate = it.key();
                break;
            }
        }
    }
    if (candidate == m_filteredType)
        return;
    m_filteredType = candidate;
    update(false);
}

void SortingFilterProxyModel::setFilteredString(const QString &text)
{
    if (m_filteredString == text)
        return;
    m_filteredString = text;
    update(false);
}

void SortingFilterProxyModel::setSortingRole(int role)
{
    if (m_sortingRole == -1) {
        m_sortingRole = role;
        emit sortingRoleChanged();
        setSortRole(qMax(role, 0));
    } else if (role == m_sortingRole) {
        m_ascending = !m_ascending;
        emit ascendingChanged();
        resort();
    } else {
        m_sortingRole = role;
        emit sortingRoleChanged();
        setSortRole(qMax(role, 0));
        emit sorted();
    }
    update(true);
}

void SortingFilterProxyModel::setSortingRoles(const QList<int> &roles)
{
    if (!assignProperty(this, m_sortingRoles, roles, &SortingFilterProxyModel::sortingRolesChanged))
        return;
    resort();
}

void SortingFilterProxyModel::setSecondarySortingRoles(const QList<int> &roles)
{
    assignProperty(this, m_secondarySortingRoles, roles,
                   &SortingFilterProxyModel::secondarySortingRolesChanged);
}

void SortingFilterProxyModel::setRoleTranslations(const QStringList &translations)
{
    if (!assignProperty(this, m_roleTranslations, translations,
                        &SortingFilterProxyModel::roleTranslationsChanged))
        return;
    resort();
}

void SortingFilterProxyModel::setAscending(bool ascending)
{
    if (!assignProperty(this, m_ascending, ascending, &SortingFilterProxyModel::ascendingChanged))
        return;
    resort();
}

void SortingFilterProxyModel::resort()
{
    emit beginSort();
    sort(0, m_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    emit sorted();
}

bool SortingFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (!sourceModel())
        return false;
    return acceptsSourceIndex(sourceModel()->index(sourceRow, filterKeyColumn(), sourceParent));
}

bool SortingFilterProxyModel::acceptsSourceIndex(const QModelIndex &sourceIndex) const
{
    const QRegularExpression expression = filterRegularExpression();
    if (expression.pattern().isEmpty())
        return true;
    // An invalid pattern matches nothing (and must not warn once per row).
    if (!expression.isValid())
        return false;
    return sourceIndex.data(Qt::DisplayRole).toString().contains(expression);
}

bool SortingFilterProxyModel::lessThan(const QModelIndex &sourceLeft, const QModelIndex &sourceRight) const
{
    if (m_secondarySortingRoles.isEmpty())
        return lessThanByRole(sourceLeft, sourceRight, sortRole());

    QList<int> roles{sortRole()};
    roles.append(m_secondarySortingRoles);
    for (int role : qAsConst(roles)) {
        if (!equalByRole(sourceLeft, sourceRight, role))
            return lessThanByRole(sourceLeft, sourceRight, role);
    }
    // Equal in every role: the source order decides, so sorting is stable.
    return sourceLeft.row() < sourceRight.row();
}

// The left value's type picks the comparison; both values are converted to it.
bool SortingFilterProxyModel::lessThanByRole(const QModelIndex &left, const QModelIndex &right, int role) const
{
    switch (left.data(role).userType()) {
    case QMetaType::QDateTime:
        return lessDateTime(left, right, role);
    case QMetaType::Int:
        return lessInt(left, right, role);
    case QMetaType::LongLong:
        return lessLongLong(left, right, role);
    case QMetaType::ULongLong:
        return lessULongLong(left, right, role);
    case QMetaType::Bool:
        return lessBool(left, right, role);
    case QMetaType::Double:
        return lessDouble(left, right, role);
    case QMetaType::QString:
        return lessString(left, right, role);
    default:
        return left < right;
    }
}

bool SortingFilterProxyModel::equalByRole(const QModelIndex &left, const QModelIndex &right, int role) const
{
    switch (left.data(role).userType()) {
    case QMetaType::QDateTime:
        return equalDateTime(left, right, role);
    case QMetaType::Int:
        return equalInt(left, right, role);
    case QMetaType::LongLong:
        return equalLongLong(left, right, role);
    case QMetaType::ULongLong:
        return equalULongLong(left, right, role);
    case QMetaType::Bool:
        return equalBool(left, right, role);
    case QMetaType::Double:
        return equalDouble(left, right, role);
    case QMetaType::QString:
        return equalString(left, right, role);
    default:
        return left == right;
    }
}

bool SortingFilterProxyModel::lessDateTime(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toDateTime() < right.data(role).toDateTime();
}

bool SortingFilterProxyModel::equalDateTime(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toDateTime() == right.data(role).toDateTime();
}

bool SortingFilterProxyModel::lessInt(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toInt() < right.data(role).toInt();
}

bool SortingFilterProxyModel::equalInt(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toInt() == right.data(role).toInt();
}

bool SortingFilterProxyModel::lessLongLong(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toLongLong() < right.data(role).toLongLong();
}

bool SortingFilterProxyModel::equalLongLong(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toLongLong() == right.data(role).toLongLong();
}

bool SortingFilterProxyModel::lessULongLong(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toULongLong() < right.data(role).toULongLong();
}

bool SortingFilterProxyModel::equalULongLong(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toULongLong() == right.data(role).toULongLong();
}

bool SortingFilterProxyModel::lessBool(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return !left.data(role).toBool() && right.data(role).toBool();
}

bool SortingFilterProxyModel::equalBool(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toBool() == right.data(role).toBool();
}

bool SortingFilterProxyModel::lessDouble(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toDouble() < right.data(role).toDouble();
}

bool SortingFilterProxyModel::equalDouble(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return left.data(role).toDouble() == right.data(role).toDouble();
}

bool SortingFilterProxyModel::lessString(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return QString::localeAwareCompare(left.data(role).toString(), right.data(role).toString()) < 0;
}

bool SortingFilterProxyModel::equalString(const QModelIndex &left, const QModelIndex &right, int role) const
{
    return QString::localeAwareCompare(left.data(role).toString(), right.data(role).toString()) == 0;
}
