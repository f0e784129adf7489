#include "app/StartupOptions.h"

#include <QtTest>

class tst_StartupOptions : public QObject
{
    Q_OBJECT

private slots:
    void scale_data();
    void scale();
    void scaleEnvironment();
    void logFlags_data();
    void logFlags();
    void switches_data();
    void switches();
};

void tst_StartupOptions::scale_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<double>("factor");
    QTest::addColumn<bool>("given");
    QTest::addColumn<bool>("problem");

    QTest::newRow("none") << QStringList{} << 1.0 << false << false;
    QTest::newRow("100") << QStringList{"--scale", "100"} << 1.0 << true << false;
    QTest::newRow("125") << QStringList{"--scale", "125"} << 1.25 << true << false;
    QTest::newRow("150") << QStringList{"--scale", "150"} << 1.5 << true << false;
    QTest::newRow("175") << QStringList{"--scale", "175"} << 1.75 << true << false;
    QTest::newRow("200") << QStringList{"--scale", "200"} << 2.0 << true << false;
    QTest::newRow("with equals sign") << QStringList{"--scale=150"} << 1.5 << true << false;
    QTest::newRow("between steps") << QStringList{"--scale", "130"} << 1.0 << false << true;
    QTest::newRow("above range") << QStringList{"--scale", "300"} << 1.0 << false << true;
    QTest::newRow("not a number") << QStringList{"--scale", "big"} << 1.0 << false << true;
    QTest::newRow("factor instead of percent") << QStringList{"--scale", "1.5"} << 1.0 << false << true;
    QTest::newRow("value missing") << QStringList{"--scale"} << 1.0 << false << true;
    QTest::newRow("value missing before next option") << QStringList{"--scale", "--console"} << 1.0 << false << true;
    QTest::newRow("bad then good: last good wins") << QStringList{"--scale", "90", "--scale", "200"} << 2.0 << true << true;
}

void tst_StartupOptions::scale()
{
    QFETCH(QStringList, arguments);
    QFETCH(double, factor);
    QFETCH(bool, given);
    QFETCH(bool, problem);

    arguments.prepend(QStringLiteral("orva-launcher"));
    const StartupOptions options = StartupOptions::parse(arguments);
    QCOMPARE(options.scaleFactor, factor);
    QCOMPARE(options.scaleGiven, given);
    QCOMPARE(!options.problems.isEmpty(), problem);
    if (problem)
        QVERIFY2(options.problems.first().contains(QLatin1String("--scale")), qPrintable(options.problems.first()));
}

void tst_StartupOptions::scaleEnvironment()
{
    qunsetenv("QT_SCALE_FACTOR");
    StartupOptions::parse({"orva-launcher", "--scale", "bad"}).applyScale();
    QVERIFY(!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));

    StartupOptions::parse({"orva-launcher", "--scale", "175"}).applyScale();
    QCOMPARE(qgetenv("QT_SCALE_FACTOR").toDouble(), 1.75);
    qunsetenv("QT_SCALE_FACTOR");
}

void tst_StartupOptions::logFlags_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("logOptions");
    QTest::addColumn<bool>("problem");

    QTest::newRow("none") << QStringList{} << QString() << false;
    QTest::newRow("one list") << QStringList{"-log", "inf=1,dbg0=1"} << "inf=1,dbg0=1" << false;
    QTest::newRow("with equals sign") << QStringList{"-log=file=1,name=run"} << "file=1,name=run" << false;
    QTest::newRow("two lists joined") << QStringList{"-log", "all=0", "-log", "err=1"} << "all=0,err=1" << false;
    QTest::newRow("among other options") << QStringList{"--console", "-log", "wrn=1", "--fs"} << "wrn=1" << false;
    QTest::newRow("list missing") << QStringList{"-log"} << QString() << true;
    QTest::newRow("long option is not a list") << QStringList{"-log", "--console"} << QString() << true;
}

void tst_StartupOptions::logFlags()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, logOptions);
    QFETCH(bool, problem);

    arguments.prepend(QStringLiteral("orva-launcher"));
    const StartupOptions options = StartupOptions::parse(arguments);
    QCOMPARE(options.logOptions, logOptions);
    QCOMPARE(!options.problems.isEmpty(), problem);
}

void tst_StartupOptions::switches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("console");
    QTest::addColumn<bool>("showAll");
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("brandPackage");
    QTest::addColumn<QString>("login");
    QTest::addColumn<int>("problems");

    QTest::newRow("defaults") << QStringList{} << false << false << false << -1 << QString() << QString() << 0;
    QTest::newRow("console and show-all") << QStringList{"--console", "--show-all"} << true << true << false << -1
                                          << QString() << QString() << 0;
    QTest::newRow("fullscreen") << QStringList{"--fullscreen"} << false << false << true << -1 << QString() << QString() << 0;
    QTest::newRow("fs") << QStringList{"--fs"} << false << false << true << -1 << QString() << QString() << 0;
    QTest::newRow("screen") << QStringList{"--screen", "1"} << false << false << false << 1 << QString() << QString() << 0;
    QTest::newRow("negative screen") << QStringList{"--screen", "-2"} << false << false << false << -1 << QString()
                                     << QString() << 1;
    QTest::newRow("screen not a number") << QStringList{"--screen", "left"} << false << false << false << -1
                                         << QString() << QString() << 1;
    QTest::newRow("brand package") << QStringList{"--brand-package", "/tmp/custom.data"} << false << false << false << -1
                                   << "/tmp/custom.data" << QString() << 0;
    QTest::newRow("brand package missing") << QStringList{"--brand-package"} << false << false << false << -1
                                           << QString() << QString() << 1;
    QTest::newRow("login") << QStringList{"--login", "admin:secret@10.0.0.5:8088"} << false << false << false << -1
                           << QString() << "admin:secret@10.0.0.5:8088" << 0;
    QTest::newRow("Qt's own options are left alone") << QStringList{"-platform", "xcb", "--unknown"} << false << false
                                                     << false << -1 << QString() << QString() << 0;
}

void tst_StartupOptions::switches()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, console);
    QFETCH(bool, showAll);
    QFETCH(bool, fullScreen);
    QFETCH(int, screen);
    QFETCH(QString, brandPackage);
    QFETCH(QString, login);
    QFETCH(int, problems);

    arguments.prepend(QStringLiteral("orva-launcher"));
    const StartupOptions options = StartupOptions::parse(arguments);
    QCOMPARE(options.console, console);
    QCOMPARE(options.showAll, showAll);
    QCOMPARE(options.fullScreen, fullScreen);
    QCOMPARE(options.screen, screen);
    QCOMPARE(options.brandPackage, brandPackage);
    QCOMPARE(options.login, login);
    QCOMPARE(options.problems.size(), problems);
}

QTEST_APPLESS_MAIN(tst_StartupOptions)
#include "tst_StartupOptions.moc"
