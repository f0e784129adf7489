#include "devices/models/FavoriteDeviceModel.h"
#include "support/LogCapture.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(ORVA_TEST_DATA_DIR "/") + name;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

FavoriteDevice entry(const QString &address, const QString &username, const QString &name = QString())
{
    FavoriteDevice device(address, username);
    device.setName(name);
    return device;
}

// Keeps the model checked by Qt's tester for as long as the test runs.
struct CheckedModel
{
    FavoriteDeviceModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

// Writes beyond `bytes` fail with EFBIG for this process while it lives (a full disk, as root can have one).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class tst_FavoriteDeviceModel : public QObject
{
    Q_OBJECT

private slots:
    void loadExample();
    void loadKeepsOrReplaces_data();
    void loadKeepsOrReplaces();
    void idsKeepGrowing();
    void saveForm();
    void loadAfterSave();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void unreadableFileIsKept();
    void rolesAndSetData();
    void dataCountFollowsRows();
    void storedIndexFollowsRow_data();
    void storedIndexFollowsRow();
    void handleDevice();
    void suggestions_data();
    void suggestions();
    void acceptDevice_data();
    void acceptDevice();
    void addressPattern_data();
    void addressPattern();
    void credentialsExist_data();
    void credentialsExist();
    void shortcuts_data();
    void shortcuts();
    void shortcutTexts_data();
    void shortcutTexts();
};

void tst_FavoriteDeviceModel::loadExample()
{
    CheckedModel checked;
    FavoriteDeviceModel &model = checked.model;
    model.load(dataFile(QStringLiteral("favorites_example.json")));

    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.dataCount(), 3);
    const FavoriteDevice first = model.at(model.index(0, 0));
    QCOMPARE(first.id(), 1);
    QCOMPARE(first.name(), QStringLiteral("North gate"));
    QCOMPARE(first.type(), 32);
    QCOMPARE(first.password(), QStringLiteral("secret"));
    QVERIFY(first.remember());
    QCOMPARE(first.timestamp(), 1765000000123ULL);
    QCOMPARE(first.key(), Qt::Key_F1);
    QCOMPARE(first.modifiers(), Qt::KeyboardModifiers(Qt::ControlModifier));

    const FavoriteDevice second = model.at(model.index(1, 0));
    QCOMPARE(second.type(), 256);
    QCOMPARE(second.device(), QStringLiteral("embedded_macro_orin"));
    QVERIFY(!second.remember());

    const FavoriteDevice third = model.at(model.index(2, 0));
    QCOMPARE(third.id(), 3);
    QCOMPARE(third.type(), 0);
    QCOMPARE(third.device(), QStringLiteral("toaster"));
    QCOMPARE(third.password(), QString());   // damaged cipher text: loaded without password
    QVERIFY(!third.remember());
}

void tst_FavoriteDeviceModel::loadKeepsOrReplaces_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("names");

    const QStringList kept{QStringLiteral("old 1"), QStringLiteral("old 2")};
    QTest::newRow("empty list empties") << "favorites_empty.json" << QStringList();
    QTest::newRow("connections not an array") << "favorites_object.json" << kept;
    QTest::newRow("invalid JSON") << "favorites_truncated.json" << kept;
    QTest::newRow("top level not an object") << "favorites_array.json" << kept;
    QTest::newRow("missing file") << "no_such_file.json" << kept;
    QTest::newRow("elements that are not objects") << "favorites_odd_elements.json"
                                                   << QStringList{QString(), QString(), QStringLiteral("real")};
}

void tst_FavoriteDeviceModel::loadKeepsOrReplaces()
{
    QFETCH(QString, file);
    QFETCH(QStringList, names);

    CheckedModel checked;
    FavoriteDeviceModel &model = checked.model;
    model.addDevice(entry(QStringLiteral("a"), QStringLiteral("u"), QStringLiteral("old 1")));
    model.addDevice(entry(QStringLiteral("b"), QStringLiteral("u"), QStringLiteral("old 2")));
    LogCapture log;

    model.load(dataFile(file));

    QStringList loaded;
    for (const FavoriteDevice &device : model.items())
        loaded.append(device.name());
    QCOMPARE(loaded, names);
    QCOMPARE(model.dataCount(), names.size());
}

void tst_FavoriteDeviceModel::idsKeepGrowing()
{
    FavoriteDeviceModel model;
    for (int i = 0; i < 5; ++i)
        QCOMPARE(model.addDevice(entry(QString::number(i), QStringLiteral("u"))), i + 1);
    model.removeDevice(model.index(4, 0));

    model.load(dataFile(QStringLiteral("favorites_example.json")));
    QCOMPARE(model.at(model.index(0, 0)).id(), 6);
    QCOMPARE(model.at(model.index(2, 0)).id(), 8);

    model.load(dataFile(QStringLiteral("favorites_example.json")));
    QCOMPARE(model.at(model.index(0, 0)).id(), 9);
    QCOMPARE(model.addDevice(FavoriteDevice()), 12);
}

void tst_FavoriteDeviceModel::saveForm()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("favorite_connections.json"));
    FavoriteDeviceModel model;
    model.load(dataFile(QStringLiteral("favorites_example.json")));

    QVERIFY(model.save(path));
    // Indented, keys sorted; the unknown kind and the undecipherable password are not written back.
    QCOMPARE(readAll(path), readAll(dataFile(QStringLiteral("favorites_saved.json"))));
}

void tst_FavoriteDeviceModel::loadAfterSave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("favorite_connections.json"));
    FavoriteDeviceModel model;
    FavoriteDevice remembered(QStringLiteral("10.1.1.1:8080"), QStringLiteral("op"), QString::fromUtf8("p\xC3\xA4ss w\xC3\xB6rd"));
    remembered.setRemember(true);
    remembered.setName(QStringLiteral("Yard"));
    remembered.setType(1024);
    remembered.setTimestamp(42);
    remembered.setKey(Qt::Key_9);
    remembered.setModifiers(Qt::AltModifier);
    model.addDevice(remembered);
    model.addDevice(entry(QStringLiteral("block-02.local"), QStringLiteral("viewer"), QStringLiteral("Ramp")));
    QVERIFY(model.save(path));

    FavoriteDeviceModel reloaded;
    reloaded.load(path);
    QCOMPARE(reloaded.items(), model.items());
    const FavoriteDevice back = reloaded.at(reloaded.index(0, 0));
    QCOMPARE(back.type(), 1024);
    QCOMPARE(back.timestamp(), 42ULL);
    QVERIFY(back.remember());
}

void tst_FavoriteDeviceModel::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<bool>("targetIsDirectory");

    QTest::newRow("disk full while writing") << false;
    QTest::newRow("target cannot be created") << true;
}

void tst_FavoriteDeviceModel::failedSaveKeepsOldFile()
{
    QFETCH(bool, targetIsDirectory);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("favorite_connections.json"));
    const QByteArray old = R"({"connections": [{"name": "old"}]})";
    if (targetIsDirectory) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("favorite_connections.json")));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    FavoriteDeviceModel model;
    for (int i = 0; i < 20; ++i)
        model.addDevice(entry(QStringLiteral("10.0.0.%1").arg(i), QStringLiteral("user")));
    LogCapture log;

    bool saved = true;
    {
        FileSizeLimit limit(200);   // the old file fits, the new one does not
        saved = model.save(path);
    }

    QVERIFY(!saved);
    QCOMPARE(log.texts(kvr::log::ERR).size(), 1);
    QVERIFY(log.texts(kvr::log::ERR).first().startsWith(QStringLiteral("[ERROR] Failed to save favourite devices to ") + path));
    if (!targetIsDirectory)
        QCOMPARE(readAll(path), old);
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
}

void tst_FavoriteDeviceModel::unreadableFileIsKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("favorite_connections.json"));
    const QByteArray damaged = readAll(dataFile(QStringLiteral("favorites_truncated.json")));
    QVERIFY(QFile::copy(dataFile(QStringLiteral("favorites_truncated.json")), path));
    FavoriteDeviceModel model;
    LogCapture log;

    model.load(path);
    QCOMPARE(log.texts(kvr::log::WRN).size(), 1);
    QVERIFY(log.texts(kvr::log::WRN).first().contains(path));
    model.addDevice(entry(QStringLiteral("10.0.0.1"), QStringLiteral("u")));
    log.clear();

    QVERIFY(model.save(path));
    const QStringList copies = QDir(dir.path()).entryList({QStringLiteral("favorite_connections.json.unreadable-*")});
    QCOMPARE(copies.size(), 1);
    const QString copy = dir.filePath(copies.first());
    QCOMPARE(readAll(copy), damaged);
    QCOMPARE(log.texts(kvr::log::WRN), QStringList{QStringLiteral("[SETTINGS] The unreadable favourite devices file was kept as %1.").arg(copy)});

    // Only the first save replaces the damaged file: later ones keep no further copies.
    QVERIFY(model.save(path));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    FavoriteDeviceModel reloaded;
    reloaded.load(path);
    QCOMPARE(reloaded.rowCount(), 1);
}

void tst_FavoriteDeviceModel::rolesAndSetData()
{
    CheckedModel checked;
    FavoriteDeviceModel &model = checked.model;
    FavoriteDevice device = entry(QStringLiteral("a"), QStringLiteral("u"), QStringLiteral("Alpha"));
    device.setType(32);
    model.addDevice(device);
    const QModelIndex row = model.index(0, 0);

    QCOMPARE(model.data(row, FavoriteDeviceModel::TypeRole).toInt(), 32);
    QCOMPARE(model.data(row, FavoriteDeviceModel::NameRole).toString(), QStringLiteral("Alpha"));
    QCOMPARE(model.data(row, FavoriteDeviceModel::DeviceRole).value<FavoriteDevice>().id(), 1);
    QVERIFY(!model.data(row, Qt::UserRole).isValid());
    QVERIFY(!model.data(QModelIndex(), FavoriteDeviceModel::NameRole).isValid());
    QCOMPARE(model.roleNames().value(FavoriteDeviceModel::DeviceRole), QByteArray("DeviceRole"));

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    FavoriteDevice edited = entry(QStringLiteral("b"), QStringLiteral("v"), QStringLiteral("Beta"));
    edited.setId(77);
    QVERIFY(!model.setData(row, QVariant::fromValue(edited), FavoriteDeviceModel::NameRole));
    QVERIFY(!model.setData(row, QStringLiteral("Beta"), FavoriteDeviceModel::DeviceRole));
    QVERIFY(!model.setData(QModelIndex(), QVariant::fromValue(edited), FavoriteDeviceModel::DeviceRole));
    QCOMPARE(changed.count(), 0);

    QVERIFY(model.setData(row, QVariant::fromValue(edited), FavoriteDeviceModel::DeviceRole));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(2).value<QVector<int>>(), QVector<int>{FavoriteDeviceModel::DeviceRole});
    QCOMPARE(model.at(row).id(), 77);
    QCOMPARE(model.at(row).name(), QStringLiteral("Beta"));
}

void tst_FavoriteDeviceModel::dataCountFollowsRows()
{
    FavoriteDeviceModel model;
    QSignalSpy spy(&model, &FavoriteDeviceModel::dataCountChanged);
    model.addDevice(FavoriteDevice());
    model.append(FavoriteDevice());   // the base's own operation too
    QCOMPARE(model.dataCount(), 2);
    model.removeDevice(QModelIndex());
    QCOMPARE(spy.count(), 2);
    model.removeDevice(model.index(0, 0));
    model.load(dataFile(QStringLiteral("favorites_example.json")));
    QCOMPARE(model.dataCount(), 3);
    QCOMPARE(spy.count(), 7);   // 1, 2, 1, then 0 on the reset and 1, 2, 3 while loading
}

void tst_FavoriteDeviceModel::storedIndexFollowsRow_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("name");   // of the row the stored indexes name afterwards; empty: invalid
    QTest::addColumn<int>("announced");  // change signals of each index

    QTest::newRow("row before removed") << "remove 0" << "b" << 1;
    QTest::newRow("row after removed") << "remove 2" << "b" << 0;
    QTest::newRow("own row removed") << "remove 1" << "" << 1;
    QTest::newRow("row added") << "add" << "b" << 0;
    QTest::newRow("file loaded") << "load" << "" << 1;
}

void tst_FavoriteDeviceModel::storedIndexFollowsRow()
{
    QFETCH(QString, change);
    QFETCH(QString, name);
    QFETCH(int, announced);

    CheckedModel checked;
    FavoriteDeviceModel &model = checked.model;
    for (const char *row : {"a", "b", "c"})
        model.addDevice(entry(QString::fromLatin1(row), QStringLiteral("u"), QString::fromLatin1(row)));
    model.setCurrentIndex(model.index(1, 0));
    model.setLoginIndex(model.index(1, 0));
    QSignalSpy current(&model, &FavoriteDeviceModel::currentIndexChanged);
    QSignalSpy login(&model, &FavoriteDeviceModel::loginIndexChanged);

    if (change.startsWith(QLatin1String("remove ")))
        model.removeDevice(model.index(change.section(QLatin1Char(' '), 1).toInt(), 0));
    else if (change == QLatin1String("add"))
        model.addDevice(entry(QStringLiteral("d"), QStringLiteral("u"), QStringLiteral("d")));
    else
        model.load(dataFile(QStringLiteral("favorites_example.json")));

    // Never another entry than the one chosen: the edit dialog and the log-in act on it.
    QCOMPARE(model.currentIndex().isValid(), !name.isEmpty());
    QCOMPARE(model.at(model.currentIndex()).name(), name);
    QCOMPARE(model.at(model.loginIndex()).name(), name);
    QCOMPARE(current.count(), announced);
    QCOMPARE(login.count(), announced);
}

void tst_FavoriteDeviceModel::handleDevice()
{
    CheckedModel checked;
    FavoriteDeviceModel &model = checked.model;
    model.addDevice(entry(QStringLiteral("10.0.0.7:8088"), QStringLiteral("U")));
    model.addDevice(entry(QStringLiteral("10.0.0.7"), QStringLiteral("U")));
    model.addDevice(entry(QStringLiteral("10.0.0.7"), QStringLiteral("other")));
    model.addDevice(entry(QStringLiteral("10.0.0.70"), QStringLiteral("U")));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const qulonglong before = qulonglong(QDateTime::currentMSecsSinceEpoch());

    model.handleDevice(QStringLiteral("10.0.0.7"), QStringLiteral("U"), QStringLiteral("pw"), 32);

    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(changed.count(), 2);
    for (int row = 0; row < 4; ++row) {
        const FavoriteDevice device = model.at(model.index(row, 0));
        const bool updated = row < 2;
        QCOMPARE(device.type(), updated ? 32 : 0);
        QCOMPARE(device.device(), updated ? QStringLiteral("enterprise") : QStringLiteral("unknown"));
        QCOMPARE(device.timestamp() >= before, updated);
    }
    const FavoriteDevice last = model.lastDevice();
    QCOMPARE(last.type(), 32);
    QCOMPARE(last.device(), QStringLiteral("enterprise"));
    QCOMPARE(last.address(), QStringLiteral("10.0.0.7"));
    QCOMPARE(last.username(), QStringLiteral("U"));
    QCOMPARE(last.password(), QStringLiteral("pw"));
}

void tst_FavoriteDeviceModel::suggestions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("force");
    QTest::addColumn<QStringList>("expected");

    const QString north = QStringLiteral("10.0.0.5 - North (admin)");
    const QString north2 = QStringLiteral("10.0.0.51 - Depot (op)");
    QTest::newRow("empty text") << "" << false << QStringList();
    QTest::newRow("two addresses in row order") << "10.0.0.5" << true << QStringList{north, north2};
    QTest::newRow("complete address gets none") << "10.0.0.5" << false << QStringList();
    QTest::newRow("complete address, any case") << "BLOCK-01.LOCAL" << false << QStringList();
    QTest::newRow("by name, case ignored") << "depot" << false << QStringList{north2};
    QTest::newRow("prefix") << "10.0" << false << QStringList{north, north2};
    QTest::newRow("hyphenated host") << "block-0" << false << QStringList{QStringLiteral("block-01.local - Yard (viewer)")};
    QTest::newRow("nothing matches") << "zzz" << false << QStringList();
}

void tst_FavoriteDeviceModel::suggestions()
{
    QFETCH(QString, text);
    QFETCH(bool, force);
    QFETCH(QStringList, expected);

    FavoriteDeviceModel model;
    model.addDevice(entry(QStringLiteral("10.0.0.5"), QStringLiteral("admin"), QStringLiteral("North")));
    model.addDevice(entry(QStringLiteral("10.0.0.51"), QStringLiteral("op"), QStringLiteral("Depot")));
    model.addDevice(entry(QString(), QStringLiteral("op"), QStringLiteral("No address, skipped")));
    model.addDevice(entry(QStringLiteral("block-01.local"), QStringLiteral("viewer"), QStringLiteral("Yard")));
    model.updateSuggestions(QStringLiteral("no"), true);   // shows "North" alone
    QSignalSpy spy(&model, &FavoriteDeviceModel::suggestionsChanged);

    model.updateSuggestions(text, force);
    QCOMPARE(model.suggestions(), expected);
    QCOMPARE(spy.count(), 1);   // every row differs from the list shown before

    // Each suggestion reads back as its own address.
    for (const QString &suggestion : expected)
        QCOMPARE(model.parseAddress(suggestion), suggestion.section(QStringLiteral(" - "), 0, 0));
}

void tst_FavoriteDeviceModel::acceptDevice_data()
{
    QTest::addColumn<bool>("remember");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("sent");

    QTest::newRow("remembered") << true << "pw" << "pw";
    QTest::newRow("not remembered") << false << "pw" << "";
    QTest::newRow("remembered but empty") << true << "" << "";
}

void tst_FavoriteDeviceModel::acceptDevice()
{
    QFETCH(bool, remember);
    QFETCH(QString, password);
    QFETCH(QString, sent);

    FavoriteDeviceModel model;
    FavoriteDevice device(QStringLiteral("10.0.0.9"), QStringLiteral("u"), password);
    device.setName(QStringLiteral("Gate"));
    device.setRemember(remember);
    model.addDevice(entry(QStringLiteral("10.0.0.8"), QStringLiteral("x")));
    model.addDevice(device);
    QSignalSpy spy(&model, &FavoriteDeviceModel::autoconnect);
    QVERIFY(spy.isValid());

    model.acceptDevice(QModelIndex());
    QCOMPARE(spy.count(), 0);
    model.acceptDevice(model.index(1, 0));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), (QVariantList{QStringLiteral("10.0.0.9"), QStringLiteral("u"), sent, QStringLiteral("Gate")}));

    model.updateSuggestions(QStringLiteral("10.0.0.9"), true);
    model.acceptSuggestion(1);
    model.acceptSuggestion(-1);
    QCOMPARE(spy.count(), 1);
    model.acceptSuggestion(0);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("10.0.0.9"));

    // A suggestion whose row went away names nothing, never the row that moved up.
    model.removeDevice(model.index(1, 0));
    model.acceptSuggestion(0);
    QCOMPARE(spy.count(), 2);
}

void tst_FavoriteDeviceModel::addressPattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");

    QTest::newRow("suggestion text") << "10.0.0.5:8088 - North gate (admin)" << "10.0.0.5:8088" << "North gate (admin";
    QTest::newRow("row's name") << "Depot" << "block-01.local" << "Depot";
    QTest::newRow("row's address") << " block-01.local " << "block-01.local" << "";
    QTest::newRow("hyphenated host stays whole") << "block-77.local" << "block-77.local" << "";
    QTest::newRow("hyphenated host of a suggestion") << "block-01.local - Depot (op)" << "block-01.local" << "Depot (op";
    QTest::newRow("unknown, untrimmed") << " 10.9.9.9 " << " 10.9.9.9 " << "";
    QTest::newRow("only a separator") << " - " << " - " << "";
    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("name part only") << " - Depot" << "block-01.local" << "Depot";
}

void tst_FavoriteDeviceModel::addressPattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, address);
    QFETCH(QString, name);

    FavoriteDeviceModel model;
    model.addDevice(entry(QStringLiteral("10.0.0.5:8088"), QStringLiteral("admin"), QStringLiteral("North gate")));
    model.addDevice(entry(QStringLiteral("block-01.local"), QStringLiteral("op"), QStringLiteral("Depot")));

    const auto parts = model.splitAddressPattern(pattern);
    QCOMPARE(parts.first, address);
    QCOMPARE(parts.second, name);
    QCOMPARE(model.parseAddress(pattern), address);
}

void tst_FavoriteDeviceModel::credentialsExist_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("username");
    QTest::addColumn<bool>("exists");

    QTest::newRow("address and user") << "10.0.0.5" << "admin" << true;
    QTest::newRow("other user") << "10.0.0.5" << "guest" << false;
    QTest::newRow("suggestion text") << "10.0.0.5 - North (admin)" << "admin" << true;
    QTest::newRow("by name") << "North" << "admin" << true;
    QTest::newRow("hyphenated host") << "block-01.local" << "op" << true;
    // The unnamed row must not match every unknown address through its empty name.
    QTest::newRow("unknown address") << "10.9.9.9" << "op" << false;
}

void tst_FavoriteDeviceModel::credentialsExist()
{
    QFETCH(QString, address);
    QFETCH(QString, username);
    QFETCH(bool, exists);

    FavoriteDeviceModel model;
    model.addDevice(entry(QStringLiteral("10.0.0.5"), QStringLiteral("admin"), QStringLiteral("North")));
    model.addDevice(entry(QStringLiteral("block-01.local"), QStringLiteral("op")));
    QCOMPARE(model.credentialsExist(address, username), exists);
}

void tst_FavoriteDeviceModel::shortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("row");

    QTest::newRow("first of two equal shortcuts") << int(Qt::Key_F1) << int(Qt::ControlModifier) << 1;
    QTest::newRow("other modifier") << int(Qt::Key_F1) << int(Qt::AltModifier) << 3;
    QTest::newRow("bare key never matches") << int(Qt::Key_F2) << 0 << -1;
    QTest::newRow("no shortcut never matches") << int(Qt::Key_unknown) << int(Qt::ControlModifier) << -1;
    QTest::newRow("two modifiers") << int(Qt::Key_F1) << int(Qt::ControlModifier | Qt::ShiftModifier) << 4;
}

void tst_FavoriteDeviceModel::shortcuts()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, row);

    FavoriteDeviceModel model;
    auto add = [&](Qt::Key k, Qt::KeyboardModifiers m) {
        FavoriteDevice device;
        device.setKey(k);
        device.setModifiers(m);
        model.addDevice(device);
    };
    add(Qt::Key_F2, Qt::NoModifier);
    add(Qt::Key_F1, Qt::ControlModifier);
    add(Qt::Key_F1, Qt::ControlModifier);
    add(Qt::Key_F1, Qt::AltModifier);
    add(Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier);
    add(Qt::Key_unknown, Qt::ControlModifier);

    const QModelIndex found = model.deviceShortcut(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(found.isValid() ? found.row() : -1, row);
    QCOMPARE(model.checkShortcut(Qt::Key(key), Qt::KeyboardModifiers(modifiers)), row >= 0);
}

void tst_FavoriteDeviceModel::shortcutTexts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("modifierText");

    QTest::newRow("full names") << int(Qt::Key_F1) << int(Qt::ControlModifier) << false << "Key_F1" << "ControlModifier";
    QTest::newRow("trimmed") << int(Qt::Key_F1) << int(Qt::ControlModifier) << true << "F1" << "Ctrl";
    QTest::newRow("trimmed shift") << int(Qt::Key_A) << int(Qt::ShiftModifier) << true << "A" << "Shift";
    QTest::newRow("none") << int(Qt::Key_unknown) << 0 << true << "" << "";
    QTest::newRow("two modifiers have no name") << int(Qt::Key_F1) << int(Qt::ControlModifier | Qt::AltModifier) << false << "Key_F1" << "";
}

void tst_FavoriteDeviceModel::shortcutTexts()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, trim);
    QFETCH(QString, keyText);
    QFETCH(QString, modifierText);

    FavoriteDeviceModel model;
    QCOMPARE(model.keyString(Qt::Key(key), trim), keyText);
    QCOMPARE(model.modifiersString(Qt::KeyboardModifiers(modifiers), trim), modifierText);
    if (!trim) {
        QCOMPARE(int(model.keyEnum(keyText)), key);
        if (!modifierText.isEmpty())
            QCOMPARE(int(model.modifiersEnum(modifierText)), modifiers);
    }
    // Names Qt does not know are no shortcut, never -1.
    QCOMPARE(model.keyEnum(QStringLiteral("Key_Nonsense")), Qt::Key_unknown);
    QCOMPARE(model.modifiersEnum(QStringLiteral("Ctrl")), Qt::KeyboardModifiers());
}

QTEST_GUILESS_MAIN(tst_FavoriteDeviceModel)
#include "tst_FavoriteDeviceModel.moc"
