#include "app/services/BrandConfiguration.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/entries/NetworkDevice.h"
#include "devices/mdns/MdnsFakes.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "devices/proxies/FavoriteDeviceSortFilterProxyModel.h"
#include "devices/proxies/NetworkDeviceSortFilterProxyModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// The discovery model itself, on a transport that never touches the network.
std::unique_ptr<NetworkDeviceModel> networkModel(const QList<NetworkDevice> &rows)
{
    auto model = std::make_unique<NetworkDeviceModel>(QStringLiteral("_orva._tcp.local."), new mdnstest::FakeTransport);
    for (const NetworkDevice &row : rows)
        model->addDevice(row);
    return model;
}

NetworkDevice networkDevice(const QString &name, bool product, const QString &address = QString(),
                            const QList<ORVAmDNSDeviceInterface> &interfaces = {})
{
    NetworkDevice device(address);
    device.setName(name);
    device.setOrvaUnit(product);
    device.setInterfaces(interfaces);
    return device;
}

FavoriteDevice favorite(const QString &name, int kind, const QString &address = QStringLiteral("10.0.0.1"))
{
    FavoriteDevice device(address, QStringLiteral("u"));
    device.setName(name);
    device.setType(kind);
    return device;
}

template <typename Proxy>
QStringList shownNames(const Proxy &proxy)
{
    QStringList names;
    for (int row = 0; row < proxy.rowCount(); ++row)
        names.append(proxy.index(row, 0).data(1 /* NameRole of favourites */).toString());
    return names;
}

QStringList shownNetworkNames(const QAbstractItemModel &proxy)
{
    QStringList names;
    for (int row = 0; row < proxy.rowCount(); ++row)
        names.append(proxy.index(row, 0).data(NetworkDeviceModel::NameRole).toString());
    return names;
}

} // namespace

class tst_DeviceSortFilterProxyModels : public QObject
{
    Q_OBJECT

private slots:
    void favoriteTypes();
    void favoriteFilter_data();
    void favoriteFilter();
    void favoriteSorting();
    void paging_data();
    void paging();
    void pageFollowsSourceRows_data();
    void pageFollowsSourceRows();
    void lastPage_data();
    void lastPage();
    void lastPageIndexFollows_data();
    void lastPageIndexFollows();
    void networkFilter_data();
    void networkFilter();
    void networkSorting_data();
    void networkSorting();
};

void tst_DeviceSortFilterProxyModels::favoriteTypes()
{
    FavoriteDeviceSortFilterProxyModel proxy;
    QCOMPARE(proxy.availableTypes(), (QStringList{QStringLiteral("All types"), QStringLiteral("Camera"), QStringLiteral("Tarnvale"),
                                                  QStringLiteral("Enterprise"), QStringLiteral("Aerial")}));
    QCOMPARE(proxy.typeName(2), QStringLiteral("Camera"));
    QCOMPARE(proxy.typeName(1024), QStringLiteral("Tarnvale"));
    QCOMPARE(proxy.typeName(2048), QStringLiteral("Aerial"));
    QCOMPARE(proxy.typeName(64), QStringLiteral("Unknown"));
    QCOMPARE(proxy.typeName(0), QStringLiteral("Unknown"));

    proxy.setFilteredType(2);
    QCOMPARE(proxy.filteredType(), 4);
    proxy.setFilteredType(3);
    proxy.setFilteredType(0);
    QCOMPARE(proxy.filteredType(), -1);
    proxy.setFilteredType(17);   // outside the list: no type filter
    QCOMPARE(proxy.filteredType(), -1);
}

void tst_DeviceSortFilterProxyModels::favoriteFilter_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");

    const QStringList all{QStringLiteral("brim"), QStringLiteral("cam"), QStringLiteral("ent"), QStringLiteral("macro"),
                          QStringLiteral("nano orin"), QStringLiteral("nothing"), QStringLiteral("orin aerial")};
    QTest::newRow("everything") << 0 << "" << all;
    QTest::newRow("Tarnvale group") << 2 << "" << QStringList{QStringLiteral("macro"), QStringLiteral("nano orin")};
    QTest::newRow("Aerial group") << 4 << "" << QStringList{QStringLiteral("orin aerial")};
    QTest::newRow("name text") << 0 << "ORIN" << QStringList{QStringLiteral("nano orin"), QStringLiteral("orin aerial")};
    QTest::newRow("address text") << 0 << "192.168" << QStringList{QStringLiteral("cam")};
    QTest::newRow("type and text") << 2 << "nano" << QStringList{QStringLiteral("nano orin")};
    QTest::newRow("failed type stays failed") << 3 << "cam" << QStringList();
}

void tst_DeviceSortFilterProxyModels::favoriteFilter()
{
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    FavoriteDeviceModel model;
    model.addDevice(favorite(QStringLiteral("cam"), 1, QStringLiteral("192.168.0.4")));
    model.addDevice(favorite(QStringLiteral("macro"), 16));
    model.addDevice(favorite(QStringLiteral("brim"), 64));
    model.addDevice(favorite(QStringLiteral("nano orin"), 1024));
    model.addDevice(favorite(QStringLiteral("ent"), 32));
    model.addDevice(favorite(QStringLiteral("nothing"), 0));
    model.addDevice(favorite(QStringLiteral("orin aerial"), 2048));
    FavoriteDeviceSortFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&model);
    proxy.setSortingRole(FavoriteDeviceModel::NameRole);

    proxy.setFilteredType(position);
    proxy.setFilteredString(text);
    QCOMPARE(shownNames(proxy), shown);
}

void tst_DeviceSortFilterProxyModels::favoriteSorting()
{
    FavoriteDeviceModel model;
    for (const char *name : {"b", "c", "a"})
        model.addDevice(favorite(QString::fromLatin1(name), 1));
    FavoriteDeviceSortFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&model);
    QCOMPARE(shownNames(proxy), (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));   // by type: source order

    QSignalSpy role(&proxy, &DeviceSortFilterProxyModel::sortingRoleChanged);
    QSignalSpy ascending(&proxy, &DeviceSortFilterProxyModel::ascendingChanged);
    proxy.setSortingRole(FavoriteDeviceModel::NameRole);
    QCOMPARE(role.count(), 1);
    QCOMPARE(role.at(0).at(0).toInt(), int(FavoriteDeviceModel::NameRole));
    QCOMPARE(shownNames(proxy), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));

    proxy.setSortingRole(FavoriteDeviceModel::NameRole);
    QCOMPARE(ascending.count(), 1);
    QCOMPARE(ascending.at(0).at(0).toBool(), false);
    QCOMPARE(shownNames(proxy), (QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));

    model.addDevice(favorite(QStringLiteral("bb"), 1));   // the dynamic sort places new rows
    QCOMPARE(shownNames(proxy), (QStringList{QStringLiteral("c"), QStringLiteral("bb"), QStringLiteral("b"), QStringLiteral("a")}));
}

void tst_DeviceSortFilterProxyModels::paging_data()
{
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("first");   // lowest shown name

    QTest::newRow("no paging") << -1 << 100 << "" << 250 << "d000";
    QTest::newRow("page 1") << 1 << 100 << "" << 100 << "d100";
    QTest::newRow("last page") << 2 << 100 << "" << 50 << "d200";
    QTest::newRow("past the end") << 3 << 100 << "" << 0 << "";
    QTest::newRow("search shows every page") << 0 << 100 << "d24" << 10 << "d240";
    QTest::newRow("size 0 pages nothing") << 1 << 0 << "" << 250 << "d000";
}

void tst_DeviceSortFilterProxyModels::paging()
{
    QFETCH(int, pageIndex);
    QFETCH(int, pageSize);
    QFETCH(QString, text);
    QFETCH(int, shown);
    QFETCH(QString, first);

    FavoriteDeviceModel model;
    for (int i = 0; i < 250; ++i)
        model.addDevice(favorite(QStringLiteral("d%1").arg(i, 3, 10, QLatin1Char('0')), 1));
    FavoriteDeviceSortFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&model);
    proxy.setSortingRole(FavoriteDeviceModel::NameRole);
    QSignalSpy pageSpy(&proxy, &DeviceSortFilterProxyModel::pageIndexChanged);

    proxy.setSizeIndex(pageSize);
    proxy.setPageIndex(pageIndex);
    proxy.setFilteredString(text);
    QCOMPARE(proxy.rowCount(), shown);
    QCOMPARE(shown ? proxy.index(0, 0).data(FavoriteDeviceModel::NameRole).toString() : QString(), first);
    QCOMPARE(pageSpy.count(), pageIndex == -1 ? 0 : 1);
}

void tst_DeviceSortFilterProxyModels::pageFollowsSourceRows_data()
{
    QTest::addColumn<int>("removedRow");   // -1: a row is appended
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    QTest::newRow("row removed before the page") << 5 << "d101" << "d200";
    QTest::newRow("row removed on the page") << 150 << "d100" << "d200";
    QTest::newRow("row removed after the page") << 220 << "d100" << "d199";
    QTest::newRow("row appended after the page") << -1 << "d100" << "d199";
}

void tst_DeviceSortFilterProxyModels::pageFollowsSourceRows()
{
    QFETCH(int, removedRow);
    QFETCH(QString, first);
    QFETCH(QString, last);

    FavoriteDeviceModel model;
    for (int i = 0; i < 250; ++i)
        model.addDevice(favorite(QStringLiteral("d%1").arg(i, 3, 10, QLatin1Char('0')), 1));
    FavoriteDeviceSortFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&model);
    proxy.setSortingRole(FavoriteDeviceModel::NameRole);
    proxy.setPageIndex(1);

    if (removedRow < 0)
        model.addDevice(favorite(QStringLiteral("d999"), 1));
    else
        model.removeDevice(model.index(removedRow, 0));
    // Page 1 is always source rows 100 to 199, whatever came and went before it.
    QCOMPARE(proxy.rowCount(), 100);
    QCOMPARE(proxy.index(0, 0).data(FavoriteDeviceModel::NameRole).toString(), first);
    QCOMPARE(proxy.index(99, 0).data(FavoriteDeviceModel::NameRole).toString(), last);
}

void tst_DeviceSortFilterProxyModels::lastPage_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("lastPage");
    QTest::addColumn<bool>("isLast");

    QTest::newRow("250 rows from page 0") << 250 << 0 << 100 << 2 << false;
    QTest::newRow("250 rows on page 2") << 250 << 2 << 100 << 2 << true;
    QTest::newRow("past the end stays") << 250 << 5 << 100 << 5 << true;
    QTest::newRow("200 rows") << 200 << 0 << 100 << 1 << false;
    QTest::newRow("empty, no paging") << 0 << -1 << 100 << -1 << true;
    QTest::newRow("no paging, 250 rows") << 250 << -1 << 100 << 2 << false;
    QTest::newRow("size 0 does not hang") << 250 << 0 << 0 << 0 << true;
    QTest::newRow("negative size does not hang") << 250 << 1 << -3 << 1 << true;
}

void tst_DeviceSortFilterProxyModels::lastPage()
{
    QFETCH(int, rows);
    QFETCH(int, pageIndex);
    QFETCH(int, pageSize);
    QFETCH(int, lastPage);
    QFETCH(bool, isLast);

    FavoriteDeviceModel model;
    for (int i = 0; i < rows; ++i)
        model.addDevice(FavoriteDevice());
    FavoriteDeviceSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setSizeIndex(pageSize);
    proxy.setPageIndex(pageIndex);
    QCOMPARE(proxy.getLastPageIndex(), lastPage);
    QCOMPARE(proxy.isCurrentPageLast(), isLast);
}

// What a paging bar binds to: every change that moves the last page is announced once with the
// new value, and nothing else is.
enum class PageChange { Append, RemoveLast, PageIndex, PageSize, Clear, NewSource };
Q_DECLARE_METATYPE(PageChange)

void tst_DeviceSortFilterProxyModels::lastPageIndexFollows_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<PageChange>("change");
    QTest::addColumn<int>("value");   // the new page index or size; rows of the new source
    QTest::addColumn<QList<int>>("announced");

    QTest::newRow("row appended inside the last page") << 25 << PageChange::Append << 0 << QList<int>{};
    QTest::newRow("row appended opens a page") << 30 << PageChange::Append << 0 << QList<int>{3};
    QTest::newRow("row removed closes a page") << 31 << PageChange::RemoveLast << 0 << QList<int>{2};
    QTest::newRow("page moved past the end") << 25 << PageChange::PageIndex << 5 << QList<int>{5};
    QTest::newRow("page moved inside the rows") << 25 << PageChange::PageIndex << 1 << QList<int>{};
    QTest::newRow("larger pages") << 25 << PageChange::PageSize << 100 << QList<int>{0};
    QTest::newRow("source cleared") << 25 << PageChange::Clear << 0 << QList<int>{0};
    QTest::newRow("source replaced") << 25 << PageChange::NewSource << 45 << QList<int>{4};
}

void tst_DeviceSortFilterProxyModels::lastPageIndexFollows()
{
    QFETCH(int, rows);
    QFETCH(PageChange, change);
    QFETCH(int, value);
    QFETCH(QList<int>, announced);

    FavoriteDeviceModel model;
    FavoriteDeviceModel other;
    for (int i = 0; i < rows; ++i)
        model.addDevice(favorite(QStringLiteral("d%1").arg(i), 1));
    for (int i = 0; i < value; ++i)
        other.addDevice(favorite(QStringLiteral("e%1").arg(i), 1));
    FavoriteDeviceSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setSizeIndex(10);
    proxy.setPageIndex(0);
    QSignalSpy spy(&proxy, &DeviceSortFilterProxyModel::lastPageIndexChanged);
    QVERIFY(spy.isValid());

    switch (change) {
    case PageChange::Append:
        model.addDevice(favorite(QStringLiteral("new"), 1));
        break;
    case PageChange::RemoveLast:
        model.removeDevice(model.index(model.rowCount() - 1, 0));
        break;
    case PageChange::PageIndex:
        proxy.setPageIndex(value);
        break;
    case PageChange::PageSize:
        proxy.setSizeIndex(value);
        break;
    case PageChange::Clear:
        model.clear();
        break;
    case PageChange::NewSource:
        proxy.setSourceModel(&other);
        break;
    }

    QList<int> heard;
    for (const QList<QVariant> &arguments : qAsConst(spy))
        heard.append(arguments.at(0).toInt());
    QCOMPARE(heard, announced);
    QCOMPARE(proxy.property("lastPageIndex").toInt(), proxy.getLastPageIndex());
}

void tst_DeviceSortFilterProxyModels::networkFilter_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("all devices") << 0 << "" << QStringList{QStringLiteral("block A"), QStringLiteral("block B"), QStringLiteral("printer")};
    QTest::newRow("product devices only") << 1 << "" << QStringList{QStringLiteral("block A"), QStringLiteral("block B")};
    QTest::newRow("address") << 0 << "10.0.0.2" << QStringList{QStringLiteral("block B")};
    QTest::newRow("IPv6") << 0 << "FE80::9" << QStringList{QStringLiteral("printer")};
    QTest::newRow("second interface's ipv4") << 0 << "172.16.5.5" << QStringList{QStringLiteral("block A")};
    QTest::newRow("interface ipv6") << 0 << "fd00::1" << QStringList{QStringLiteral("block A")};
    QTest::newRow("mac is not searched") << 0 << "aa:bb" << QStringList();
    QTest::newRow("product filter and text") << 1 << "fe80" << QStringList();
}

void tst_DeviceSortFilterProxyModels::networkFilter()
{
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    NetworkDevice printer = networkDevice(QStringLiteral("printer"), false, QStringLiteral("10.0.0.9"));
    printer.setAddressIPv6(QStringLiteral("fe80::9"));
    const auto rows = networkModel(
        {networkDevice(QStringLiteral("block A"), true, QStringLiteral("10.0.0.1"),
                       {{QStringLiteral("eth0"), QStringLiteral("10.0.0.1"), QString(), QStringLiteral("aa:bb")},
                        {QStringLiteral("eth1"), QStringLiteral("172.16.5.5"), QStringLiteral("fd00::1"), QString()}}),
         printer, networkDevice(QStringLiteral("block B"), true, QStringLiteral("10.0.0.2"))});
    NetworkDeviceSortFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(rows.get());

    QCOMPARE(proxy.availableTypes(), (QStringList{QStringLiteral("All devices"),
                                                  QStringLiteral("Only %1 devices").arg(BrandConfiguration::instance()->productName())}));
    proxy.setFilteredType(position);
    proxy.setFilteredString(text);
    QCOMPARE(shownNetworkNames(proxy), shown);
}

void tst_DeviceSortFilterProxyModels::networkSorting_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("ascending") << false << QStringList{QStringLiteral("a block"), QStringLiteral("z block"),
                                                      QStringLiteral("b other"), QStringLiteral("y other")};
    QTest::newRow("descending: blocks still first") << true << QStringList{QStringLiteral("z block"), QStringLiteral("a block"),
                                                                          QStringLiteral("y other"), QStringLiteral("b other")};
}

void tst_DeviceSortFilterProxyModels::networkSorting()
{
    QFETCH(bool, descending);
    QFETCH(QStringList, shown);

    const auto rows = networkModel({networkDevice(QStringLiteral("y other"), false),
                                    networkDevice(QStringLiteral("z block"), true),
                                    networkDevice(QStringLiteral("b other"), false),
                                    networkDevice(QStringLiteral("a block"), true)});
    NetworkDeviceSortFilterProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(rows.get());
    proxy.setSortingRole(NetworkDeviceModel::AddressRole);
    proxy.setSortingRole(NetworkDeviceModel::NameRole);
    if (descending)
        proxy.setSortingRole(NetworkDeviceModel::NameRole);
    QCOMPARE(proxy.ascending(), !descending);
    QCOMPARE(shownNetworkNames(proxy), shown);
}

QTEST_GUILESS_MAIN(tst_DeviceSortFilterProxyModels)
#include "tst_DeviceSortFilterProxyModels.moc"
