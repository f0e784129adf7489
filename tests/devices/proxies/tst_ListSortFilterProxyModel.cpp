#include "RowModel.h"
#include "devices/proxies/ListSortFilterProxyModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {

enum Roles { NameRole = Qt::UserRole, IdRole, KindRole };

void fill(RowModel &source)
{
    const QList<QVariantList> rows{
        {QStringLiteral("Camera 1"), 0, QStringLiteral("video")},
        {QStringLiteral("Camera 12"), 1, QStringLiteral("video")},
        {QStringLiteral("Radar"), 12, QStringLiteral("radar (north)")},
        {QStringLiteral("Gate cam"), 7, QStringLiteral("QMT")},
    };
    for (const QVariantList &row : rows)
        source.append({{Qt::DisplayRole, row.at(0)}, {NameRole, row.at(0)}, {IdRole, row.at(1)}, {KindRole, row.at(2)}});
}

QStringList shownNames(const QAbstractItemModel &proxy)
{
    QStringList names;
    for (int row = 0; row < proxy.rowCount(); ++row)
        names.append(proxy.index(row, 0).data(NameRole).toString());
    return names;
}

} // namespace

class tst_ListSortFilterProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
    void sourceCount();
    void unchangedRolesDoNothing();
};

void tst_ListSortFilterProxyModel::filter_data()
{
    QTest::addColumn<QList<int>>("numberRoles");
    QTest::addColumn<QList<int>>("stringRoles");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");

    const QList<int> none;
    const QList<int> ids{IdRole};
    const QList<int> texts{NameRole, KindRole};
    const QStringList all{QStringLiteral("Camera 1"), QStringLiteral("Camera 12"), QStringLiteral("Gate cam"), QStringLiteral("Radar")};
    const QStringList cameras{QStringLiteral("Camera 1"), QStringLiteral("Camera 12"), QStringLiteral("Gate cam")};

    QTest::newRow("empty text shows all") << none << none << false << "" << all;
    QTest::newRow("no roles hide everything") << none << none << false << "cam" << QStringList();
    QTest::newRow("text ignores case") << none << texts << false << "cam" << cameras;
    QTest::newRow("second text role") << none << texts << false << "NORTH" << QStringList{QStringLiteral("Radar")};
    QTest::newRow("text is not a pattern") << none << texts << false << "cam.*1" << QStringList();
    QTest::newRow("text only in number roles") << ids << none << false << "cam" << QStringList();
    QTest::newRow("number") << ids << none << false << "12" << QStringList{QStringLiteral("Radar")};
    QTest::newRow("number zero") << ids << none << false << "0" << QStringList{QStringLiteral("Camera 1")};
    QTest::newRow("number or text") << ids << texts << false << "12"
                                    << QStringList{QStringLiteral("Camera 12"), QStringLiteral("Radar")};
    QTest::newRow("regex") << none << texts << true << "^cam.*1$" << QStringList{QStringLiteral("Camera 1")};
    QTest::newRow("regex over roles") << none << texts << true << "^(qmt|radar)" << QStringList{QStringLiteral("Gate cam"), QStringLiteral("Radar")};
    QTest::newRow("invalid regex matches nothing") << none << texts << true << "radar (" << QStringList();
    QTest::newRow("invalid regex that is no number either") << ids << texts << true << "7(" << QStringList();
    QTest::newRow("same text without regex") << none << texts << false << "radar (" << QStringList{QStringLiteral("Radar")};
}

void tst_ListSortFilterProxyModel::filter()
{
    QFETCH(QList<int>, numberRoles);
    QFETCH(QList<int>, stringRoles);
    QFETCH(bool, regex);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    RowModel source;
    fill(source);
    ListSortFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&source);
    proxy.setNumberFilterRoles(numberRoles);
    proxy.setStringFilterRoles(stringRoles);
    proxy.setUseRegularExpressions(regex);
    proxy.setFilteredString(text);

    QCOMPARE(shownNames(proxy), shown);
    QCOMPARE(proxy.count(), shown.size());
    QCOMPARE(proxy.sourceCount(), 4);

    // The filter follows rows added later too.
    source.append({{Qt::DisplayRole, QStringLiteral("Zed")}, {NameRole, QStringLiteral("Zed")}, {IdRole, 99}});
    QCOMPARE(proxy.count(), shown.size() + (text.isEmpty() ? 1 : 0));
}

void tst_ListSortFilterProxyModel::sourceCount()
{
    ListSortFilterProxyModel proxy;
    QSignalSpy spy(&proxy, &ListSortFilterProxyModel::sourceCountChanged);
    QCOMPARE(proxy.sourceCount(), 0);

    RowModel first;
    fill(first);
    proxy.setSourceModel(&first);
    QCOMPARE(spy.count(), 1);
    proxy.setStringFilterRoles({NameRole});
    proxy.setFilteredString(QStringLiteral("radar"));
    QCOMPARE(proxy.count(), 1);
    QCOMPARE(proxy.sourceCount(), 4);   // hidden rows count too

    first.append({{NameRole, QStringLiteral("x")}});
    QCOMPARE(spy.count(), 2);
    first.remove(first.index(0, 0));
    QCOMPARE(spy.count(), 3);
    first.clear();
    QCOMPARE(spy.count(), 4);
    QCOMPARE(proxy.sourceCount(), 0);

    RowModel second;
    proxy.setSourceModel(&second);
    QCOMPARE(spy.count(), 5);
    first.append({{NameRole, QStringLiteral("y")}});   // no longer followed
    QCOMPARE(spy.count(), 5);
    second.append({{NameRole, QStringLiteral("z")}});
    QCOMPARE(spy.count(), 6);
}

void tst_ListSortFilterProxyModel::unchangedRolesDoNothing()
{
    RowModel source;
    fill(source);
    ListSortFilterProxyModel proxy;
    proxy.setSourceModel(&source);
    proxy.setStringFilterRoles({NameRole});
    proxy.setNumberFilterRoles({IdRole});
    proxy.setUseRegularExpressions(true);
    QSignalSpy count(&proxy, &SortingFilterProxyModel::countChanged);
    QSignalSpy strings(&proxy, &ListSortFilterProxyModel::stringFilterRolesChanged);
    QSignalSpy numbers(&proxy, &ListSortFilterProxyModel::numberFilterRolesChanged);
    QSignalSpy regex(&proxy, &ListSortFilterProxyModel::useRegularExpressionsChanged);

    proxy.setStringFilterRoles({NameRole});
    proxy.setNumberFilterRoles({IdRole});
    proxy.setUseRegularExpressions(true);
    QCOMPARE(strings.count() + numbers.count() + regex.count() + count.count(), 0);

    proxy.setStringFilterRoles({NameRole, KindRole});
    QCOMPARE(strings.count(), 1);
    QCOMPARE(count.count(), 1);
}

QTEST_GUILESS_MAIN(tst_ListSortFilterProxyModel)
#include "tst_ListSortFilterProxyModel.moc"
