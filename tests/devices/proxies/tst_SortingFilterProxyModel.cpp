#include "RowModel.h"
#include "devices/proxies/SortingFilterProxyModel.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QSignalSpy>
#include <QtTest>

namespace {

enum Roles { IdRole = Qt::UserRole, ValueRole, SecondRole, ThirdRole };

QStringList shownIds(const QAbstractItemModel &proxy)
{
    QStringList ids;
    for (int row = 0; row < proxy.rowCount(); ++row)
        ids.append(proxy.index(row, 0).data(IdRole).toString());
    return ids;
}

} // namespace

class tst_SortingFilterProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void typedSorting_data();
    void typedSorting();
    void multiRoleSorting_data();
    void multiRoleSorting();
    void sortingRoleChoice();
    void filteredType_data();
    void filteredType();
    void filteredStringAndCount();
    void indices();
};

void tst_SortingFilterProxyModel::construction()
{
    SortingFilterProxyModel proxy;
    QCOMPARE(proxy.sortRole(), int(Qt::DisplayRole));
    QCOMPARE(proxy.availableTypes(), QStringList{QStringLiteral("All types")});
    QCOMPARE(proxy.filteredType(), -1);
    QCOMPARE(proxy.count(), 0);
    QVERIFY(proxy.isEnabled());
    QVERIFY(proxy.dynamicSortFilter());
}

void tst_SortingFilterProxyModel::typedSorting_data()
{
    QTest::addColumn<QVariantList>("values");   // one value per source row, ids "a", "b", ...
    QTest::addColumn<QString>("ascending");
    QTest::addColumn<QString>("descending");

    const QDateTime t0 = QDateTime::fromMSecsSinceEpoch(1000, Qt::UTC);
    QTest::newRow("int") << QVariantList{3, -1, 2} << "bca" << "acb";
    QTest::newRow("qlonglong") << QVariantList{qlonglong(1) << 40, qlonglong(5), qlonglong(-7)} << "cba" << "abc";
    QTest::newRow("qulonglong") << QVariantList{qulonglong(1) << 63, qulonglong(0), qulonglong(9)} << "bca" << "acb";
    QTest::newRow("bool") << QVariantList{true, false, true} << "bac" << "acb";
    QTest::newRow("double") << QVariantList{0.5, -2.25, 0.25} << "bca" << "acb";
    QTest::newRow("date-time") << QVariantList{t0.addSecs(60), t0, t0.addSecs(-60)} << "cba" << "abc";
    QTest::newRow("text") << QVariantList{QStringLiteral("pear"), QStringLiteral("apple"), QStringLiteral("fig")} << "bca" << "acb";
    // Unsigned int has no typed comparison: the source order stands.
    QTest::newRow("unsigned int by source order") << QVariantList{5u, 1u, 3u} << "abc" << "cba";
}

void tst_SortingFilterProxyModel::typedSorting()
{
    QFETCH(QVariantList, values);
    QFETCH(QString, ascending);
    QFETCH(QString, descending);

    RowModel source;
    for (int i = 0; i < values.size(); ++i)
        source.append({{IdRole, QString(QLatin1Char('a' + i))}, {ValueRole, values.at(i)}});
    SortingFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&source);
    proxy.setSortingRole(ValueRole);

    QCOMPARE(shownIds(proxy).join(QString()), ascending);
    proxy.setSortingRole(ValueRole);
    QCOMPARE(shownIds(proxy).join(QString()), descending);
}

void tst_SortingFilterProxyModel::multiRoleSorting_data()
{
    QTest::addColumn<QList<int>>("secondary");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QString>("expected");

    // rows:      a       b       c       d       e
    // value:     2       1       2       1       2
    // second:    "x"     "y"     "x"     "x"     "w"
    // third:     1       0       0       0       1
    // Without tie-break roles, ties are left to Qt's stable sort: source order both ways.
    QTest::newRow("primary only") << QList<int>() << true << "bdace";
    QTest::newRow("primary only, descending") << QList<int>() << false << "acebd";
    QTest::newRow("second breaks ties, then source order") << QList<int>{SecondRole} << true << "dbeac";
    QTest::newRow("second and third") << QList<int>{SecondRole, ThirdRole} << true << "dbeca";
    QTest::newRow("descending: reverse source order last") << QList<int>{SecondRole} << false << "caebd";
}

void tst_SortingFilterProxyModel::multiRoleSorting()
{
    QFETCH(QList<int>, secondary);
    QFETCH(bool, ascending);
    QFETCH(QString, expected);

    const QList<QVariantList> rows{{2, QStringLiteral("x"), 1}, {1, QStringLiteral("y"), 0}, {2, QStringLiteral("x"), 0},
                                   {1, QStringLiteral("x"), 0}, {2, QStringLiteral("w"), 1}};
    RowModel source;
    for (int i = 0; i < rows.size(); ++i) {
        source.append({{IdRole, QString(QLatin1Char('a' + i))}, {ValueRole, rows.at(i).at(0)},
                       {SecondRole, rows.at(i).at(1)}, {ThirdRole, rows.at(i).at(2)}});
    }
    SortingFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&source);
    proxy.setSortingRole(ValueRole);
    proxy.setAscending(ascending);
    proxy.setSecondarySortingRoles(secondary);
    proxy.update();   // new tie-break roles take effect with the next sort

    QCOMPARE(shownIds(proxy).join(QString()), expected);
}

void tst_SortingFilterProxyModel::sortingRoleChoice()
{
    RowModel source;
    SortingFilterProxyModel proxy;
    proxy.setSourceModel(&source);
    QStringList events;
    connect(&proxy, &SortingFilterProxyModel::ascendingChanged, this, [&] { events << QStringLiteral("ascending"); });
    connect(&proxy, &SortingFilterProxyModel::beginSort, this, [&] { events << QStringLiteral("beginSort"); });
    connect(&proxy, &SortingFilterProxyModel::sorted, this, [&] { events << QStringLiteral("sorted"); });
    connect(&proxy, &SortingFilterProxyModel::sortingRoleChanged, this, [&] { events << QStringLiteral("role"); });

    proxy.setSortingRole(ValueRole);   // first choice
    QCOMPARE(events, QStringList{QStringLiteral("role")});
    QCOMPARE(proxy.sortRole(), int(ValueRole));

    events.clear();
    proxy.setSortingRole(ValueRole);   // same again: direction turns round
    QCOMPARE(events, (QStringList{QStringLiteral("ascending"), QStringLiteral("beginSort"), QStringLiteral("sorted")}));
    QVERIFY(!proxy.ascending());

    events.clear();
    proxy.setSortingRole(SecondRole);   // new role keeps the direction
    QCOMPARE(events, (QStringList{QStringLiteral("role"), QStringLiteral("sorted")}));
    QVERIFY(!proxy.ascending());
    QCOMPARE(proxy.sortRole(), int(SecondRole));
    QCOMPARE(proxy.sortOrder(), Qt::DescendingOrder);
}

void tst_SortingFilterProxyModel::filteredType_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expected");

    QTest::newRow("all types") << 0 << -1;
    QTest::newRow("first key with the caption") << 1 << 1;
    QTest::newRow("second caption") << 2 << 2;
    QTest::newRow("caption without a key") << 3 << -1;
    QTest::newRow("past the end") << 9 << -1;
    QTest::newRow("nothing chosen") << -1 << -1;
}

void tst_SortingFilterProxyModel::filteredType()
{
    QFETCH(int, position);
    QFETCH(int, expected);

    SortingFilterProxyModel proxy;
    proxy.setTypeDictionary({{5, QStringLiteral("A")}, {1, QStringLiteral("A")}, {2, QStringLiteral("B")}});
    proxy.setAvailableTypes({QStringLiteral("All types"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    proxy.setFilteredType(2);
    QSignalSpy changed(&proxy, &SortingFilterProxyModel::filteredTypeChanged);

    proxy.setFilteredType(position);
    QCOMPARE(proxy.filteredType(), expected);
    QCOMPARE(changed.count(), 0);
}

void tst_SortingFilterProxyModel::filteredStringAndCount()
{
    RowModel source;
    for (const char *name : {"alpha", "beta", "gamma"})
        source.append({{Qt::DisplayRole, QString::fromLatin1(name)}, {IdRole, QString::fromLatin1(name)}});
    SortingFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&source);
    QSignalSpy count(&proxy, &SortingFilterProxyModel::countChanged);
    QSignalSpy stringChanged(&proxy, &SortingFilterProxyModel::filteredStringChanged);

    proxy.setFilteredString(QStringLiteral("a"));
    QCOMPARE(count.count(), 1);
    proxy.setFilteredString(QStringLiteral("a"));
    QCOMPARE(count.count(), 1);   // same text: no refresh
    QCOMPARE(stringChanged.count(), 0);
    // The text alone does not filter here; the base matches display texts against the filter expression.
    QCOMPARE(proxy.count(), 3);
    proxy.setFilterRegularExpression(QStringLiteral("^(ALPHA|gamma)$"));
    QCOMPARE(shownIds(proxy), (QStringList{QStringLiteral("alpha"), QStringLiteral("gamma")}));

    count.clear();
    source.append({{Qt::DisplayRole, QStringLiteral("Alpha")}, {IdRole, QStringLiteral("Alpha")}});
    QCOMPARE(proxy.count(), 3);
    QCOMPARE(count.count(), 1);
    source.remove(source.index(0, 0));
    QCOMPARE(proxy.count(), 2);
    QCOMPARE(count.count(), 2);
}

void tst_SortingFilterProxyModel::indices()
{
    SortingFilterProxyModel proxy;
    QVERIFY(proxy.filteredIndices().isEmpty());
    QVERIFY(!proxy.getTrueIndex(QModelIndex()).isValid());

    RowModel source;
    for (const char *name : {"c", "a", "b"})
        source.append({{Qt::DisplayRole, QString::fromLatin1(name)}});
    proxy.setSourceModel(&source);
    QCOMPARE(proxy.filteredIndices(), (QModelIndexList{source.index(1, 0), source.index(2, 0), source.index(0, 0)}));
    QCOMPARE(proxy.getTrueIndex(proxy.index(0, 0)), source.index(1, 0));
}

QTEST_GUILESS_MAIN(tst_SortingFilterProxyModel)
#include "tst_SortingFilterProxyModel.moc"
