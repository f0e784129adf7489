#include "devices/proxies/ListSortFilterProxyModel.h"

#include "core/property/AssignProperty.h"

ListSortFilterProxyModel::ListSortFilterProxyModel(QObject *parent)
    : SortingFilterProxyModel(parent)
{
    connect(this, &QAbstractProxyModel::sourceModelChanged, this, &ListSortFilterProxyModel::onSourceCountChanged);
}

int ListSortFilterProxyModel::sourceCount() const
{
    return sourceModel() ? sourceModel()->rowCount() : 0;
}

void ListSortFilterProxyModel::setNumberFilterRoles(const QList<int> &roles)
{
    if (!assignProperty(this, m_numberFilterRoles, roles,
                        &ListSortFilterProxyModel::numberFilterRolesChanged))
        return;
    update(false);
}

void ListSortFilterProxyModel::setStringFilterRoles(const QList<int> &roles)
{
    if (!assignProperty(this, m_stringFilterRoles, roles,
                        &ListSortFilterProxyModel::stringFilterRolesChanged))
        return;
    update(false);
}

void ListSortFilterProxyModel::setUseRegularExpressions(bool use)
{
    if (!assignProperty(this, m_useRegularExpressions, use,
                        &ListSortFilterProxyModel::useRegularExpressionsChanged))
        return;
    update(false);
}

void ListSortFilterProxyModel::onSourceCountChanged()
{
    // The count of a replaced source model is no longer ours to follow.
    for (const QMetaObject::Connection &connection : qAsConst(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    if (QAbstractItemModel *source = sourceModel()) {
        m_sourceConnections = {
            connect(source, &QAbstractItemModel::modelReset, this, &ListSortFilterProxyModel::sourceCountChanged),
            connect(source, &QAbstractItemModel::rowsInserted, this, &ListSortFilterProxyModel::sourceCountChanged),
            connect(source, &QAbstractItemModel::rowsRemoved, this, &ListSortFilterProxyModel::sourceCountChanged),
        };
    }
    emit sourceCountChanged();
}

const QRegularExpression &ListSortFilterProxyModel::expression() const
{
    if (m_expressionPattern != filteredString()) {
        m_expressionPattern = filteredString();
        m_expression = QRegularExpression(m_expressionPattern, QRegularExpression::CaseInsensitiveOption);
    }
    return m_expression;
}

bool ListSortFilterProxyModel::acceptsSourceIndex(const QModelIndex &sourceIndex) const
{
    const QString text = filteredString();
    if (text.isEmpty())
        return true;

    // Only a text that is a whole number matches numbers: "cam" must not match every 0.
    bool isNumber = false;
    const int target = text.toInt(&isNumber, 10);
    if (isNumber) {
        for (int role : m_numberFilterRoles) {
            bool ok = false;
            const int value = sourceIndex.data(role).toInt(&ok);
            if (ok && value == target)
                return true;
        }
    }

    if (m_stringFilterRoles.isEmpty())
        return false;
    if (m_useRegularExpressions) {
        // An invalid expression matches nothing.
        const QRegularExpression &regex = expression();
        if (!regex.isValid())
            return false;
        for (int role : m_stringFilterRoles) {
            if (sourceIndex.data(role).toString().contains(regex))
                return true;
        }
        return false;
    }
    for (int role : m_stringFilterRoles) {
        if (sourceIndex.data(role).toString().contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
