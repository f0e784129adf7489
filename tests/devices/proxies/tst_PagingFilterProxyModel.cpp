#include "RowModel.h"
#include "devices/proxies/PagingFilterProxyModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Rows named "r000", "r001", ...: the proxy sorts by name, so proxy row i is source row i
// until rows are inserted in between.
QString rowName(int i)
{
    return QStringLiteral("r%1").arg(i, 3, 10, QLatin1Char('0'));
}

struct Pager
{
    explicit Pager(int rows, int pageSize = 100)
    {
        for (int i = 0; i < rows; ++i)
            source.append({{Qt::DisplayRole, rowName(i)}});
        proxy.setSourceModel(&source);
        proxy.setPageSize(pageSize);
        proxy.update();
    }

    QStringList page() const
    {
        QStringList names;
        for (const QModelIndex &index : proxy.pageIndices())
            names.append(index.data().toString());
        return names;
    }

    RowModel source;
    PagingFilterProxyModel proxy;
    QAbstractItemModelTester tester{&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

QStringList names(int first, int last)
{
    QStringList list;
    for (int i = first; i <= last; ++i)
        list.append(rowName(i));
    return list;
}

} // namespace

class tst_PagingFilterProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void pages_data();
    void pages();
    void navigation_data();
    void navigation();
    void unclampedPageClampsOnCountChange();
    void insertion_data();
    void insertion();
    void removal_data();
    void removal();
    void updateSignalOrder();
    void filterText_data();
    void filterText();
};

void tst_PagingFilterProxyModel::pages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<int>("firstOfLast");
    QTest::addColumn<int>("sizeOfLast");

    QTest::newRow("250 by 100") << 250 << 100 << 2 << 200 << 50;
    QTest::newRow("200 by 100: last page empty") << 200 << 100 << 2 << -1 << 0;
    QTest::newRow("fewer rows than a page") << 30 << 100 << 0 << 0 << 30;
    QTest::newRow("no rows") << 0 << 100 << 0 << -1 << 0;
    QTest::newRow("size 1") << 3 << 1 << 3 << -1 << 0;
    QTest::newRow("size 0: one page with all") << 250 << 0 << 0 << 0 << 250;
    QTest::newRow("negative size: one page with all") << 250 << -5 << 0 << 0 << 250;
}

void tst_PagingFilterProxyModel::pages()
{
    QFETCH(int, rows);
    QFETCH(int, pageSize);
    QFETCH(int, pageCount);
    QFETCH(int, firstOfLast);
    QFETCH(int, sizeOfLast);

    Pager pager(rows, pageSize);
    QCOMPARE(pager.proxy.pageCount(), pageCount);
    QCOMPARE(pager.proxy.count(), rows);   // paging hides no rows of the proxy

    QSignalSpy reset(&pager.proxy, &PagingFilterProxyModel::pageReset);
    pager.proxy.end();
    QCOMPARE(pager.proxy.currentPage(), pageCount);
    pager.proxy.updateVisiblePage();
    QCOMPARE(reset.count(), 1);   // also for an empty page
    QCOMPARE(pager.page(), sizeOfLast ? names(firstOfLast, firstOfLast + sizeOfLast - 1) : QStringList());

    pager.proxy.next();   // never past the last page
    QCOMPARE(pager.proxy.currentPage(), pageCount);
}

void tst_PagingFilterProxyModel::navigation_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("to");

    // 250 rows by 100: pages 0, 1, 2.
    QTest::newRow("back from 0") << 0 << "back" << 0;
    QTest::newRow("back from 2") << 2 << "back" << 1;
    QTest::newRow("next from 1") << 1 << "next" << 2;
    QTest::newRow("start") << 2 << "start" << 0;
    QTest::newRow("jump 1 is page 0") << 2 << "jump 1" << 0;
    QTest::newRow("jump 3 is the last page") << 0 << "jump 3" << 2;
    QTest::newRow("jump 0 does nothing") << 1 << "jump 0" << 1;
    QTest::newRow("jump past the end does nothing") << 1 << "jump 4" << 1;
}

void tst_PagingFilterProxyModel::navigation()
{
    QFETCH(int, from);
    QFETCH(QString, operation);
    QFETCH(int, to);

    Pager pager(250);
    pager.proxy.setCurrentPage(from);
    QSignalSpy changed(&pager.proxy, &PagingFilterProxyModel::currentPageChanged);
    QSignalSpy reset(&pager.proxy, &PagingFilterProxyModel::pageReset);

    if (operation == QLatin1String("back"))
        pager.proxy.back();
    else if (operation == QLatin1String("next"))
        pager.proxy.next();
    else if (operation == QLatin1String("start"))
        pager.proxy.start();
    else
        pager.proxy.jump(operation.section(QLatin1Char(' '), 1).toInt());

    QCOMPARE(pager.proxy.currentPage(), to);
    QCOMPARE(changed.count(), from == to ? 0 : 1);
    QCOMPARE(reset.count(), 0);   // navigation leaves the page list to updateVisiblePage()
}

void tst_PagingFilterProxyModel::unclampedPageClampsOnCountChange()
{
    Pager pager(250);
    pager.proxy.setCurrentPage(9);
    QCOMPARE(pager.proxy.currentPage(), 9);
    pager.proxy.updateVisiblePage();
    QVERIFY(pager.page().isEmpty());

    for (int i = 0; i < 60; ++i)   // 310 rows: pageCount 3
        pager.source.append({{Qt::DisplayRole, rowName(250 + i)}});
    QCOMPARE(pager.proxy.pageCount(), 3);
    QCOMPARE(pager.proxy.currentPage(), 3);
}

void tst_PagingFilterProxyModel::insertion_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("expectedSource");   // name of the reported row; empty: no signal
    QTest::addColumn<int>("expectedSlot");

    QTest::newRow("on the page") << 250 << 0 << "r004a" << "r004a" << 5;
    QTest::newRow("first slot of the page") << 250 << 1 << "r099a" << "r099a" << 0;
    QTest::newRow("before the page") << 250 << 1 << "r004a" << "r099" << 0;
    QTest::newRow("after the page") << 250 << 0 << "r150a" << "" << -1;
    QTest::newRow("before a page beyond the rows") << 50 << 3 << "r004a" << "" << -1;
    QTest::newRow("into a short last page") << 250 << 2 << "r260" << "r260" << 50;
}

void tst_PagingFilterProxyModel::insertion()
{
    QFETCH(int, rows);
    QFETCH(int, page);
    QFETCH(QString, inserted);
    QFETCH(QString, expectedSource);
    QFETCH(int, expectedSlot);

    Pager pager(rows);
    pager.proxy.setCurrentPage(page);
    pager.proxy.updateVisiblePage();
    QSignalSpy spy(&pager.proxy, &PagingFilterProxyModel::pageRowInserted);
    QVERIFY(spy.isValid());

    pager.source.append({{Qt::DisplayRole, inserted}});

    if (expectedSource.isEmpty()) {
        QCOMPARE(spy.count(), 0);
    } else {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QModelIndex>().data().toString(), expectedSource);
        QCOMPARE(spy.at(0).at(1).toInt(), expectedSlot);
        QCOMPARE(spy.at(0).at(0).value<QModelIndex>().model(), &pager.source);
    }
    // The page list follows without a pageReset.
    QCOMPARE(pager.proxy.pageIndices().size(), qBound(0, rows + 1 - page * 100, 100));
}

void tst_PagingFilterProxyModel::removal_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("removed");          // source row (= proxy row here)
    QTest::addColumn<QString>("filler");       // row now in the page's last slot; empty: invalid
    QTest::addColumn<int>("slot");             // -2: no signal

    QTest::newRow("full page 0") << 250 << 0 << 3 << "r100" << 3;
    QTest::newRow("short page") << 50 << 0 << 3 << "" << 3;
    QTest::newRow("before the page") << 250 << 1 << 3 << "r200" << 0;
    QTest::newRow("after the page") << 250 << 0 << 120 << "" << -2;
    // The last row of all has no successor to name; its slot is still reported.
    QTest::newRow("last row of a short page") << 250 << 2 << 249 << "" << 49;
    QTest::newRow("one page holds all (size 0)") << 30 << 0 << 29 << "" << 29;
}

void tst_PagingFilterProxyModel::removal()
{
    QFETCH(int, rows);
    QFETCH(int, page);
    QFETCH(int, removed);
    QFETCH(QString, filler);
    QFETCH(int, slot);

    Pager pager(rows, QByteArray(QTest::currentDataTag()).contains("size 0") ? 0 : 100);
    pager.proxy.setCurrentPage(page);
    pager.proxy.updateVisiblePage();
    QSignalSpy spy(&pager.proxy, &PagingFilterProxyModel::pageRowRemoved);

    pager.source.remove(pager.source.index(removed, 0));

    if (slot == -2) {
        QCOMPARE(spy.count(), 0);
        return;
    }
    QCOMPARE(spy.count(), 1);
    const QModelIndex reported = spy.at(0).at(0).value<QModelIndex>();
    QCOMPARE(reported.isValid() ? reported.data().toString() : QString(), filler);
    QCOMPARE(spy.at(0).at(1).toInt(), slot);
}

void tst_PagingFilterProxyModel::updateSignalOrder()
{
    Pager pager(450);
    pager.proxy.setCurrentPage(3);
    QStringList events;
    connect(&pager.proxy, &PagingFilterProxyModel::currentPageChanged, this, [&] { events << QStringLiteral("page"); });
    connect(&pager.proxy, &PagingFilterProxyModel::pageCountChanged, this, [&] { events << QStringLiteral("pageCount"); });
    connect(&pager.proxy, &PagingFilterProxyModel::pageReset, this, [&] { events << QStringLiteral("reset"); });
    connect(&pager.proxy, &SortingFilterProxyModel::countChanged, this, [&] { events << QStringLiteral("count"); });

    pager.proxy.update();
    QCOMPARE(events, (QStringList{QStringLiteral("page"), QStringLiteral("reset"), QStringLiteral("count")}));
    QCOMPARE(pager.proxy.currentPage(), 0);

    events.clear();
    pager.proxy.setPageSize(200);
    pager.proxy.update(true);   // keeps the page
    QCOMPARE(events, (QStringList{QStringLiteral("pageCount"), QStringLiteral("reset"), QStringLiteral("count")}));
    QCOMPARE(pager.proxy.pageCount(), 2);
}

void tst_PagingFilterProxyModel::filterText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("pageCount");

    QTest::newRow("none") << "" << 250 << 2;
    QTest::newRow("pattern") << "r00[0-4]" << 5 << 0;
    QTest::newRow("case ignored") << "R24" << 10 << 0;
    QTest::newRow("invalid pattern shows nothing") << "r0(" << 0 << 0;
}

void tst_PagingFilterProxyModel::filterText()
{
    QFETCH(QString, text);
    QFETCH(int, shown);
    QFETCH(int, pageCount);

    Pager pager(250);
    pager.proxy.setCurrentPage(1);
    pager.proxy.setFilteredString(text);
    QCOMPARE(pager.proxy.count(), shown);
    QCOMPARE(pager.proxy.pageCount(), pageCount);
    QCOMPARE(pager.proxy.currentPage(), text.isEmpty() ? 1 : 0);   // a new filter starts at page 0
    QCOMPARE(pager.proxy.pageIndices().size(), qMin(shown, 100));
}

QTEST_GUILESS_MAIN(tst_PagingFilterProxyModel)
#include "tst_PagingFilterProxyModel.moc"
