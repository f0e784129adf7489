#include "app/Launcher.h"
#include "devices/discovery/NetworkDeviceModel.h"
#include "devices/entries/Configuration.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "devices/proxies/FavoriteDeviceSortFilterProxyModel.h"
#include "support/QuickWindowProbe.h"
#include "support/SimulatedBlock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kUser = R"({"username":"admin","role":"admin","access_tokens":["token-1"],"session_identifier":"s-1"})";

using QuickWindowProbe::findByName;
using QuickWindowProbe::visibleItemsNamed;
using QuickWindowProbe::waitForFrame;

} // namespace

// The log-in, favourites and network pages driven on the launcher's real window: typing,
// suggestions, editing and saving, filtering and paging. Leaves a screenshot of each page with
// sample data in the working directory ("screenshots/").
class tst_LoginPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startPageLeadsToTheOthers();
    void typedAddressLogsIn_data();
    void typedAddressLogsIn();
    void unansweredBlockShowsWaiting();
    void acceptedSuggestionLogsIn();
    void favoriteEditedAndSaved();
    void favoritesFilteredAndPaged();
    void favoriteRowAcceptedLogsIn();
    void networkDeviceAddedToFavorites();

private:
    QQuickItem *item(const QString &name) const;
    QObject *object(const QString &name) const;
    void click(const QString &name);
    void typeInto(const QString &name, const QString &text);
    void showPage(Launcher::Page page);
    void screenshot(const QString &name);
    void addSampleFavorites(int count);

    std::unique_ptr<QTemporaryDir> m_configHome;
    std::unique_ptr<SimulatedBlock> m_block;
    std::unique_ptr<Launcher> m_launcher;
};

void tst_LoginPages::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("KVR"));
    QCoreApplication::setApplicationName(QStringLiteral("ORVA Launcher Pages Test"));
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "needs an X display (run the tests under xvfb-run)");
    QDir().mkpath(QStringLiteral("screenshots"));
}

void tst_LoginPages::init()
{
    m_configHome = std::make_unique<QTemporaryDir>();
    QVERIFY(m_configHome->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome->path()));

    m_block = std::make_unique<SimulatedBlock>(SimulatedBlock::Scheme::Https);
    QVERIFY(m_block->listen());
    m_block->setReply("/block_info", 200, "application/json",
                      R"({"block_version":"1.19.11","api_version":"1.19.0","block_host_device_type":"aerial"})");
    m_block->setReply("/users/auth", 200, "application/json", kUser);

    m_launcher = std::make_unique<Launcher>();
    m_launcher->setLoginPorts({m_block->port()});
    QVERIFY(m_launcher->init({QStringLiteral("orva-launcher")}));
    QVERIFY(QTest::qWaitForWindowExposed(m_launcher->view()));
    m_launcher->view()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(m_launcher->view()));
}

void tst_LoginPages::cleanup()
{
    m_launcher.reset();
    m_block.reset();
    m_configHome.reset();
}

QObject *tst_LoginPages::object(const QString &name) const
{
    return findByName(m_launcher->view()->contentItem(), name);
}

QQuickItem *tst_LoginPages::item(const QString &name) const
{
    return qobject_cast<QQuickItem *>(object(name));
}

void tst_LoginPages::click(const QString &name)
{
    QQuickItem *target = item(name);
    QVERIFY2(target, qPrintable(name));
    QTRY_VERIFY2(target->isVisible() && target->isEnabled(), qPrintable(name));
    const QPointF center = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(m_launcher->view(), Qt::LeftButton, Qt::NoModifier, center.toPoint());
}

void tst_LoginPages::typeInto(const QString &name, const QString &text)
{
    QQuickItem *field = item(name);
    QVERIFY2(field, qPrintable(name));
    field->forceActiveFocus();
    QMetaObject::invokeMethod(field, "selectAll");
    QTest::keyClick(m_launcher->view(), Qt::Key_Backspace);
    for (const QChar c : text)
        QTest::keyClick(m_launcher->view(), c.toLatin1());
}

void tst_LoginPages::showPage(Launcher::Page page)
{
    m_launcher->requestChangePage(page);
    QTRY_COMPARE(m_launcher->currentPage(), page);
    QVERIFY(waitForFrame(m_launcher->view()));
}

void tst_LoginPages::screenshot(const QString &name)
{
    QVERIFY(waitForFrame(m_launcher->view()));
    const QImage image = m_launcher->view()->grabWindow();
    QVERIFY(!image.isNull());
    QVERIFY(image.save(QStringLiteral("screenshots/%1.png").arg(name)));
}

void tst_LoginPages::addSampleFavorites(int count)
{
    static const int kinds[] = {Configuration::Enterprise, Configuration::Camera, Configuration::EmbeddedNano,
                                Configuration::Aerial, Configuration::CameraLight};
    FavoriteDeviceModel *model = m_launcher->favoriteDeviceModel();
    for (int i = 0; i < count; ++i) {
        FavoriteDevice device = model->createDevice(QStringLiteral("10.20.0.%1").arg(i + 10), QStringLiteral("operator"),
                                                    QStringLiteral("pw"));
        device.setName(QStringLiteral("Crossing %1").arg(i + 1, 2, 10, QLatin1Char('0')));
        device.setType(kinds[i % 5]);
        device.setDevice(deviceTypeToString(kinds[i % 5]));
        device.setTimestamp(i % 3 == 0 ? 0 : 1780000000000ULL + quint64(i) * 3600000ULL);
        model->addDevice(device);
    }
}

void tst_LoginPages::startPageLeadsToTheOthers()
{
    QCOMPARE(m_launcher->currentPage(), Launcher::DemoPage);
    screenshot(QStringLiteral("start"));
    const struct
    {
        const char *tile;
        Launcher::Page page;
    } ways[] = {{"loginTile", Launcher::LoginPage},
                {"favoritesTile", Launcher::FavoriteDevicesPage},
                {"networkTile", Launcher::NetworkDevicesPage}};
    for (const auto &way : ways) {
        click(QString::fromLatin1(way.tile));
        QTRY_COMPARE(m_launcher->currentPage(), way.page);
        QTest::keyClick(m_launcher->view(), Qt::Key_Escape); // a popup may have the focus
        m_launcher->requestChangePage(Launcher::DemoPage);
        QTRY_COMPARE(m_launcher->currentPage(), Launcher::DemoPage);
    }
}

void tst_LoginPages::typedAddressLogsIn_data()
{
    QTest::addColumn<QByteArray>("authReply");
    QTest::addColumn<int>("authStatus");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("message");

    QTest::newRow("accepted") << kUser << 200 << true << QString();
    QTest::newRow("wrong password") << QByteArray(R"({"error":{"reason":"auth_error"}})") << 401 << false
                                    << QStringLiteral("Incorrect user name or password.");
    QTest::newRow("expired") << QByteArray(R"({"error":{"reason":"expired_account"}})") << 410 << false
                             << QStringLiteral("The account admin has expired.");
}

void tst_LoginPages::typedAddressLogsIn()
{
    QFETCH(QByteArray, authReply);
    QFETCH(int, authStatus);
    QFETCH(bool, loggedIn);
    QFETCH(QString, message);

    m_block->setReply("/users/auth", authStatus, "application/json", authReply);
    showPage(Launcher::LoginPage);
    typeInto(QStringLiteral("addressField"), QStringLiteral("127.0.0.1"));
    typeInto(QStringLiteral("userField"), QStringLiteral("admin"));
    typeInto(QStringLiteral("passwordField"), QStringLiteral("secret"));
    QTest::keyClick(m_launcher->view(), Qt::Key_Return);
    QTRY_VERIFY(!m_launcher->loginInProgress());

    QCOMPARE(m_launcher->loginStatus() == Launcher::LoggedIn, loggedIn);
    QObject *shown = object(QStringLiteral("loginMessage"));
    QVERIFY(shown);
    QCOMPARE(shown->property("text").toString(), message);
    QCOMPARE(item(QStringLiteral("messageBox"))->isVisible(), !message.isEmpty());
    QCOMPARE(item(QStringLiteral("startClientButton"))->isVisible(), loggedIn);
    screenshot(loggedIn ? QStringLiteral("login-logged-in") : QStringLiteral("login-%1").arg(authStatus));

    if (loggedIn) {
        // No version is installed here: the page says so.
        click(QStringLiteral("startClientButton"));
        QTRY_VERIFY(shown->property("text").toString().startsWith(QStringLiteral("No Vellorin client version is installed")));
        screenshot(QStringLiteral("login-no-client"));
    }
}

void tst_LoginPages::unansweredBlockShowsWaiting()
{
    m_block->setAction("/users/auth", SimulatedBlock::Action::Close);
    showPage(Launcher::LoginPage);
    typeInto(QStringLiteral("addressField"), QStringLiteral("127.0.0.1"));
    QTest::keyClick(m_launcher->view(), Qt::Key_Return); // on to the user name
    QTRY_VERIFY(item(QStringLiteral("userField"))->hasActiveFocus());
    QCOMPARE(m_launcher->loginServerAddress(), QStringLiteral("127.0.0.1"));
    typeInto(QStringLiteral("userField"), QStringLiteral("admin"));
    typeInto(QStringLiteral("passwordField"), QStringLiteral("secret"));
    click(QStringLiteral("loginButton"));

    QObject *shown = object(QStringLiteral("loginMessage"));
    QTRY_VERIFY_WITH_TIMEOUT(shown->property("text").toString().startsWith(QStringLiteral("No response from the")), 10000);
    QVERIFY(item(QStringLiteral("cancelButton"))->isVisible());
    QVERIFY(!item(QStringLiteral("addressField"))->isEnabled());
    screenshot(QStringLiteral("login-waiting"));

    click(QStringLiteral("cancelButton"));
    QTRY_VERIFY(!m_launcher->loginInProgress());
    QVERIFY(item(QStringLiteral("loginButton"))->isVisible());
    QVERIFY(item(QStringLiteral("addressField"))->isEnabled());
    QCOMPARE(shown->property("text").toString(), QString());
}

void tst_LoginPages::acceptedSuggestionLogsIn()
{
    FavoriteDeviceModel *model = m_launcher->favoriteDeviceModel();
    FavoriteDevice lab = model->createDevice(QStringLiteral("127.0.0.1:%1").arg(m_block->port()), QStringLiteral("admin"),
                                             QStringLiteral("secret"));
    lab.setName(QStringLiteral("Lab block"));
    lab.setRemember(true);
    model->addDevice(lab);
    FavoriteDevice office = model->createDevice(QStringLiteral("10.0.0.9"), QStringLiteral("viewer"));
    office.setName(QStringLiteral("Office"));
    model->addDevice(office);

    showPage(Launcher::LoginPage);
    typeInto(QStringLiteral("addressField"), QStringLiteral("la"));
    QTRY_COMPARE(model->suggestions(),
                 QStringList({QStringLiteral("127.0.0.1:%1 - Lab block (admin)").arg(m_block->port())}));
    QObject *popup = object(QStringLiteral("suggestionPopup"));
    QVERIFY(popup);
    QTRY_VERIFY(popup->property("opened").toBool());
    screenshot(QStringLiteral("login-suggestions"));

    QTest::keyClick(m_launcher->view(), Qt::Key_Down);
    QTest::keyClick(m_launcher->view(), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(m_launcher->loginStatus(), Launcher::LoggedIn, 10000);
    QCOMPARE(m_launcher->loginUsername(), QStringLiteral("admin"));
    QCOMPARE(item(QStringLiteral("addressField"))->property("text").toString(), lab.address());
    // The block's kind reached the favourite.
    QCOMPARE(model->data(model->index(0, 0), FavoriteDeviceModel::TypeRole).toInt(), int(Configuration::Aerial));
}

void tst_LoginPages::favoriteEditedAndSaved()
{
    addSampleFavorites(3);
    m_launcher->saveFavoriteDevices();
    showPage(Launcher::FavoriteDevicesPage);
    QQuickItem *list = item(QStringLiteral("deviceList"));
    QVERIFY(list);
    QTRY_COMPARE(list->property("count").toInt(), 3);
    screenshot(QStringLiteral("favorites"));

    list->setProperty("currentIndex", 1);
    list->forceActiveFocus();
    QTest::keyClick(m_launcher->view(), Qt::Key_F2);
    QObject *dialog = object(QStringLiteral("favoriteDeviceDialog"));
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->property("opened").toBool());
    QCOMPARE(item(QStringLiteral("editAddressField"))->property("text").toString(), QStringLiteral("10.20.0.11"));
    typeInto(QStringLiteral("editNameField"), QStringLiteral("North gate"));
    // The entry's own shortcut: a bare key is refused, Ctrl+F7 taken.
    item(QStringLiteral("shortcutBox"))->forceActiveFocus();
    QTest::keyClick(m_launcher->view(), Qt::Key_F7);
    QTRY_VERIFY(!object(QStringLiteral("editError"))->property("text").toString().isEmpty());
    QTest::keyClick(m_launcher->view(), Qt::Key_F7, Qt::ControlModifier);
    QTRY_COMPARE(dialog->property("key").toInt(), int(Qt::Key_F7));
    QCOMPARE(object(QStringLiteral("editError"))->property("text").toString(), QString());
    screenshot(QStringLiteral("favorites-edit"));
    click(QStringLiteral("editOkButton"));
    QTRY_VERIFY(!dialog->property("opened").toBool());

    FavoriteDeviceModel *model = m_launcher->favoriteDeviceModel();
    const FavoriteDevice edited = model->data(model->index(1, 0), FavoriteDeviceModel::DeviceRole).value<FavoriteDevice>();
    QCOMPARE(edited.name(), QStringLiteral("North gate"));
    QCOMPARE(edited.key(), Qt::Key_F7);
    QCOMPARE(edited.modifiers(), Qt::ControlModifier);

    // Not in the file until saved.
    auto fileNames = [this]() {
        QFile file(m_launcher->favoritesPath());
        file.open(QIODevice::ReadOnly);
        QStringList names;
        const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).object().value("connections").toArray();
        for (const QJsonValue &row : rows)
            names << row.toObject().value("name").toString();
        return names;
    };
    QCOMPARE(fileNames(), QStringList({"Crossing 01", "Crossing 02", "Crossing 03"}));
    click(QStringLiteral("saveButton"));
    QTRY_COMPARE(fileNames(), QStringList({"Crossing 01", "North gate", "Crossing 03"}));
    QCOMPARE(object(QStringLiteral("savedText"))->property("text").toString(), QStringLiteral("Saved."));

    // Delete asks first, then the row goes (and the file on the next save).
    list->setProperty("currentIndex", 0);
    click(QStringLiteral("deleteButton"));
    click(QStringLiteral("deleteFavoriteDialogAcceptButton"));
    QTRY_COMPARE(model->rowCount(), 2);
    QTest::keyClick(m_launcher->view(), Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE(fileNames(), QStringList({"North gate", "Crossing 03"}));
}

void tst_LoginPages::favoritesFilteredAndPaged()
{
    addSampleFavorites(25);
    showPage(Launcher::FavoriteDevicesPage);
    QQuickItem *list = item(QStringLiteral("deviceList"));
    QObject *pageLabel = object(QStringLiteral("pageLabel"));
    QVERIFY(list && pageLabel);
    QTRY_COMPARE(list->property("count").toInt(), 10);
    QCOMPARE(pageLabel->property("text").toString(), QStringLiteral("Page 1 of 3"));
    screenshot(QStringLiteral("favorites-paged"));

    click(QStringLiteral("nextPageButton"));
    QTRY_COMPARE(pageLabel->property("text").toString(), QStringLiteral("Page 2 of 3"));
    click(QStringLiteral("nextPageButton"));
    QTRY_COMPARE(pageLabel->property("text").toString(), QStringLiteral("Page 3 of 3"));
    QTRY_COMPARE(list->property("count").toInt(), 5);
    QVERIFY(!item(QStringLiteral("nextPageButton"))->isEnabled());
    click(QStringLiteral("previousPageButton"));
    QTRY_COMPARE(list->property("count").toInt(), 10);

    // Search shows matches from every page.
    typeInto(QStringLiteral("searchField"), QStringLiteral("crossing 2"));
    QTRY_COMPARE(list->property("count").toInt(), 6); // 20..25
    QVERIFY(!item(QStringLiteral("pageLabel"))->isVisible());
    QTRY_COMPARE(object(QStringLiteral("pagingSummary"))->property("text").toString(), QStringLiteral("6 of 25 shown"));
    typeInto(QStringLiteral("searchField"), QString());
    QTRY_COMPARE(list->property("count").toInt(), 10);

    // Type filter: "Camera" (entry 1) covers camera and camera light, 10 of the 25.
    QObject *typeFilter = object(QStringLiteral("typeFilter"));
    QVERIFY(typeFilter);
    typeFilter->setProperty("currentIndex", 1);
    QMetaObject::invokeMethod(typeFilter, "activated", Q_ARG(int, 1));
    QTRY_COMPARE(list->property("count").toInt(), 10);
    screenshot(QStringLiteral("favorites-filtered"));
    typeFilter->setProperty("currentIndex", 3);
    QMetaObject::invokeMethod(typeFilter, "activated", Q_ARG(int, 3)); // Enterprise
    QTRY_COMPARE(list->property("count").toInt(), 5);
}

void tst_LoginPages::favoriteRowAcceptedLogsIn()
{
    FavoriteDeviceModel *model = m_launcher->favoriteDeviceModel();
    FavoriteDevice lab = model->createDevice(QStringLiteral("127.0.0.1:%1").arg(m_block->port()), QStringLiteral("admin"),
                                             QStringLiteral("secret"));
    lab.setName(QStringLiteral("Lab block"));
    lab.setRemember(true);
    lab.setKey(Qt::Key_F9);
    lab.setModifiers(Qt::ControlModifier);
    model->addDevice(lab);
    showPage(Launcher::FavoriteDevicesPage);
    QTRY_COMPARE(item(QStringLiteral("deviceList"))->property("count").toInt(), 1);

    // The entry's own shortcut logs in to it through the log-in page.
    QTest::keyClick(m_launcher->view(), Qt::Key_F9, Qt::ControlModifier);
    QTRY_COMPARE(m_launcher->currentPage(), Launcher::LoginPage);
    QTRY_COMPARE_WITH_TIMEOUT(m_launcher->loginStatus(), Launcher::LoggedIn, 10000);
    QCOMPARE(m_launcher->loginSourcePage(), Launcher::FavoriteDevicesPage);
    QVERIFY(!model->loginIndex().isValid());
}

void tst_LoginPages::networkDeviceAddedToFavorites()
{
    NetworkDeviceModel *network = m_launcher->networkDeviceModel();
    QVERIFY(network);
    struct Sample
    {
        const char *name, *address, *ipv6, *type, *description;
        bool orva;
    };
    const Sample samples[] = {
        {"Harbour bridge", "192.168.10.21", "fe80::21", "enterprise", "Block 1.19.11 · 4 cubes · up 3d4h12m", true},
        {"Tunnel east", "192.168.10.34", "", "aerial", "Block 1.18.2 · 2 cubes · up 12h5m", true},
        {"printer-3f", "192.168.10.90", "", "", "_ipp._tcp", false},
    };
    for (const Sample &sample : samples) {
        NetworkDevice device = network->createDevice(QString::fromUtf8(sample.address), QString::fromUtf8(sample.ipv6));
        device.setName(QString::fromUtf8(sample.name));
        device.setBlockName(sample.orva ? QString::fromUtf8(sample.name) : QString());
        device.setHostType(QString::fromUtf8(sample.type));
        device.setAttributes(QString::fromUtf8(sample.description));
        device.setOrvaUnit(sample.orva);
        if (sample.orva)
            device.setInterfaces({{QStringLiteral("eth0"), QString::fromUtf8(sample.address), QString::fromUtf8(sample.ipv6),
                                   QStringLiteral("00:1b:44:11:3a:b7")},
                                  {QStringLiteral("eth1"), QStringLiteral("10.0.5.2"), QString(), QStringLiteral("00:1b:44:11:3a:b8")}});
        network->addDevice(device);
    }

    showPage(Launcher::NetworkDevicesPage);
    QQuickItem *list = item(QStringLiteral("deviceList"));
    QVERIFY(list);
    QTRY_COMPARE(list->property("count").toInt(), 3);
    screenshot(QStringLiteral("network"));

    // Only the product's devices.
    QObject *kindFilter = object(QStringLiteral("kindFilter"));
    kindFilter->setProperty("currentIndex", 1);
    QMetaObject::invokeMethod(kindFilter, "activated", Q_ARG(int, 1));
    QTRY_COMPARE(list->property("count").toInt(), 2);
    // A search reaches the interfaces too.
    typeInto(QStringLiteral("searchField"), QStringLiteral("10.0.5.2"));
    QTRY_COMPARE(list->property("count").toInt(), 2);
    typeInto(QStringLiteral("searchField"), QStringLiteral("tunnel"));
    QTRY_COMPARE(list->property("count").toInt(), 1);

    FavoriteDeviceModel *favorites = m_launcher->favoriteDeviceModel();
    const int before = favorites->rowCount();
    // The rows filtered out go; only the matching row's button is left to click.
    QTRY_COMPARE(visibleItemsNamed(m_launcher->view()->contentItem(), QStringLiteral("addFavoriteButton")), 1);
    click(QStringLiteral("addFavoriteButton"));
    QTRY_COMPARE(favorites->rowCount(), before + 1);
    const FavoriteDevice added =
        favorites->data(favorites->index(before, 0), FavoriteDeviceModel::DeviceRole).value<FavoriteDevice>();
    QCOMPARE(added.address(), QStringLiteral("192.168.10.34"));
    QCOMPARE(added.name(), QStringLiteral("Tunnel east"));
    QCOMPARE(added.type(), int(Configuration::Aerial));
    QFile file(m_launcher->favoritesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("Tunnel east"));
}

QTEST_MAIN(tst_LoginPages)
#include "tst_LoginPages.moc"
