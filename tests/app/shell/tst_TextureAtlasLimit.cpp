#include "app/clientapp/ClientApplication.h"
#include "app/window/TextureAtlasLimit.h"
#include "devices/rest/BlockConnectionManager.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The launcher's own texture atlas size stays in the launcher: the client application starts
// with the environment the operator gave, a size the operator set included.
class tst_TextureAtlasLimit : public QObject
{
    Q_OBJECT

private slots:
    void clientGetsTheOperatorsSizeOnly_data();
    void clientGetsTheOperatorsSizeOnly();
};

void tst_TextureAtlasLimit::clientGetsTheOperatorsSizeOnly_data()
{
    QTest::addColumn<QByteArray>("operatorWidth"); // empty: not set
    QTest::addColumn<QByteArray>("launcherSize");
    QTest::addColumn<QByteArray>("clientSize");

    // In this order: main applies the limit once, at start.
    QTest::newRow("width the operator set") << QByteArray("1024") << QByteArray("1024 -") << QByteArray("1024 -");
    QTest::newRow("no size set") << QByteArray() << QByteArray("512 512") << QByteArray("- -");
}

void tst_TextureAtlasLimit::clientGetsTheOperatorsSizeOnly()
{
    QFETCH(QByteArray, operatorWidth);
    QFETCH(QByteArray, launcherSize);
    QFETCH(QByteArray, clientSize);

    qunsetenv("QSG_ATLAS_HEIGHT");
    if (operatorWidth.isEmpty())
        qunsetenv("QSG_ATLAS_WIDTH");
    else
        qputenv("QSG_ATLAS_WIDTH", operatorWidth);
    TextureAtlasLimit::apply();
    const auto valueOrDash = [](const char *name) {
        return qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray("-");
    };
    QCOMPARE(valueOrDash("QSG_ATLAS_WIDTH") + ' ' + valueOrDash("QSG_ATLAS_HEIGHT"), launcherSize);

    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString program = directory.filePath(QStringLiteral("client"));
    QFile script(program);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n"
                 "printf '%s %s' \"${QSG_ATLAS_WIDTH--}\" \"${QSG_ATLAS_HEIGHT--}\" > \"$(dirname \"$0\")/size.txt\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner | QFile::ExeUser);

    BlockConnectionManager block;
    ClientApplication client(&block, [program]() {
        return ClientApplication::Command{program, {}, QStringLiteral("op@127.0.0.1")};
    });
    QSignalSpy finished(&client, &ClientApplication::finished);
    QVERIFY(finished.isValid());
    // A block older than 1.17 takes no log-out first: the client runs at once.
    QVERIFY(client.start(true, QStringLiteral("1.16.0"), QString()));
    QVERIFY(finished.wait(10000));

    QFile recorded(directory.filePath(QStringLiteral("size.txt")));
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    QCOMPARE(recorded.readAll(), clientSize);
}

QTEST_GUILESS_MAIN(tst_TextureAtlasLimit)
#include "tst_TextureAtlasLimit.moc"
