#include "devices/entries/Configuration.h"
#include "devices/entries/FavoriteDevice.h"
#include "devices/entries/NetworkDevice.h"
#include "devices/entries/PasswordCipher.h"

#include <QJsonDocument>
#include <QtTest>

namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

} // namespace

class tst_DeviceEntries : public QObject
{
    Q_OBJECT

private slots:
    void kindTexts_data();
    void kindTexts();
    void newFavorite();
    void readFavorite_data();
    void readFavorite();
    void writeFavorite_data();
    void writeFavorite();
    void favoriteRoundTrip_data();
    void favoriteRoundTrip();
    void favoriteEquality_data();
    void favoriteEquality();
    void networkDevice();
    void networkEquality_data();
    void networkEquality();
    void gadgetProperties();
};

void tst_DeviceEntries::kindTexts_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("unknown") << 0 << "unknown";
    QTest::newRow("camera") << int(Configuration::Camera) << "camera";
    QTest::newRow("camera light") << 2 << "camera_light";
    QTest::newRow("enterprise") << 32 << "enterprise";
    QTest::newRow("brimvale") << 64 << "brimvale";
    QTest::newRow("macro orin aerial") << 2048 << "embedded_macro_orin_aerial";
    QTest::newRow("two kinds together are no kind") << 3 << "";
    QTest::newRow("negative") << -1 << "";
}

void tst_DeviceEntries::kindTexts()
{
    QFETCH(int, value);
    QFETCH(QString, text);

    QCOMPARE(deviceTypeToString(value), text);
    if (!text.isEmpty())
        QCOMPARE(deviceTypeFromString(text), value);
}

void tst_DeviceEntries::newFavorite()
{
    const FavoriteDevice device(QStringLiteral("10.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw"));
    QCOMPARE(device.id(), -1);
    QCOMPARE(device.type(), 0);
    QCOMPARE(device.device(), QStringLiteral("unknown"));
    QCOMPARE(device.timestamp(), 0ULL);
    QCOMPARE(int(device.key()), 0x01ffffff);
    QCOMPARE(device.modifiers(), Qt::KeyboardModifiers());
    QCOMPARE(device.remember(), false);
    QCOMPARE(device.getSelf(), device);

    QJsonObject written;
    FavoriteDevice().write(written);
    QVERIFY2(written.isEmpty(), QJsonDocument(written).toJson().constData());
}

void tst_DeviceEntries::readFavorite_data()
{
    QTest::addColumn<QJsonObject>("object");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("kindText");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("remember");
    QTest::addColumn<qulonglong>("timestamp");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    const int noKey = Qt::Key_unknown;
    // The entry starts as an enterprise kind so that a missing "device" shows it is kept.
    QTest::newRow("empty object keeps the kind") << QJsonObject() << 32 << "enterprise" << "" << false << 0ULL << noKey << 0;
    QTest::newRow("known kind") << json(R"({"device": "camera_light"})") << 2 << "camera_light" << "" << false << 0ULL << noKey << 0;
    QTest::newRow("unknown kind text kept, type 0") << json(R"({"device": "toaster"})") << 0 << "toaster" << "" << false << 0ULL << noKey << 0;
    QTest::newRow("kind not a string") << json(R"({"device": 32})") << 0 << "" << "" << false << 0ULL << noKey << 0;
    QTest::newRow("stored password") << json(R"({"password": "CRkl26BGAPkfo83GtSFrZA=="})") << 32 << "enterprise" << "secret" << true << 0ULL << noKey << 0;
    QTest::newRow("damaged password: loaded, not remembered") << json(R"({"password": "garbage"})") << 32 << "enterprise" << "" << false << 0ULL << noKey << 0;
    QTest::newRow("date as text") << json(R"({"date": "1765000000123"})") << 32 << "enterprise" << "" << false << 1765000000123ULL << noKey << 0;
    QTest::newRow("date as number reads 0") << json(R"({"date": 1765000000123})") << 32 << "enterprise" << "" << false << 0ULL << noKey << 0;
    QTest::newRow("date not a number") << json(R"({"date": "yesterday"})") << 32 << "enterprise" << "" << false << 0ULL << noKey << 0;
    QTest::newRow("shortcut") << json(R"({"key": "Key_F1", "modifier": "ControlModifier"})") << 32 << "enterprise" << "" << false << 0ULL << int(Qt::Key_F1) << int(Qt::ControlModifier);
    QTest::newRow("empty shortcut texts") << json(R"({"key": "", "modifier": ""})") << 32 << "enterprise" << "" << false << 0ULL << noKey << 0;
    QTest::newRow("unknown names mean no shortcut") << json(R"({"key": "F1", "modifier": "Ctrl"})") << 32 << "enterprise" << "" << false << 0ULL << noKey << 0;
}

void tst_DeviceEntries::readFavorite()
{
    QFETCH(QJsonObject, object);
    QFETCH(int, type);
    QFETCH(QString, kindText);
    QFETCH(QString, password);
    QFETCH(bool, remember);
    QFETCH(qulonglong, timestamp);
    QFETCH(int, key);
    QFETCH(int, modifiers);

    FavoriteDevice device;
    device.setType(Configuration::Enterprise);
    device.setDevice(QStringLiteral("enterprise"));
    device.read(object);

    QCOMPARE(device.type(), type);
    QCOMPARE(device.device(), kindText);
    QCOMPARE(device.password(), password);
    QCOMPARE(device.remember(), remember);
    QCOMPARE(device.timestamp(), timestamp);
    QCOMPARE(int(device.key()), key);
    QCOMPARE(int(device.modifiers()), modifiers);
}

void tst_DeviceEntries::writeFavorite_data()
{
    QTest::addColumn<FavoriteDevice>("device");
    QTest::addColumn<QJsonObject>("expected");

    FavoriteDevice full(QStringLiteral("10.0.0.1:8088"), QStringLiteral("admin"), QStringLiteral("secret"));
    full.setName(QStringLiteral("North gate"));
    full.setType(Configuration::Enterprise);
    full.setDevice(QStringLiteral("ignored, comes from the type"));
    full.setDescription(QStringLiteral("roof"));
    full.setTimestamp(1765000000123ULL);
    full.setRemember(true);
    full.setKey(Qt::Key_F1);
    full.setModifiers(Qt::ControlModifier);
    QTest::newRow("every field") << full << json(R"({"address": "10.0.0.1:8088", "date": "1765000000123",
        "description": "roof", "device": "enterprise", "key": "Key_F1", "modifier": "ControlModifier",
        "name": "North gate", "password": "CRkl26BGAPkfo83GtSFrZA==", "username": "admin"})");

    FavoriteDevice forget = full;
    forget.setRemember(false);
    forget.setModifiers(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("password not remembered, two modifiers") << forget << json(R"({"address": "10.0.0.1:8088",
        "date": "1765000000123", "description": "roof", "device": "enterprise", "key": "Key_F1", "modifier": "",
        "name": "North gate", "username": "admin"})");

    FavoriteDevice rememberEmpty(QStringLiteral("h"));
    rememberEmpty.setRemember(true);
    QTest::newRow("remembered empty password") << rememberEmpty
        << json(R"({"address": "h", "password": "WyKW9X0W30W4HVH15uim4A=="})");
}

void tst_DeviceEntries::writeFavorite()
{
    QFETCH(FavoriteDevice, device);
    QFETCH(QJsonObject, expected);

    QJsonObject written;
    device.write(written);
    QCOMPARE(written, expected);
}

void tst_DeviceEntries::favoriteRoundTrip_data()
{
    QTest::addColumn<FavoriteDevice>("device");
    QTest::addColumn<FavoriteDevice>("expected");

    FavoriteDevice remembered(QStringLiteral("block-01.local"), QStringLiteral("op"), QString::fromUtf8("p\xC3\xA4ss"));
    remembered.setRemember(true);
    remembered.setKey(Qt::Key_F5);
    remembered.setModifiers(Qt::AltModifier);
    QTest::newRow("remembered") << remembered << remembered;

    FavoriteDevice forgotten = remembered;
    forgotten.setRemember(false);
    FavoriteDevice forgottenBack = forgotten;
    forgottenBack.setPassword(QString());
    QTest::newRow("not remembered loses the password") << forgotten << forgottenBack;

    FavoriteDevice twoModifiers = remembered;
    twoModifiers.setModifiers(Qt::ControlModifier | Qt::ShiftModifier);
    FavoriteDevice noModifier = remembered;
    noModifier.setModifiers(Qt::NoModifier);
    QTest::newRow("two modifiers read back as none") << twoModifiers << noModifier;
}

void tst_DeviceEntries::favoriteRoundTrip()
{
    QFETCH(FavoriteDevice, device);
    QFETCH(FavoriteDevice, expected);

    QJsonObject written;
    device.write(written);
    FavoriteDevice back;
    back.read(written);
    QCOMPARE(back, expected);
    QCOMPARE(back.remember(), expected.remember());
}

void tst_DeviceEntries::favoriteEquality_data()
{
    QTest::addColumn<FavoriteDevice>("other");
    QTest::addColumn<bool>("equal");

    const FavoriteDevice base(QStringLiteral("a"), QStringLiteral("u"), QStringLiteral("p"));
    auto with = [&](auto change) { FavoriteDevice d = base; change(d); return d; };

    QTest::newRow("same") << base << true;
    QTest::newRow("other id") << with([](FavoriteDevice &d) { d.setId(7); }) << true;
    QTest::newRow("other timestamp") << with([](FavoriteDevice &d) { d.setTimestamp(5); }) << true;
    QTest::newRow("other kind") << with([](FavoriteDevice &d) { d.setType(32); }) << true;
    QTest::newRow("other name") << with([](FavoriteDevice &d) { d.setName(QStringLiteral("n")); }) << false;
    QTest::newRow("other address") << with([](FavoriteDevice &d) { d.setAddress(QStringLiteral("b")); }) << false;
    QTest::newRow("other password") << with([](FavoriteDevice &d) { d.setPassword(QStringLiteral("q")); }) << false;
    QTest::newRow("other remember") << with([](FavoriteDevice &d) { d.setRemember(true); }) << false;
    QTest::newRow("other description") << with([](FavoriteDevice &d) { d.setDescription(QStringLiteral("x")); }) << false;
    QTest::newRow("other key") << with([](FavoriteDevice &d) { d.setKey(Qt::Key_A); }) << false;
    QTest::newRow("other modifiers") << with([](FavoriteDevice &d) { d.setModifiers(Qt::MetaModifier); }) << false;
}

void tst_DeviceEntries::favoriteEquality()
{
    QFETCH(FavoriteDevice, other);
    QFETCH(bool, equal);

    const FavoriteDevice base(QStringLiteral("a"), QStringLiteral("u"), QStringLiteral("p"));
    QCOMPARE(base == other, equal);
    QCOMPARE(QVariant::fromValue(base) == QVariant::fromValue(other), equal);
}

void tst_DeviceEntries::networkDevice()
{
    NetworkDevice device(QStringLiteral("10.0.0.2"), QStringLiteral("fe80::1"));
    device.setInterfaces({{QStringLiteral("eth0"), QStringLiteral("10.0.0.2"), QStringLiteral("fe80::1"), QStringLiteral("aa:bb")},
                          {QStringLiteral("wlan0"), QString(), QString(), QString()}});
    QCOMPARE(device.interfaceRows(), QStringList({QStringLiteral("name: eth0, mac: aa:bb, ipv4: 10.0.0.2, ipv6: fe80::1"),
                                                  QStringLiteral("name: wlan0, mac: , ipv4: , ipv6: ")}));
    device.setInterfaces({});
    QVERIFY(device.interfaceRows().isEmpty());

    QJsonObject written;
    device.write(written);
    QCOMPARE(written, json(R"({"address": "10.0.0.2", "address_v6": "fe80::1"})"));
    NetworkDevice back;
    back.read(json(R"({"address": "10.0.0.2", "address_v6": "fe80::1", "name": "x"})"));
    QCOMPARE(back.addressIPv6(), QStringLiteral("fe80::1"));
    QCOMPARE(back.name(), QStringLiteral("x"));
}

void tst_DeviceEntries::networkEquality_data()
{
    QTest::addColumn<NetworkDevice>("other");
    QTest::addColumn<bool>("equal");

    const NetworkDevice base(QStringLiteral("a"), QStringLiteral("b"));
    auto with = [&](auto change) { NetworkDevice d = base; change(d); return d; };

    QTest::newRow("same") << base << true;
    QTest::newRow("other service id") << with([](NetworkDevice &d) { d.setServiceId(QStringLiteral("s")); }) << true;
    QTest::newRow("other host name") << with([](NetworkDevice &d) { d.setHostname("h"); }) << true;
    QTest::newRow("other block name") << with([](NetworkDevice &d) { d.setBlockName(QStringLiteral("b")); }) << true;
    QTest::newRow("other IPv6") << with([](NetworkDevice &d) { d.setAddressIPv6(QStringLiteral("c")); }) << false;
    QTest::newRow("other attributes") << with([](NetworkDevice &d) { d.setAttributes(QStringLiteral("c")); }) << false;
    QTest::newRow("product block") << with([](NetworkDevice &d) { d.setOrvaUnit(true); }) << false;
    QTest::newRow("other interface rows") << with([](NetworkDevice &d) { d.setInterfaces({{}}); }) << false;
}

void tst_DeviceEntries::networkEquality()
{
    QFETCH(NetworkDevice, other);
    QFETCH(bool, equal);

    const NetworkDevice base(QStringLiteral("a"), QStringLiteral("b"));
    QCOMPARE(base == other, equal);
    QCOMPARE(QVariant::fromValue(base) == QVariant::fromValue(other), equal);
}

void tst_DeviceEntries::gadgetProperties()
{
    // QML reads entries through the meta-object, the inherited base properties included.
    FavoriteDevice device(QStringLiteral("a"), QStringLiteral("u"));
    device.setName(QStringLiteral("n"));
    device.setKey(Qt::Key_F2);
    const QMetaObject &meta = FavoriteDevice::staticMetaObject;
    auto read = [&](const char *name) { return meta.property(meta.indexOfProperty(name)).readOnGadget(&device); };

    QCOMPARE(read("self").value<FavoriteDevice>(), device);
    QCOMPARE(read("name").toString(), QStringLiteral("n"));
    QCOMPARE(read("key").toInt(), int(Qt::Key_F2));
    QVERIFY(meta.property(meta.indexOfProperty("username")).writeOnGadget(&device, QStringLiteral("v")));
    QCOMPARE(device.username(), QStringLiteral("v"));
}

QTEST_GUILESS_MAIN(tst_DeviceEntries)
#include "tst_DeviceEntries.moc"
