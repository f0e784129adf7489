#include "app/settings/LauncherSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using Key = LauncherSettings::Key;

namespace {

const QString kBuiltIn = QStringLiteral(ORVA_SOURCE_DIR "/resources/config.ini");
// Written by features that read them themselves.
const QStringList kOtherGroups{QStringLiteral("MapsSettings")};

QList<Key> allKeys()
{
    QList<Key> keys;
    for (int k = int(Key::FullScreen); k <= int(Key::Language); ++k)
        keys << Key(k);
    return keys;
}

} // namespace

// The table of "config.ini" and the file the first start copies out of the resources name the
// same keys: a key misspelt on either side would silently read as its default.
class tst_LauncherSettings : public QObject
{
    Q_OBJECT

private slots:
    void tableAndBuiltInFileAgree();
    void valuesRoundTripThroughTheFile_data();
    void valuesRoundTripThroughTheFile();
    void typedValueIsNeverDecoded_data();
    void typedValueIsNeverDecoded();
};

void tst_LauncherSettings::tableAndBuiltInFileAgree()
{
    QSettings file(kBuiltIn, QSettings::IniFormat);
    QVERIFY(!file.allKeys().isEmpty());
    QStringList tableKeys;
    for (Key key : allKeys()) {
        const QString path = LauncherSettings::group(key) + QLatin1Char('/') + LauncherSettings::name(key);
        QVERIFY2(!tableKeys.contains(path), qPrintable(path));
        tableKeys << path;
        QVERIFY2(file.contains(path), qPrintable(path));
    }
    for (const QString &path : file.allKeys()) {
        if (!kOtherGroups.contains(path.section(QLatin1Char('/'), 0, 0)))
            QVERIFY2(tableKeys.contains(path), qPrintable(path));
    }
}

void tst_LauncherSettings::valuesRoundTripThroughTheFile_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("builtIn"); // as the first start writes it
    QTest::addColumn<QVariant>("stored");

    QTest::newRow("fullscreen") << int(Key::FullScreen) << QVariant(false) << QVariant(true);
    QTest::newRow("last address") << int(Key::LastAddress) << QVariant(QString()) << QVariant(QStringLiteral("10.0.0.5:8088"));
    QTest::newRow("auto log-out") << int(Key::AutoLogoutPeriod) << QVariant(0) << QVariant(15);
    QTest::newRow("version check") << int(Key::VersionCheckPeriod) << QVariant(86400) << QVariant(3600);
    QTest::newRow("language") << int(Key::Language) << QVariant(QStringLiteral("en-US")) << QVariant(QStringLiteral("de-DE"));
}

void tst_LauncherSettings::valuesRoundTripThroughTheFile()
{
    QFETCH(int, key);
    QFETCH(QVariant, builtIn);
    QFETCH(QVariant, stored);

    QTemporaryDir directory;
    const QString path = directory.filePath(LauncherSettings::fileName());
    QVERIFY(QFile::copy(kBuiltIn, path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    LauncherSettings settings(path);
    QVERIFY(settings.isReadable());
    // INI files keep text: the value is read back as the key's type.
    QCOMPARE(settings.value(Key(key)).toString(), builtIn.toString());
    settings.setValue(Key(key), stored);
    QCOMPARE(LauncherSettings(path).value(Key(key)).toString(), stored.toString());

    // Without a file nothing is kept and every key reads as its default.
    LauncherSettings nowhere;
    nowhere.setValue(Key(key), stored);
    QCOMPARE(nowhere.value(Key(key)), LauncherSettings::defaultValue(Key(key)));
    QVERIFY(!nowhere.isReadable());
}

void tst_LauncherSettings::typedValueIsNeverDecoded_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("typed");

    // Found by fuzzing: Qt throws std::bad_alloc out of QSettings for this one.
    QTest::newRow("size Qt cannot allocate") << QByteArray(R"(@Variant(\0\0\0\x92x1\x1))") << true;
    QTest::newRow("quoted, after spaces") << QByteArray(R"x(  "@Variant(\0\0\0\x1\x1)")x") << true;
    QTest::newRow("second of a list") << QByteArray(R"(a, @Variant(\0\0\0\x1\x1))") << true;
    QTest::newRow("at-sign escaped") << QByteArray(R"(\x40Variant(\0\0\0\x1\x1))") << true;
    QTest::newRow("after a NUL byte") << QByteArray("x\0\n[Window]\nfullscreen=@Variant(\\0\\0\\0\\x92x1\\x1)", 48) << true;
    QTest::newRow("at-sign in octal") << QByteArray(R"(\100Variant(\0))") << true;
    QTest::newRow("doubled at-sign is text") << QByteArray("@@Variant(x)") << false;
    QTest::newRow("at-sign inside text") << QByteArray("op@site") << false;
}

// A typed value ("@Variant(...)") is decoded by Qt with QDataStream, which can throw out of
// QSettings and end the launcher at start-up. The shell never writes one: such a file is
// never handed to QSettings, reads as the defaults, takes no writes and is set aside.
void tst_LauncherSettings::typedValueIsNeverDecoded()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, typed);

    QTemporaryDir directory;
    const QString path = directory.filePath(LauncherSettings::fileName());
    const QByteArray content = "[Window]\nfullscreen=true\n[LoginSettings]\nlast_username=" + value + "\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    LauncherSettings settings(path);
    QCOMPARE(settings.isReadable(), !typed);
    QCOMPARE(settings.fullScreen(), !typed);
    settings.setValue(Key::LastAddress, QStringLiteral("10.0.0.5"));
    QCOMPARE(settings.lastAddress(), typed ? QString() : QStringLiteral("10.0.0.5"));
    if (!typed)
        return;
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
    file.close();

    // The start-up keeps the damaged file aside and begins with the built-in one.
    QVERIFY(settings.createIfMissing());
    QVERIFY(settings.isReadable());
    const QStringList kept = QDir(directory.path()).entryList({LauncherSettings::fileName() + QStringLiteral(".unreadable-*")});
    QCOMPARE(kept.size(), 1);
    QFile copy(directory.filePath(kept.first()));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), content);
}

QTEST_GUILESS_MAIN(tst_LauncherSettings)
#include "tst_LauncherSettings.moc"
