#include "devices/rest/User.h"
#include "support/LogCapture.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using utils::gui::TimeConverter;
using Role = User::Role;
using Permissions = User::Permissions;
using Cubes = QVector<User::ObjectPermissions>;
using Windows = std::vector<TimeConverter::TimeSettings>;


namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), "yyyy-MM-dd hh:mm:ss");
}

TimeConverter::TimeSettings window(const QString &fromDate, const QString &fromTime, const QString &toDate,
                                   const QString &toTime, bool recurrence, const QString &days)
{
    TimeConverter::TimeSettings w;
    w.fromDate = fromDate;
    w.fromTime = fromTime;
    w.toDate = toDate;
    w.toTime = toTime;
    w.recurrence = recurrence;
    w.days = days;
    return w;
}

} // namespace

class tst_User : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { TimeConverter::resetClock(); }

    void read_data();
    void read();
    void hashFields_data();
    void hashFields();
    void image();
    void timeWindows();
    void permissions_data();
    void permissions();
    void setCubePermissions();
    void roleToString_data();
    void roleToString();
    void expiry_data();
    void expiry();
    void snapshotWithoutStore();
    void snapshotChanges_data();
    void snapshotChanges();
    void restoreAndClear();
    void setterSignals();
};

void tst_User::read_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Role>("role");
    QTest::addColumn<QString>("roleName");
    QTest::addColumn<Cubes>("cubes");
    QTest::addColumn<QVector<int>>("cubeIds");
    QTest::addColumn<QStringList>("mails");
    QTest::addColumn<bool>("unlimited");
    QTest::addColumn<bool>("demo");

    const Cubes none;
    QTest::newRow("empty object keeps the initial values")
        << QByteArray("{}") << Role::Viewer << QString() << none << QVector<int>{} << QStringList{QString()} << true
        << false;
    QTest::newRow("viewer role leaves the names empty")
        << QByteArray(R"({"role":"viewer"})") << Role::Viewer << QString() << none << QVector<int>{}
        << QStringList{QString()} << true << false;
    QTest::newRow("admin") << QByteArray(R"({"role":"admin"})") << Role::Admin << "Admin" << none << QVector<int>{}
                           << QStringList{QString()} << true << false;
    QTest::newRow("superadmin") << QByteArray(R"({"role":"superadmin"})") << Role::SuperAdmin << "SuperAdmin" << none
                                << QVector<int>{} << QStringList{QString()} << true << false;
    QTest::newRow("analyst") << QByteArray(R"({"role":"analyst"})") << Role::Analyst << "Analyst" << none
                             << QVector<int>{} << QStringList{QString()} << true << false;
    QTest::newRow("unknown role text is a viewer")
        << QByteArray(R"({"role":"Admin"})") << Role::Viewer << QString() << none << QVector<int>{}
        << QStringList{QString()} << true << false;
    QTest::newRow("old cube form without version")
        << QByteArray(R"({"available_cubes":[3,5]})") << Role::Viewer << QString()
        << Cubes{{3, Permissions::Write}, {5, Permissions::Write}} << QVector<int>{3, 5} << QStringList{QString()}
        << true << false;
    QTest::newRow("settings_version 2 reads the old form")
        << QByteArray(R"({"settings_version":2,"available_cubes":[7]})") << Role::Viewer << QString()
        << Cubes{{7, Permissions::Write}} << QVector<int>{7} << QStringList{QString()} << true << false;
    QTest::newRow("current cube form")
        << QByteArray(R"({"settings_version":1,"available_cubes":[{"id":3,"permissions":"read"},)"
                      R"({"id":4,"permissions":"noAccess"},{"id":5,"permissions":"Write"},)"
                      R"({"id":6,"permissions":"write"}]})")
        << Role::Viewer << QString()
        << Cubes{{3, Permissions::Read}, {4, Permissions::NoAccess}, {5, Permissions::NoAccess},
                 {6, Permissions::Write}}
        << QVector<int>{3, 6} << QStringList{QString()} << true << false;
    QTest::newRow("current form given old ids")
        << QByteArray(R"({"settings_version":1,"available_cubes":[3]})") << Role::Viewer << QString()
        << Cubes{{0, Permissions::NoAccess}} << QVector<int>{} << QStringList{QString()} << true << false;
    QTest::newRow("empty mails give one empty text")
        << QByteArray(R"({"mails":[]})") << Role::Viewer << QString() << none << QVector<int>{}
        << QStringList{QString()} << true << false;
    QTest::newRow("mails, demo and limited")
        << QByteArray(R"({"mails":["a@b.c","d@e.f"],"demo":true,"unlimited":false})") << Role::Viewer << QString()
        << none << QVector<int>{} << QStringList{"a@b.c", "d@e.f"} << false << true;
    QTest::newRow("wrong types read as neutral values")
        << QByteArray(R"({"mails":"x","demo":"yes","unlimited":"no","available_cubes":{"id":1},"role":5})")
        << Role::Viewer << QString() << none << QVector<int>{} << QStringList{QString()} << false << false;
}

void tst_User::read()
{
    QFETCH(QByteArray, input);
    QFETCH(Role, role);
    QFETCH(QString, roleName);
    QFETCH(Cubes, cubes);
    QFETCH(QVector<int>, cubeIds);
    QFETCH(QStringList, mails);
    QFETCH(bool, unlimited);
    QFETCH(bool, demo);

    const User user(QJsonDocument::fromJson(input).object());
    QCOMPARE(user.role(), role);
    QCOMPARE(user.roleName(), roleName);
    QCOMPARE(user.translatedRoleName(), roleName); // no translator installed
    QCOMPARE(user.availableCubes(), cubes);
    QCOMPARE(user.availableCubesIds(), cubeIds);
    QCOMPARE(user.mails(), mails);
    QCOMPARE(user.unlimited(), unlimited);
    QCOMPARE(user.demoUser(), demo);
}

void tst_User::hashFields_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("hash");
    QTest::addColumn<QByteArray>("salt");
    QTest::addColumn<int>("iterations");
    QTest::newRow("plain password") << QByteArray(R"({"password":"pw","hash_salt":"c2FsdA=="})") << "pw"
                                    << QByteArray() << QByteArray() << -1;
    QTest::newRow("hash replaces the password")
        << QByteArray(R"({"password":"pw","hash_password":"aGFzaA==","hash_salt":"c2FsdA==","hash_iterations":9})")
        << QString() << QByteArray("hash") << QByteArray("salt") << 9;
    QTest::newRow("hash without iterations") << QByteArray(R"({"hash_password":"aGFzaA=="})") << QString()
                                             << QByteArray("hash") << QByteArray() << 0;
}

void tst_User::hashFields()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, password);
    QFETCH(QByteArray, hash);
    QFETCH(QByteArray, salt);
    QFETCH(int, iterations);
    const User user(QJsonDocument::fromJson(input).object());
    QCOMPARE(user.password(), password);
    QCOMPARE(user.hashPassword(), hash);
    QCOMPARE(user.hashSalt(), salt);
    QCOMPARE(user.additionalHashIterations(), iterations);
}

namespace {
quint32 pngCrc(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}
} // namespace

void tst_User::image()
{
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(picture.save(&buffer, "PNG"));

    const User withImage(QJsonObject{{"image", QString::fromLatin1(png.toBase64())}});
    QCOMPARE(withImage.image().size(), QSize(3, 2));
    QCOMPARE(withImage.image().pixelColor(1, 1), QColor(Qt::red));
    const User broken(QJsonObject{{"image", "bm90IGFuIGltYWdl"}});
    QVERIFY(broken.image().isNull());
    const User without(QJsonObject{});
    QVERIFY(without.image().isNull());

    // A PNG announcing 30000 x 30000 pixels in a few bytes.
    QByteArray header = png.left(33); // signature and IHDR
    header[16] = 0; header[17] = 0; header[18] = char(0x75); header[19] = char(0x30);
    header[20] = 0; header[21] = 0; header[22] = char(0x75); header[23] = char(0x30);
    const quint32 crc = qToBigEndian(pngCrc(header.mid(12, 17)));
    header.replace(29, 4, QByteArray(reinterpret_cast<const char *>(&crc), 4));
    for (const char *type : {"IDAT", "IEND"}) {
        const quint32 chunkCrc = qToBigEndian(pngCrc(QByteArray(type)));
        header += QByteArray(4, 0) + type + QByteArray(reinterpret_cast<const char *>(&chunkCrc), 4);
    }
    LogCapture capture(kvr::log::WRN);
    const User huge(QJsonObject{{"image", QString::fromLatin1(header.toBase64())}});
    QVERIFY(huge.image().isNull());
    QVERIFY(capture.contains(QStringLiteral("User image of 30000x30000 pixels is too large, ignored.")));
}

void tst_User::timeWindows()
{
    const User user(json(R"({"time_settings":[
        {"FromDate":"2026-03-01","FromTime":"08:00:00","ToDate":"2026-03-31","ToTime":"17:00:00",
         "Recurrence":false,"Days":"1111100","Other":1},
        {"Recurrence":"yes"},
        {}]})"));
    const Windows windows = user.timeSettings();
    QCOMPARE(windows.size(), size_t(3));
    QCOMPARE(windows[0], window("2026-03-01", "08:00:00", "2026-03-31", "17:00:00", false, "1111100"));
    QCOMPARE(windows[1], window("-", "00:00:00", "+1d", "00:00:00", false, "0000011"));
    QCOMPARE(windows[2], TimeConverter::TimeSettings());

    const User notAnArray(json(R"({"time_settings":{"FromDate":"2026-03-01"}})"));
    QVERIFY(notAnArray.timeSettings().empty());
}

void tst_User::permissions_data()
{
    QTest::addColumn<QByteArray>("role");
    QTest::addColumn<bool>("check");
    QTest::addColumn<QList<bool>>("view"); // cubes 1 (write), 2 (read), 3 (noAccess), 4 (absent)
    QTest::addColumn<QList<bool>>("edit");
    QTest::newRow("viewer") << QByteArray("viewer") << false << QList<bool>{true, true, false, false}
                            << QList<bool>{true, false, false, false};
    QTest::newRow("viewer after checkPermissions") << QByteArray("viewer") << true
                                                   << QList<bool>{true, true, false, false}
                                                   << QList<bool>{false, false, false, false};
    QTest::newRow("analyst keeps write") << QByteArray("analyst") << true << QList<bool>{true, true, false, false}
                                         << QList<bool>{true, false, false, false};
    QTest::newRow("admin sees all") << QByteArray("admin") << true << QList<bool>{true, true, true, true}
                                    << QList<bool>{true, true, true, true};
    QTest::newRow("superadmin sees all") << QByteArray("superadmin") << false << QList<bool>{true, true, true, true}
                                         << QList<bool>{true, true, true, true};
}

void tst_User::permissions()
{
    QFETCH(QByteArray, role);
    QFETCH(bool, check);
    QFETCH(QList<bool>, view);
    QFETCH(QList<bool>, edit);
    User user(QJsonObject{{"role", QString::fromLatin1(role)},
                          {"settings_version", 1},
                          {"available_cubes", QJsonArray{QJsonObject{{"id", 1}, {"permissions", "write"}},
                                                         QJsonObject{{"id", 2}, {"permissions", "read"}},
                                                         QJsonObject{{"id", 3}, {"permissions", "noAccess"}},
                                                         QJsonObject{{"id", 1}, {"permissions", "read"}}}}});
    if (check)
        user.checkPermissions();
    for (int cube = 1; cube <= 4; ++cube) {
        QCOMPARE(user.canViewCube(cube), view.at(cube - 1));
        QCOMPARE(user.canEditCube(cube), edit.at(cube - 1));
    }
}

void tst_User::setCubePermissions()
{
    User user(json(R"({"available_cubes":[3,5,3]})"));
    QSignalSpy changed(&user, &User::availableCubesChanged);
    user.setCubePermissions(3, Permissions::Read);
    user.setCubePermissions(9, Permissions::NoAccess);
    QCOMPARE(user.availableCubes(), (Cubes{{3, Permissions::Read}, {5, Permissions::Write}, {3, Permissions::Write},
                                           {9, Permissions::NoAccess}}));
    QCOMPARE(user.availableCubesIds(), (QVector<int>{3, 5, 3}));
    QCOMPARE(changed.count(), 0);
}

void tst_User::roleToString_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("text");
    QTest::newRow("viewer") << 0 << "viewer";
    QTest::newRow("analyst") << 1 << "analyst";
    QTest::newRow("admin") << 2 << "admin";
    QTest::newRow("superadmin") << 3 << "superadmin";
    QTest::newRow("out of range") << 4 << "NoAccess";
    QTest::newRow("negative") << -1 << "NoAccess";
}

void tst_User::roleToString()
{
    QFETCH(int, role);
    QFETCH(QString, text);
    QCOMPARE(User().roleToString(role), text);
}

void tst_User::expiry_data()
{
    QTest::addColumn<QByteArray>("role");
    QTest::addColumn<QVariant>("unlimited"); // invalid: key absent
    QTest::addColumn<Windows>("windows");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("expired");

    const Windows none;
    const Windows march{window("2026-03-01", "08:00:00", "2026-03-31", "17:00:00", true, "1111100")};
    const Windows once{window("2026-05-10", "00:00:00", "+1d", "00:00:00", false, "1111111")};
    const QVariant absent;
    QTest::newRow("admin never expires") << QByteArray("admin") << QVariant(false) << none
                                         << at("2026-03-14 12:00:00") << false;
    QTest::newRow("superadmin never expires") << QByteArray("superadmin") << QVariant(false) << march
                                              << at("2030-01-05 03:00:00") << false;
    QTest::newRow("analyst, unlimited absent") << QByteArray("analyst") << absent << none
                                               << at("2026-03-14 12:00:00") << false;
    QTest::newRow("analyst, limited, no windows") << QByteArray("analyst") << QVariant(false) << none
                                                  << at("2026-03-14 12:00:00") << true;
    QTest::newRow("weekday noon in another year") << QByteArray("viewer") << QVariant(false) << march
                                                  << at("2031-07-16 12:00:00") << false;
    QTest::newRow("weekday at the closing second") << QByteArray("viewer") << QVariant(false) << march
                                                   << at("2029-11-14 17:00:00") << false;
    QTest::newRow("weekday after hours") << QByteArray("viewer") << QVariant(false) << march
                                         << at("2029-11-14 17:00:01") << true;
    QTest::newRow("weekday before hours") << QByteArray("analyst") << QVariant(false) << march
                                          << at("2029-11-14 07:59:59") << true;
    QTest::newRow("saturday inside the dates") << QByteArray("viewer") << QVariant(false) << march
                                               << at("2026-03-14 12:00:00") << false;
    QTest::newRow("saturday outside the dates") << QByteArray("viewer") << QVariant(false) << march
                                                << at("2026-04-11 12:00:00") << true;
    QTest::newRow("relative end, inside") << QByteArray("viewer") << QVariant(false) << once
                                          << at("2026-05-10 23:59:59") << false;
    QTest::newRow("relative end, one second later") << QByteArray("viewer") << QVariant(false) << once
                                                    << at("2026-05-11 00:00:01") << true;
    QTest::newRow("default window admits today") << QByteArray("viewer") << QVariant(false)
                                                 << Windows{TimeConverter::TimeSettings()}
                                                 << at("2026-03-18 09:30:00") << false;
    QTest::newRow("second window admits") << QByteArray("viewer") << QVariant(false)
                                          << Windows{march[0], once[0]} << at("2026-05-10 03:00:00") << false;
    QTest::newRow("day mask too short never recurs")
        << QByteArray("viewer") << QVariant(false)
        << Windows{window("2026-03-01", "08:00:00", "2026-03-02", "17:00:00", true, "111111")}
        << at("2026-03-18 12:00:00") << true;
}

void tst_User::expiry()
{
    QFETCH(QByteArray, role);
    QFETCH(QVariant, unlimited);
    QFETCH(Windows, windows);
    QFETCH(QDateTime, now);
    QFETCH(bool, expired);

    QVERIFY(now.isValid());
    TimeConverter::setClock([now] { return now; });
    QJsonObject object{{"role", QString::fromLatin1(role)}};
    if (unlimited.isValid())
        object.insert("unlimited", unlimited.toBool());
    User user(object);
    user.setTimeSettings(windows);
    QCOMPARE(user.isExpired(), expired);
}

void tst_User::snapshotWithoutStore()
{
    LogCapture log;
    User user(json(R"({"username":"op"})"));
    QCOMPARE(user.compare(), ICompare::NoChange);
    QCOMPARE(user.compareNoPassword(), ICompare::NoChange);
    QCOMPARE(user.comparePassword(), ICompare::NoChange);
    QCOMPARE(user.getStoredUserName(), QString());
    QCOMPARE(user.getStoredPermissions(), Cubes());
    QCOMPARE(user.getStoredDefaultPermission(), Permissions::NoAccess);
    const QStringList warnings = log.texts(kvr::log::WRN);
    QCOMPARE(warnings.size(), 6);
    QVERIFY2(warnings.first().startsWith("[Warning] ") && warnings.first().contains("User::compare()")
                 && warnings.first().endsWith(" failed, call storeOrig method first"),
             qPrintable(warnings.first()));
}

void tst_User::snapshotChanges_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("changedWithoutPassword");
    QTest::newRow("nothing") << "none" << false << false;
    QTest::newRow("role") << "role" << true << true;
    QTest::newRow("tokens") << "tokens" << true << true;
    QTest::newRow("user name") << "userName" << true << true;
    QTest::newRow("mails") << "mails" << true << true;
    QTest::newRow("first name") << "firstName" << true << true;
    QTest::newRow("last name") << "lastName" << true << true;
    QTest::newRow("password") << "password" << true << false;
    QTest::newRow("image") << "image" << true << true;
    QTest::newRow("default permission") << "defaultPermission" << true << true;
    QTest::newRow("cube permission") << "cubePermission" << true << true;
    QTest::newRow("dashboards") << "dashboards" << true << true;
    QTest::newRow("unlimited") << "unlimited" << true << true;
    QTest::newRow("time window days") << "timeDays" << true << true;
    QTest::newRow("demo is not compared") << "demo" << false << false;
    QTest::newRow("update time is not compared") << "lastUpdateTime" << false << false;
}

void tst_User::snapshotChanges()
{
    QFETCH(QString, field);
    QFETCH(bool, changed);
    QFETCH(bool, changedWithoutPassword);

    User user(json(R"({"username":"op","password":"pw","role":"analyst","access_tokens":["t"],
        "settings_version":1,"available_cubes":[{"id":1,"permissions":"read"}],
        "time_settings":[{"Days":"1111111"}],"unlimited":false})"));
    user.storeOrig();
    QCOMPARE(user.compare(), ICompare::NoChange);

    if (field == "role") user.setRole(Role::Admin);
    else if (field == "tokens") user.setAccessTokens({"t", "u"});
    else if (field == "userName") user.setUserName("other");
    else if (field == "mails") user.setMails({"m@x"});
    else if (field == "firstName") user.setFirstName("A");
    else if (field == "lastName") user.setLastName("B");
    else if (field == "password") user.setPassword("new");
    else if (field == "image") { QImage i(1, 1, QImage::Format_RGB32); i.fill(Qt::blue); user.setImage(i); }
    else if (field == "defaultPermission") user.setDefaultPermission(Permissions::Read);
    else if (field == "cubePermission") user.setCubePermissions(1, Permissions::Write);
    else if (field == "dashboards") user.setAvailableDashboards({{4, Permissions::Read}});
    else if (field == "unlimited") user.setUnlimited(true);
    else if (field == "timeDays") { Windows w = user.timeSettings(); w[0].days = "1111110"; user.setTimeSettings(w); }
    else if (field == "demo") user.setDemoUser(true);
    else if (field == "lastUpdateTime") user.setLastUpdateTime("2026-01-01");

    QCOMPARE(user.compare(), changed ? ICompare::Changed : ICompare::NoChange);
    QCOMPARE(user.compareNoPassword(), changedWithoutPassword ? ICompare::Changed : ICompare::NoChange);
    QCOMPARE(user.comparePassword(), field == "password" ? ICompare::Changed : ICompare::NoChange);

    QSignalSpy modified(&user, &User::modifiedChanged);
    user.handleChanges();
    QCOMPARE(user.modified(), changed);
    QCOMPARE(modified.count(), changed ? 1 : 0);
}

void tst_User::restoreAndClear()
{
    User user(json(R"({"username":"op","password":"pw","role":"analyst","default_permission":"read",
        "settings_version":1,"available_cubes":[{"id":1,"permissions":"read"}],"demo":true})"));
    user.storeOrig();
    user.setUserName("changed");
    user.setCubePermissions(1, Permissions::Write);
    QCOMPARE(user.getStoredUserName(), QString("op"));
    QCOMPARE(user.getStoredPermissions(), (Cubes{{1, Permissions::Read}}));
    QCOMPARE(user.getStoredDefaultPermission(), Permissions::Read);

    QSignalSpy name(&user, &User::userNameChanged);
    user.restoreOrig();
    QCOMPARE(user.userName(), QString("op"));
    QCOMPARE(user.availableCubes(), (Cubes{{1, Permissions::Read}}));
    QCOMPARE(name.count(), 0);

    QSignalSpy role(&user, &User::roleChanged);
    user.clear();
    QCOMPARE(role.count(), 0);
    QCOMPARE(user.role(), Role::Viewer);
    QCOMPARE(user.roleName(), QString("Analyst")); // names are kept by clear()
    QCOMPARE(user.userName(), QString());
    QCOMPARE(user.mails(), QStringList{QString()});
    QCOMPARE(user.defaultPermission(), Permissions::NoAccess);
    QVERIFY(user.unlimited());
    QVERIFY(user.demoUser());
    QCOMPARE(user.compare(), ICompare::NoChange); // clear() stores the cleared state
    QCOMPARE(user.getStoredUserName(), QString());
}

void tst_User::setterSignals()
{
    User user;
    QSignalSpy tokens(&user, &User::accessTokensChanged);
    QSignalSpy tokenText(&user, &User::accessTokensStringChanged);
    QSignalSpy role(&user, &User::roleChanged);
    QSignalSpy roleName(&user, &User::roleNameChanged);
    user.setAccessTokens({"a", "b"});
    user.setAccessTokens({"a", "b"});
    QCOMPARE(tokens.count(), 1);
    QCOMPARE(tokenText.count(), 1);
    QCOMPARE(tokenText.at(0).at(0).toString(), QString("a,b"));
    QCOMPARE(user.accessTokensString(), QString("a,b"));

    user.setRole(Role::Viewer);
    QCOMPARE(role.count(), 0);
    user.setRole(Role::Analyst);
    user.setRole(Role::Viewer);
    QCOMPARE(role.count(), 2);
    QCOMPARE(roleName.count(), 2);
    QCOMPARE(user.roleName(), QString("Viewer"));
    QVERIFY(user.isViewer());

    QSignalSpy windows(&user, &User::timeSettingsChanged);
    user.setTimeSettings(Windows{TimeConverter::TimeSettings()});
    user.setTimeSettings(Windows{TimeConverter::TimeSettings()});
    QCOMPARE(windows.count(), 1);
}

QTEST_GUILESS_MAIN(tst_User)
#include "tst_User.moc"
