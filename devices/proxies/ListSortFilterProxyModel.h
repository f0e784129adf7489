#pragma once

#include "devices/proxies/SortingFilterProxyModel.h"

#include <QMetaObject>
#include <QRegularExpression>

// Matches the filter text against several roles of a row: some as whole numbers, others as
// text (substring or regular expression, case ignored). Publishes the source's row count too.
class ListSortFilterProxyModel : public SortingFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int sourceCount READ sourceCount NOTIFY sourceCountChanged)
    Q_PROPERTY(QList<int> numberFilterRoles READ numberFilterRoles WRITE setNumberFilterRoles NOTIFY numberFilterRolesChanged)
    Q_PROPERTY(QList<int> stringFilterRoles READ stringFilterRoles WRITE setStringFilterRoles NOTIFY stringFilterRolesChanged)
    Q_PROPERTY(bool useRegularExpressions READ useRegularExpressions WRITE setUseRegularExpressions
                   NOTIFY useRegularExpressionsChanged)

public:
    explicit ListSortFilterProxyModel(QObject *parent = nullptr);

    // Every source row, also those the filter hides; 0 without a source model.
    int sourceCount() const;
    QList<int> numberFilterRoles() const { return m_numberFilterRoles; }
    QList<int> stringFilterRoles() const { return m_stringFilterRoles; }
    bool useRegularExpressions() const { return m_useRegularExpressions; }

public slots:
    void setNumberFilterRoles(const QList<int> &roles);
    void setStringFilterRoles(const QList<int> &roles);
    void setUseRegularExpressions(bool use);

signals:
    void sourceCountChanged();
    void numberFilterRolesChanged();
    void stringFilterRolesChanged();
    void useRegularExpressionsChanged();

protected:
    bool acceptsSourceIndex(const QModelIndex &sourceIndex) const override;

private slots:
    void onSourceCountChanged();

private:
    // Compiled once per filter text rather than once per row.
    const QRegularExpression &expression() const;

    QList<int> m_numberFilterRoles;
    QList<int> m_stringFilterRoles;
    bool m_useRegularExpressions = false;
    QList<QMetaObject::Connection> m_sourceConnections;
    mutable QString m_expressionPattern;
    mutable QRegularExpression m_expression;
};
